#include "app/CommandLine.h"

#include "core/ProgramVersion.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <cstdio>

namespace {

CommandLineRequest Refusal(const QString &reason, const QCommandLineParser &parser)
{
    return {CommandLineRequest::Action::Refuse, reason + QStringLiteral("\n\n") + parser.helpText(),
            QString()};
}

} // namespace

CommandLineRequest ReadCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("ロト６とミニロトの予想数字を作ります。\n"
                       "設定とパターンファイルは、インストールしたプログラムでは"
                       "利用者ごとのデータフォルダ（通常は ~/.local/share/Zanbo/）に、"
                       "それ以外ではプログラムと同じフォルダに置きます。"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("この説明を表示します。"));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("バージョンを表示します。"));
    const QCommandLineOption dataDir(
        QStringLiteral("data-dir"),
        QStringLiteral("設定とパターンファイルを DIR に置きます（なければ作ります）。"),
        QStringLiteral("DIR"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(dataDir);

    if (!parser.parse(arguments))
        return Refusal(parser.errorText(), parser);
    if (!parser.positionalArguments().isEmpty())
        return Refusal(QStringLiteral("余分な引数があります: ")
                           + parser.positionalArguments().join(QLatin1Char(' ')),
                       parser);
    if (parser.isSet(help))
        return {CommandLineRequest::Action::Answer, parser.helpText(), QString()};
    if (parser.isSet(version))
        return {CommandLineRequest::Action::Answer, ProgramVersionText() + QLatin1Char('\n'),
                QString()};
    if (parser.isSet(dataDir) && parser.value(dataDir).isEmpty())
        return Refusal(QStringLiteral("--data-dir にはフォルダを指定してください。"), parser);
    return {CommandLineRequest::Action::Run, QString(), parser.value(dataDir)};
}

int AnswerCommandLine(const CommandLineRequest &request)
{
    switch (request.action) {
    case CommandLineRequest::Action::Answer:
        std::fputs(request.output.toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLineRequest::Action::Refuse:
        std::fputs(request.output.toLocal8Bit().constData(), stderr);
        return 2;
    case CommandLineRequest::Action::Run:
        break;
    }
    return 0;
}
