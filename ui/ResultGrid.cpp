#include "ui/ResultGrid.h"
