#pragma once

#include <QJsonValue>
#include <QString>
#include <QVector>

// One figure of an analysis: its key (for csv and json), its Japanese label
// (for text) and its value, a number or an array of one number per tier.
struct Figure
{
    QString Key;
    QString Label;
    QJsonValue Value;
};

// One game's figures.
struct GameFigures
{
    QString GameKey;
    QString GameName;
    QVector<Figure> Figures;
};

// Writes the figures of every game as format says: text (a block per game),
// csv (a line per game, an array as one column per element) or json; note
// closes the text and is the json's "note".
void WriteFigures(const QVector<GameFigures> &games, const QString &format, const QString &note);
