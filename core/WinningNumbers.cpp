#include "core/WinningNumbers.h"
