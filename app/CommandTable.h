#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

// What a command is run with, once the command line has been checked.
struct CommandCall
{
    QString dataFolder;              // absolute, ends with the path separator; may not exist yet
    QStringList arguments;           // after the command's name
    QHash<QString, QString> options; // given options by name ("game"), with their values
    QString format;                  // "text", "csv" or "json"; "text" when not given
};

// One command of `zanbo COMMAND ...`. Its status: 0 done, 1 failed (after one
// line on standard error).
struct Command
{
    QString Name;
    QString Usage;       // the arguments after the name, as --help shows them
    QStringList Options; // the command's own options, without dashes
    int Arguments = 0;   // how many file arguments it takes
    QStringList Formats; // the output formats it writes; empty: --format is refused
    int (*Run)(const CommandCall &call) = nullptr;
    QStringList Required; // of Options, those the command cannot run without
};

// Every command, in the order --help lists them. A new command is a new row.
const std::vector<Command> &CommandTable();
const Command *FindCommand(const QString &name);

// Every option any command takes, with the value it names ("game" -> "G").
const QHash<QString, QString> &CommandOptionValues();

// Output of commands: text as UTF-8 on standard output, and the one line of a
// failure on standard error; Failure returns the failing status.
void WriteOut(const QString &text);
int Failure(const QString &message);
