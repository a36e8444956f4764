#pragma once

#include "app/CommandTable.h"

// The commands behind the command table; each returns the program's status.
int RunImport(const CommandCall &call);
int RunUpdate(const CommandCall &call);
int RunExport(const CommandCall &call);
int RunJudge(const CommandCall &call);
int RunBacktest(const CommandCall &call);
int RunChance(const CommandCall &call);
int RunWheel(const CommandCall &call);
