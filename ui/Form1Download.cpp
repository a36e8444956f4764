#include "ui/Form1.h"

void Form1::CmdReadPattern_Click() {}
