#pragma once

#include "core/PopularityRelabel.h"
#include "rules/DrawRecord.h"

#include <QString>
#include <QVector>

#include <vector>

class WorkControl;

// A finished wheel put in the order few others pick: the popularity model is
// fitted to the game's stored draws and the chosen numbers are reassigned to
// the wheel's places. Only how many may share a prize changes, never a chance.
struct PopularWheel
{
    bool Fitted = false;    // false: too few draws with winner counts, or cancelled
    qint64 UsableDraws = 0; // draws with winner counts the fit could use
    PopularityRelabel Relabel;
    std::vector<std::vector<int>> Rows; // relabelled, each ascending; empty unless Fitted
};

// rows are in the chosen numbers (ascending, distinct, of the game).
PopularWheel MakePopularWheel(const QVector<DrawRecord> &draws, int game,
                              const std::vector<int> &chosen,
                              const std::vector<std::vector<int>> &rows,
                              WorkControl *control = nullptr);

// The lines the wheel's report shows for it: the index before and after and
// that the chance stays as it was, or why no order was chosen.
QString PopularWheelText(const PopularWheel &wheel);
