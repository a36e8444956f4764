#include "core/WheelPopular.h"

#include "core/GameTable.h"
#include "core/PopularityFit.h"

#include <algorithm>

namespace {

// Each row as a set of labels: label i + 1 is the i-th chosen number.
std::vector<NumberSet> LabelRows(const std::vector<int> &chosen,
                                 const std::vector<std::vector<int>> &rows)
{
    std::vector<NumberSet> labelled;
    labelled.reserve(rows.size());
    for (const std::vector<int> &row : rows) {
        NumberSet set = 0;
        for (const int number : row) {
            const auto at = std::lower_bound(chosen.begin(), chosen.end(), number);
            set |= NumberBit(int(at - chosen.begin()) + 1);
        }
        labelled.push_back(set);
    }
    return labelled;
}

std::vector<std::vector<int>> NumberRows(const std::vector<int> &labelNumbers,
                                         const std::vector<NumberSet> &labelled)
{
    std::vector<std::vector<int>> rows;
    rows.reserve(labelled.size());
    for (const NumberSet set : labelled) {
        std::vector<int> row;
        for (int label = 1; label <= int(labelNumbers.size()); ++label) {
            if (set & NumberBit(label))
                row.push_back(labelNumbers[size_t(label - 1)]);
        }
        std::sort(row.begin(), row.end());
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace

PopularWheel MakePopularWheel(const QVector<DrawRecord> &draws, int game,
                              const std::vector<int> &chosen,
                              const std::vector<std::vector<int>> &rows, WorkControl *control)
{
    PopularWheel wheel;
    if (game < 0 || game >= GameCount)
        return wheel;
    const PopularityFit fit = FitPopularity(draws, PopularityGameOf(game, GameInfoOf(game)),
                                            control);
    wheel.UsableDraws = fit.UsedDraws;
    if (!fit.Model || fit.Cancelled)
        return wheel;
    const std::vector<NumberSet> labelled = LabelRows(chosen, rows);
    wheel.Relabel = RelabelForPayout(*fit.Model, labelled, chosen);
    if (wheel.Relabel.Numbers.size() != chosen.size())
        return wheel;
    wheel.Rows = NumberRows(wheel.Relabel.Numbers, labelled);
    wheel.Fitted = true;
    return wheel;
}

QString PopularWheelText(const PopularWheel &wheel)
{
    if (!wheel.Fitted)
        return QStringLiteral("人気の低い並びにできませんでした: 当せん口数と賞金のある当選番号"
                              "が %1 回分しかありません（%2 回分以上要ります）。行は元の並びの"
                              "ままです。")
            .arg(wheel.UsableDraws)
            .arg(PopularityFit::MinDraws);
    return QStringLiteral("人気の低い並び: 人気指数（平均、無作為な行が 100）%1 → %2\n"
                          "並びを変えて変わるのは、当たったときに賞金を分け合う人数の見込み"
                          "だけです。当せんの確率は変わりません。")
        .arg(wheel.Relabel.IndexBefore, 0, 'f', 1)
        .arg(wheel.Relabel.IndexAfter, 0, 'f', 1);
}
