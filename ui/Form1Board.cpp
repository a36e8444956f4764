#include "ui/Form1.h"

#include "ui/ResultGrid.h"

void Form1::CheckPatternFile() {}
void Form1::CmbSwitch_Click() {}
void Form1::Slider1_Change(int) {}
void Form1::Slider1_Scroll(int) {}
void Form1::SldKosu_Change() {}
void Form1::SldKosu_Scroll() {}
void Form1::CmdCntReset_Click() {}
void Form1::CmbPattern_Click() {}
void Form1::ApplyPattern(const QString &, int) {}
void Form1::CmdRun_Click() {}
void Form1::PrepareResultGrids() {}
void Form1::WriteCombinationRow(int) {}
