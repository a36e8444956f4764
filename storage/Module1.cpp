#include "storage/Module1.h"
