#pragma once

#include "core/DrawFile.h"

#include <QString>
#include <QVector>

// A draw that the file gives with other numbers than the history holds.
struct DrawConflict
{
    DrawRecord Stored;
    DrawRecord Incoming;
};

// One import measured against the history: what is new, what is already
// there, what disagrees with it and what the file's checks refused.
struct DrawImport
{
    QString FileName;
    int Game = -1;
    QVector<DrawRecord> New;
    QVector<int> AlreadyStored; // draw numbers
    QVector<DrawConflict> Conflicts;
    QVector<RejectedRow> Rejected;
    // Whether the conflicting draws were written over the stored ones.
    bool ConflictsReplaced = false;
};

// Sorts the file's draws against the stored draws of the same game
// (ascending by draw number, as the history reads them).
DrawImport PlanImport(const DrawFile &file, const QVector<DrawRecord> &stored,
                      const QString &fileName);

// A stored draw corrected by hand: a conflict whenever anything the user can
// type differs (numbers, date, winners, prizes, carry-over), so it goes
// through the same question as a file's conflicting draw; already stored
// when nothing does.
DrawImport PlanCorrection(const DrawRecord &corrected, const QVector<DrawRecord> &stored);

// The records one transaction writes: the new draws, and the file's version
// of every conflict when the user chose to replace them.
QVector<DrawRecord> DrawsToStore(const DrawImport &import);

// One draw on one line: "第12回 2000/12/21   3  9 15 22 31 40 (7)", the
// bonus numbers of a game with more apart by blanks in the brackets.
QString DrawLine(const DrawRecord &draw);

// The question that offers to replace conflicting draws, both versions shown.
QString ReplaceQuestion(const DrawImport &import);

// The report after an import, in Japanese: the four counts, then the details
// of the draws already stored, the conflicts and the rejected rows.
QString ImportReport(const DrawImport &import);
