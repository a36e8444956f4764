#include "ui/Form1.h"

#include "ui/DlgJudge.h"

void Form1::LoadWebSettings() {}
void Form1::ChangeWebButton(int) {}
void Form1::CmdHelp_Click() {}
void Form1::CmdHP_Click() {}
void Form1::CmdOption_Click() {}
void Form1::CmdJudge_Click() {}
DlgJudge *Form1::judgeDialog() const { return m_judge; }
