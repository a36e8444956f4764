#include "ui/Form1.h"

#include "ui/ResultGrid.h"

void Form1::FGkekka_Click(int) {}
void Form1::SetSaveAreaButtons(bool) {}
void Form1::CmdCopy_Click(int) {}
void Form1::CmdSave_Click() {}
void Form1::CmdLoad_Click() {}
void Form1::CmdClear_Click() {}
