#include "app/FigureOutput.h"

#include "app/CommandTable.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

namespace {

// Whole numbers as such; others with the digits a double needs.
QString NumberText(const QJsonValue &value)
{
    if (value.isNull())
        return QString();
    const double number = value.toDouble();
    if (value.isDouble() && number == double(qint64(number)))
        return QString::number(qint64(number));
    return QString::number(number, 'g', 10);
}

// A tier a game does not have is a null: an empty csv field, nothing in text.
QString ValueText(const QJsonValue &value, const QString &separator)
{
    if (!value.isArray())
        return NumberText(value);
    const bool csv = separator == QStringLiteral(",");
    QStringList parts;
    for (const QJsonValue &element : value.toArray()) {
        if (!element.isNull())
            parts << NumberText(element);
        else if (csv)
            parts << QString();
    }
    return parts.join(separator);
}

void WriteText(const QVector<GameFigures> &games, const QString &note)
{
    QStringList lines;
    for (const GameFigures &game : games) {
        lines << QStringLiteral("■") + game.GameName;
        for (const Figure &figure : game.Figures)
            lines << QStringLiteral("  %1: %2")
                         .arg(figure.Label, ValueText(figure.Value, QStringLiteral(" / ")));
    }
    lines << note;
    WriteOut(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

void WriteCsv(const QVector<GameFigures> &games)
{
    if (games.isEmpty())
        return;
    QStringList header{QStringLiteral("game")};
    for (const Figure &figure : games.constFirst().Figures) {
        if (!figure.Value.isArray()) {
            header << figure.Key;
            continue;
        }
        for (int i = 1; i <= figure.Value.toArray().size(); ++i)
            header << QStringLiteral("%1_%2").arg(figure.Key).arg(i);
    }
    QStringList lines{header.join(QLatin1Char(','))};
    for (const GameFigures &game : games) {
        QStringList fields{game.GameKey};
        for (const Figure &figure : game.Figures)
            fields << ValueText(figure.Value, QStringLiteral(","));
        lines << fields.join(QLatin1Char(','));
    }
    WriteOut(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

void WriteJson(const QVector<GameFigures> &games, const QString &note)
{
    QJsonArray list;
    for (const GameFigures &game : games) {
        QJsonObject object{{QStringLiteral("game"), game.GameKey}};
        for (const Figure &figure : game.Figures)
            object.insert(figure.Key, figure.Value);
        list.append(object);
    }
    const QJsonObject root{{QStringLiteral("games"), list}, {QStringLiteral("note"), note}};
    WriteOut(QString::fromUtf8(QJsonDocument(root).toJson()));
}

} // namespace

void WriteFigures(const QVector<GameFigures> &games, const QString &format, const QString &note)
{
    if (format == QStringLiteral("csv"))
        WriteCsv(games);
    else if (format == QStringLiteral("json"))
        WriteJson(games, note);
    else
        WriteText(games, note);
}
