#include "core/Judgement.h"
