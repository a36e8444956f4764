#include "storage/IniDocument.h"
