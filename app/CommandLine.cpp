#include "app/CommandLine.h"

#include "core/ProgramVersion.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QRegularExpression>

#include <array>
#include <cstdio>
#include <utility>

namespace {

// The options the GUI application takes for itself, and whether each takes a value.
bool IsQtOption(const QString &argument, bool *takesValue)
{
    static const QStringList withValue{
        QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
        QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
        QStringLiteral("qwindowtitle"),    QStringLiteral("session"),
        QStringLiteral("display"),         QStringLiteral("geometry"),
        QStringLiteral("style"),           QStringLiteral("stylesheet")};
    static const QStringList alone{QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                   QStringLiteral("nograb"), QStringLiteral("dograb")};
    if (!argument.startsWith(QLatin1Char('-')) || argument.startsWith(QStringLiteral("---")))
        return false;
    QString name = argument.mid(argument.startsWith(QStringLiteral("--")) ? 2 : 1);
    const bool joined = name.contains(QLatin1Char('='));
    name = name.section(QLatin1Char('='), 0, 0);
    *takesValue = withValue.contains(name) && !joined;
    return withValue.contains(name) || alone.contains(name)
           || name == QStringLiteral("qmljsdebugger");
}

QStringList WithoutQtOptions(const QStringList &arguments)
{
    QStringList kept;
    for (int i = 0; i < arguments.size(); ++i) {
        bool takesValue = false;
        if (i > 0 && IsQtOption(arguments.at(i), &takesValue)) {
            if (takesValue)
                ++i;
            continue;
        }
        kept << arguments.at(i);
    }
    return kept;
}

QString CommandsHelp()
{
    QString text = QStringLiteral("\nコマンド（ウィンドウを開かずに実行します）:\n");
    for (const Command &command : CommandTable())
        text += QStringLiteral("  ")
                + QStringLiteral("zanbo %1 %2").arg(command.Name, command.Usage).trimmed()
                + QLatin1Char('\n');
    return text
           + QStringLiteral("終了状態: 0 成功、1 失敗（標準エラーに理由を1行）、"
                            "2 使い方の誤り。\n");
}

// The parser writes its headings in English, before any translation is
// loaded; the user reads Japanese.
QString HelpText(const QCommandLineParser &parser)
{
    QString text = parser.helpText();
    static const std::array<std::pair<const char *, const char *>, 4> Headings{{
        {"^Usage: (\\S+) \\[options\\]", "使い方: \\1 [オプション]"},
        {"^Usage:", "使い方:"},
        {"^Options:$", "オプション:"},
        {"^Arguments:$", "引数:"},
    }};
    for (const auto &[english, japanese] : Headings)
        text.replace(
            QRegularExpression(QString::fromUtf8(english), QRegularExpression::MultilineOption),
            QString::fromUtf8(japanese));
    return text + CommandsHelp();
}

// The parser's reasons are English too.
QString ParseErrorText(const QCommandLineParser &parser)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        QStringList names;
        for (const QString &name : unknown)
            names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        return QStringLiteral("知らないオプションです: %1").arg(names.join(QStringLiteral(" ")));
    }
    const QRegularExpression missing(QStringLiteral("^Missing value after '(.*)'\\.$"));
    if (const auto match = missing.match(parser.errorText()); match.hasMatch())
        return QStringLiteral("%1 の後に値がありません。").arg(match.captured(1));
    const QRegularExpression unexpected(QStringLiteral("^Unexpected value after '(.*)'\\.$"));
    if (const auto match = unexpected.match(parser.errorText()); match.hasMatch())
        return QStringLiteral("%1 は値をとりません。").arg(match.captured(1));
    return QStringLiteral("コマンドラインを読めません（%1）。").arg(parser.errorText());
}

CommandLineRequest Refusal(const QString &reason, const QString &usage)
{
    CommandLineRequest request;
    request.action = CommandLineRequest::Action::Refuse;
    request.output = reason + QStringLiteral("\n\n") + usage;
    return request;
}

CommandLineRequest Answer(const QString &output)
{
    CommandLineRequest request;
    request.action = CommandLineRequest::Action::Answer;
    request.output = output;
    return request;
}

