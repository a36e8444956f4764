// The back-test on saved rows and draws made from any bytes. Properties:
//  - each row's wins at each kept draw are what the judgement gives it;
//  - one thread and two give the same result;
//  - prizes up to the limit and past it never overflow a sum (the sanitizer
//    build checks the arithmetic).

#include "FuzzCheck.h"

#include "core/Backtest.h"
#include "core/GridCellStore.h"
#include "core/Judgement.h"
#include "core/PrizeChance.h"
#include "core/SavedRows.h"
#include "core/TicketRows.h"
#include "core/WorkControl.h"

#include <algorithm>

namespace {

int TierOf(int game, int hits, int bonusFlag)
{
    const QString line = PrizeLine(game, hits, bonusFlag);
    const QString digits = QStringLiteral("１２３４５");
    for (int t = 0; t < digits.size(); ++t) {
        if (line.contains(digits.at(t) + QStringLiteral("等")))
            return t + 1;
    }
    return 0;
}

qint64 Yen(quint8 byte)
{
    switch (byte % 8) {
    case 0:
        return DrawRecord::Unknown;
    case 1:
        return DrawRecord::MaxYen;
    case 2:
        return std::numeric_limits<qint64>::max();
    default:
        return qint64(byte) * 1000;
    }
}

bool SameResult(const BacktestResult &a, const BacktestResult &b)
{
    if (a.Rows.size() != b.Rows.size() || a.Draws.size() != b.Draws.size())
        return false;
    for (size_t i = 0; i < a.Rows.size(); ++i) {
        if (a.Rows[i].Wins != b.Rows[i].Wins || a.Rows[i].Yen != b.Rows[i].Yen)
            return false;
    }
    for (size_t i = 0; i < a.Draws.size(); ++i) {
        if (a.Draws[i].Wins != b.Draws[i].Wins || a.Draws[i].Yen != b.Draws[i].Yen)
            return false;
    }
    for (int g = 0; g < GameCount; ++g) {
        const BacktestSummary &x = a.Games[size_t(g)];
        const BacktestSummary &y = b.Games[size_t(g)];
        if (x.Wins != y.Wins || x.WinningsYen != y.WinningsYen || x.UnpricedWins != y.UnpricedWins)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const int rowCount = 1 + data[0] % 40;
    size_t at = 1;
    const auto next = [&]() -> quint8 { return at < size ? data[at++] : 0; };

    GridCellStore store(rowCount + 1, GridColumnCount);
    for (int r = 1; r <= rowCount; ++r) {
        store.setText(r, RowNumberColumn, QString::number(r));
        for (int c = 0; c < 6; ++c) {
            const int n = next() % 46; // 0 leaves the cell empty
            if (n > 0)
                store.setText(r, FirstNumberColumn + c, QString::number(n));
        }
    }
    std::array<QVector<DrawRecord>, GameCount> draws;
    for (int d = 1; at < size && d <= 64; ++d) {
        DrawRecord draw;
        draw.Game = next() % 2;
        draw.DrawNumber = d;
        draw.Date = QDate(2000, 1, 1).addDays(d);
        draw.MainCount = draw.Game == 0 ? 6 : 5;
        for (int i = 0; i < draw.MainCount; ++i)
            draw.Numbers[size_t(i)] = next() % 45;
        std::sort(draw.Numbers.begin(), draw.Numbers.begin() + draw.MainCount);
        draw.Bonus = next() % 45;
        for (qint64 &yen : draw.PrizeYen)
            yen = Yen(next());
        draws[size_t(draw.Game)].append(draw);
    }

    const SavedRowSets rows = ReadSavedRows(store);
    WorkControl one;
    WorkControl two;
    const BacktestResult single = RunBacktest(rows, draws, one, 1);
    const BacktestResult shared = RunBacktest(rows, draws, two, 2);
    FUZZ_CHECK(!single.Cancelled);
    FUZZ_CHECK(SameResult(single, shared));

    for (const BacktestDraw &kept : single.Draws) {
        const DrawRecord &draw = *std::find_if(
            draws[size_t(kept.Game)].begin(), draws[size_t(kept.Game)].end(),
            [&kept](const DrawRecord &d) { return d.DrawNumber == kept.DrawNumber; });
        WinningNumbers winning;
        std::copy_n(draw.Numbers.begin(), draw.MainCount, winning.Numbers.begin());
        winning.Numbers[BonusSlot] = draw.Bonus;
        const PreparedDraw prepared = PrepareDraw(winning, draw.MainCount);
        std::array<qint64, MaxTiers> wins{};
        const TicketRows tickets(store);
        for (int r = 1; r <= rowCount; ++r) {
            // Rows that are no ticket are left out of the back-test.
            if (RowGame(store, r) != kept.Game || !tickets.isTicket(r))
                continue;
            std::array<QString, JudgedColumns> texts;
            for (int c = 0; c < JudgedColumns; ++c)
                texts[size_t(c)] = store.text(r, FirstNumberColumn + c);
            const RowJudgement judged = JudgeRow(texts, prepared);
            const int tier = TierOf(kept.Game, judged.Hits, judged.BonusFlag);
            if (tier > 0)
                ++wins[size_t(tier - 1)];
        }
        FUZZ_CHECK2(wins == kept.Wins, QStringLiteral("draw %1").arg(kept.DrawNumber));
    }
    return 0;
}
