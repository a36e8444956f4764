#include "core/RandomSource.h"