void AddOptions(QCommandLineParser &parser)
{
    parser.addOption(
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("この説明を表示します。")});
    parser.addOption({{QStringLiteral("v"), QStringLiteral("version")},
                      QStringLiteral("バージョンを表示します。")});
    parser.addOption(
        {QStringLiteral("data-dir"),
         QStringLiteral("設定とパターンファイルを DIR に置きます（なければ作ります）。"),
         QStringLiteral("DIR")});
    parser.addOption({QStringLiteral("format"),
                      QStringLiteral("コマンドの出力の形式: text（既定）、csv、json。"),
                      QStringLiteral("FORMAT")});
    parser.addOption({QStringLiteral("game"), QStringLiteral("くじの種類。"), QStringLiteral("G")});
    parser.addOption(
        {QStringLiteral("from"), QStringLiteral("検証する最初の回。"), QStringLiteral("N")});
    parser.addOption(
        {QStringLiteral("to"), QStringLiteral("検証する最後の回。"), QStringLiteral("N")});
    parser.addOption({QStringLiteral("numbers"),
                      QStringLiteral("ホイールに使う数字（コンマ区切り）。"),
                      QStringLiteral("LIST")});
    parser.addOption({QStringLiteral("guarantee"),
                      QStringLiteral("保証: M 個以上が選んだ数字にあれば T 個以上当たる行がある。"),
                      QStringLiteral("T/M")});
    parser.addOption({QStringLiteral("seconds"), QStringLiteral("探索にかける最長の秒数。"),
                      QStringLiteral("S")});
    parser.addOption(
        {QStringLiteral("out"), QStringLiteral("行を書く保存ファイル。"), QStringLiteral("FILE")});
}

CommandLineRequest ReadCommand(const QCommandLineParser &parser, const QString &usage)
{
    const QStringList positional = parser.positionalArguments();
    const Command *command = FindCommand(positional.constFirst());
    if (!command)
        return Refusal(QStringLiteral("不明なコマンドです: ") + positional.join(QLatin1Char(' ')),
                       usage);
    const QString commandUsage = QStringLiteral("使い方: zanbo %1 %2\n")
                                     .arg(command->Name, command->Usage);
    CommandLineRequest request;
    request.action = CommandLineRequest::Action::Command;
    request.command = command;
    request.dataDir = parser.value(QStringLiteral("data-dir"));
    request.call.arguments = positional.mid(1);
    if (request.call.arguments.size() != command->Arguments)
        return Refusal(QStringLiteral("%1 の引数の数が違います。").arg(command->Name),
                       commandUsage);
    for (auto it = CommandOptionValues().cbegin(); it != CommandOptionValues().cend(); ++it) {
        if (!parser.isSet(it.key()))
            continue;
        if (!command->Options.contains(it.key()))
            return Refusal(
                QStringLiteral("%1 に --%2 は指定できません。").arg(command->Name, it.key()),
                commandUsage);
        request.call.options.insert(it.key(), parser.value(it.key()));
    }
    for (const QString &name : command->Required) {
        if (!request.call.options.contains(name))
            return Refusal(QStringLiteral("%1 には --%2 が要ります。").arg(command->Name, name),
                           commandUsage);
    }
    request.call.format = parser.isSet(QStringLiteral("format"))
                              ? parser.value(QStringLiteral("format"))
                              : QStringLiteral("text");
    if (parser.isSet(QStringLiteral("format")) && !command->Formats.contains(request.call.format))
        return Refusal(command->Formats.isEmpty()
                           ? QStringLiteral("%1 に --format は指定できません。").arg(command->Name)
                           : QStringLiteral("--format には %1 のどれかを指定してください。")
                                 .arg(command->Formats.join(QStringLiteral("、"))),
                       commandUsage);
    return request;
}

} // namespace

CommandLineRequest ReadCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("ロト６、ミニロト、ロト７の予想数字を作ります。\n"
                       "設定とパターンファイルは、インストールしたプログラムでは"
                       "利用者ごとのデータフォルダ（通常は ~/.local/share/Zanbo/）に、"
                       "それ以外ではプログラムと同じフォルダに置きます。"));
    AddOptions(parser);
    parser.addPositionalArgument(
        QStringLiteral("COMMAND"),
        QStringLiteral("下のコマンドのどれか（なければウィンドウを開きます）。"),
        QStringLiteral("[COMMAND ...]"));
    if (!parser.parse(WithoutQtOptions(arguments)))
        return Refusal(ParseErrorText(parser), HelpText(parser));
    if (parser.isSet(QStringLiteral("help")))
        return Answer(HelpText(parser));
    if (parser.isSet(QStringLiteral("version")))
        return Answer(ProgramVersionText() + QLatin1Char('\n'));
    if (parser.isSet(QStringLiteral("data-dir"))
        && parser.value(QStringLiteral("data-dir")).isEmpty())
        return Refusal(QStringLiteral("--data-dir にはフォルダを指定してください。"),
                       HelpText(parser));
    if (!parser.positionalArguments().isEmpty())
        return ReadCommand(parser, HelpText(parser));
    for (const QString &name :
         CommandOptionValues().keys() + QStringList{QStringLiteral("format")}) {
        if (parser.isSet(name))
            return Refusal(QStringLiteral("--%1 はコマンドと一緒に指定してください。").arg(name),
                           HelpText(parser));
    }
    CommandLineRequest request;
    request.dataDir = parser.value(QStringLiteral("data-dir"));
    return request;
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
    case CommandLineRequest::Action::Command:
        break;
    }
    return 0;
}
