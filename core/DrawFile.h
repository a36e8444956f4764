#pragma once

#include "rules/DrawRecord.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringView>
#include <QVector>

#include <array>
#include <functional>
#include <optional>

// CSV files of published draws: reading them (encoding, layout, game) with a
// check of every row, and writing a game's history in the common layout.

// A row that was not taken, with its line in the file (from 1) and why.
struct RejectedRow
{
    int Line = 0;
    QString Reason;
    QString Text; // the row as it stands in the file
};

// The text fields of one draw, as a file row or the entry form gives them.
// Tier and carry-over fields are optional: a null view means "not given".
struct DrawFields
{
    QStringView DrawNumber;
    QStringView Date;
    std::array<QStringView, DrawRecord::MaxMainNumbers> Mains;
    QStringView Bonus; // the first; a game with more has the rest in MoreBonuses
    std::array<QStringView, DrawRecord::MaxBonusNumbers - 1> MoreBonuses;
    std::array<QStringView, DrawRecord::MaxTiers> Winners;
    std::array<QStringView, DrawRecord::MaxTiers> PrizeYen;
    QStringView CarryOverYen;
};

// Checks one draw of game: draw number from 1 to MaxDrawNumber, date valid,
// from the game's first draw (draw 1 on that day) to a week ahead, main
// numbers whole, in range and distinct, the game's bonus numbers in range,
// distinct and none a main number, prizes and carry-over at most MaxYen.
// The record (main and bonus numbers ascending, Source and StoredAt left
// empty), or empty with reason set to why the draw is refused.
std::optional<DrawRecord> CheckDraw(const DrawFields &fields, int game, QString *reason);

// Year, month and day: "2000/10/5", "2000.10.5", "2000-10-05", "20001005",
// "2000年10月5日", each with a weekday in brackets after it or not, and in
// the eras 令和 and 平成 ("令和9年1月11日", "R9/1/14", "H30.5.7"). An invalid
// date when the text is none of these or no day of the calendar; reason is set
// when the year comes last, as month and day order cannot be known then.
QDate ParseDrawDate(QStringView text, QString *reason = nullptr);

// The date of a game's first draw; no draw of the game is older.
QDate FirstDrawDate(int game);

// Bytes of a draw file as text: UTF-8 when they are valid UTF-8 (a BOM is
// dropped), code page 932 otherwise.
QString DecodeDrawFile(const QByteArray &bytes);

struct DrawFile
{
    int Game = -1;          // the detected game, -1 when none fits
    bool HasHeader = false; // columns found by their names
    QVector<DrawRecord> Draws;
    QVector<RejectedRow> Rejected;
    int Rows = 0;      // rows that are not blank, the header excepted
    bool Empty = true; // nothing but blanks in the file
};

// Reads a CSV file of draws: its encoding, whether it has a header, which
// game it holds (from its number columns and the numbers' range) and every
// row, checked as CheckDraw does. Records carry source and storedAt. A file
// whose layout fits no game has Game -1 and no draws. With game given, the
// file is read as that game's whatever its columns and numbers suggest.
// progress, when given, hears now and then how much of the text is read (0
// to 1); when it returns false the read stops with the rows read so far.
DrawFile ReadDrawFile(const QByteArray &bytes, const QString &source,
                      const QDateTime &storedAt = QDateTime::currentDateTimeUtc(), int game = -1,
                      const std::function<bool(double done)> &progress = {});

// The common published layout of one game's draws, with a header, as UTF-8
// with a BOM and CR LF line ends; unknown tier fields stay empty.
QByteArray WriteDrawFile(const QVector<DrawRecord> &draws, int game);
