#include "storage/FilePathCommands.h"
