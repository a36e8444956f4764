#include "app/CommandTable.h"

#include "app/Commands.h"
#include "core/GameKeys.h"

#include <cstdio>

namespace {

QString GameChoice()
{
    return AllGameKeys().join(QLatin1Char('|'));
}

} // namespace

const std::vector<Command> &CommandTable()
{
    const QStringList formats{QStringLiteral("text"), QStringLiteral("csv"),
                              QStringLiteral("json")};
    static const std::vector<Command> table{
        {QStringLiteral("import"),
         QStringLiteral("FILE [--game %1]").arg(GameChoice()),
         {QStringLiteral("game")},
         1,
         {},
         &RunImport,
         {}},
        {QStringLiteral("update"), QString(), {}, 0, {}, &RunUpdate, {}},
        {QStringLiteral("export"),
         QStringLiteral("--game %1 FILE").arg(GameChoice()),
         {QStringLiteral("game")},
         1,
         {},
         &RunExport,
         {}},
        {QStringLiteral("judge"), QStringLiteral("SAVEFILE"), {}, 1, formats, &RunJudge, {}},
        {QStringLiteral("backtest"),
         QStringLiteral("SAVEFILE [--from N] [--to N]"),
         {QStringLiteral("from"), QStringLiteral("to")},
         1,
         formats,
         &RunBacktest,
         {}},
        {QStringLiteral("chance"), QStringLiteral("SAVEFILE"), {}, 1, formats, &RunChance, {}},
        {QStringLiteral("wheel"),
         QStringLiteral("--game %1 --numbers 1,5,9,... --guarantee T/M [--seconds S] "
                        "[--out FILE]")
             .arg(GameChoice()),
         {QStringLiteral("game"), QStringLiteral("numbers"), QStringLiteral("guarantee"),
          QStringLiteral("seconds"), QStringLiteral("out")},
         0,
         formats,
         &RunWheel,
         {QStringLiteral("game"), QStringLiteral("numbers"), QStringLiteral("guarantee")}},
    };
    return table;
}

const Command *FindCommand(const QString &name)
{
    for (const Command &command : CommandTable()) {
        if (command.Name == name)
            return &command;
    }
    return nullptr;
}

const QHash<QString, QString> &CommandOptionValues()
{
    static const QHash<QString, QString> values{
        {QStringLiteral("game"), QStringLiteral("G")},
        {QStringLiteral("from"), QStringLiteral("N")},
        {QStringLiteral("to"), QStringLiteral("N")},
        {QStringLiteral("numbers"), QStringLiteral("LIST")},
        {QStringLiteral("guarantee"), QStringLiteral("T/M")},
        {QStringLiteral("seconds"), QStringLiteral("S")},
        {QStringLiteral("out"), QStringLiteral("FILE")},
    };
    return values;
}

void WriteOut(const QString &text)
{
    std::fputs(text.toUtf8().constData(), stdout);
}

int Failure(const QString &message)
{
    // One line, whatever the message: a script reads the first line.
    QString line = message;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::fputs((QStringLiteral("zanbo: ") + line + QLatin1Char('\n')).toUtf8().constData(), stderr);
    return 1;
}
