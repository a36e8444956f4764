#include "core/Statistics.h"
