#include "storage/SaveFile.h"
