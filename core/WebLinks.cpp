#include "core/WebLinks.h"
