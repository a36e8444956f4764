#include "core/Generator.h"
