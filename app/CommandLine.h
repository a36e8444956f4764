#pragma once

#include "app/CommandTable.h"

#include <QString>
#include <QStringList>

// What the command line asks of the program.
struct CommandLineRequest
{
    enum class Action {
        Run,     // open the main window
        Answer,  // print output to standard output and end with status 0
        Refuse,  // print output to standard error and end with status 2
        Command, // run command with call (its dataFolder still to be chosen)
    };
    Action action = Action::Run;
    QString output;
    QString dataDir; // --data-dir; empty when not given
    const Command *command = nullptr;
    CommandCall call;
};

// Reads arguments (the program's name first): --help, --version, --data-dir DIR,
// or a command of the command table with its arguments and options. Qt's own
// options (-platform and the like) are passed over, so the whole line is
// understood before any window system is reached. Anything else is refused
// with the usage.
CommandLineRequest ReadCommandLine(const QStringList &arguments);

// Prints what an Answer or a Refuse has to say; the program's exit status.
int AnswerCommandLine(const CommandLineRequest &request);
