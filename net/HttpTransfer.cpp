#include "net/HttpTransfer.h"
