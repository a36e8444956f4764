#include "core/PatternTables.h"
