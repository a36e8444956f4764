#include "core/Judgement.h"

#include "core/GameTable.h"

#include <algorithm>

PreparedDraw PrepareDraw(const WinningNumbers &draw, int pickCount)
{
    PreparedDraw prepared;
    prepared.PickCount = std::clamp(pickCount, 0, MaxPickCount);
    for (int k = 0; k < prepared.PickCount; ++k)
        prepared.Texts[k] = QString::number(draw.Numbers[k]);
    prepared.Texts[BonusSlot] = QString::number(draw.Numbers[BonusSlot]);
    return prepared;
}

CellMatch MatchCell(const QString &cellText, const PreparedDraw &draw, int &mainHits)
{
    std::array<bool, DrawSlots> equal{};
    for (int k = 0; k < draw.PickCount; ++k)
        equal[size_t(k)] = cellText == draw.Texts[size_t(k)];
    equal[BonusSlot] = cellText == draw.Texts[BonusSlot];
    return MatchEqualities(equal, draw.PickCount, mainHits);
}

CellMatch MatchEqualities(const std::array<bool, DrawSlots> &equal, int pickCount, int &mainHits)
{
    mainHits = 0;
    for (int k = 0; k < std::clamp(pickCount, 0, MaxPickCount); ++k) {
        if (equal[size_t(k)])
            ++mainHits;
    }
    if (mainHits > 0)
        return CellMatch::Main;
    return equal[BonusSlot] ? CellMatch::Bonus : CellMatch::None;
}

CellMatch MatchCell(const QString &cellText, const WinningNumbers &draw, int pickCount,
                    int &mainHits)
{
    return MatchCell(cellText, PrepareDraw(draw, pickCount), mainHits);
}

DrawKeys KeysOf(const PreparedDraw &draw, const CellKeyOf &keyOf)
{
    DrawKeys keys;
    keys.PickCount = draw.PickCount;
    for (int k = 0; k < draw.PickCount; ++k)
        keys.Keys[size_t(k)] = keyOf(draw.Texts[size_t(k)]);
    keys.Keys[BonusSlot] = keyOf(draw.Texts[BonusSlot]);
    return keys;
}

namespace {

// equalTo(c, k): whether judged column c equals draw slot k.
template<typename EqualTo>
RowJudgement JudgeCells(int pickCount, EqualTo equalTo)
{
    RowJudgement row;
    for (int c = 0; c < JudgedColumns; ++c) {
        std::array<bool, DrawSlots> equal{};
        for (int k = 0; k < DrawSlots; ++k)
            equal[size_t(k)] = (k < pickCount || k == BonusSlot) && equalTo(c, k);
        int cellHits = 0;
        const CellMatch match = MatchEqualities(equal, pickCount, cellHits);
        row.Marks[size_t(c)] = match;
        row.Hits += cellHits;
        if (match == CellMatch::Bonus)
            row.BonusFlag = 1;
    }
    return row;
}

} // namespace

RowJudgement JudgeRow(const std::array<quint32, JudgedColumns> &cellKeys, const DrawKeys &draw)
{
    return JudgeCells(draw.PickCount, [&](int c, int k) {
        const std::optional<quint32> &key = draw.Keys[size_t(k)];
        return key && *key == cellKeys[size_t(c)];
    });
}

RowJudgement JudgeRow(const std::array<QString, JudgedColumns> &cellTexts, const PreparedDraw &draw)
{
    return JudgeCells(draw.PickCount,
                      [&](int c, int k) { return cellTexts[size_t(c)] == draw.Texts[size_t(k)]; });
}

QString PrizeLine(int game, int hits, int bonusFlag)
{
    const bool bonus = bonusFlag != 0;
    if (game == GameMiniLoto) {
        switch (hits) {
        case 5:
            return QStringLiteral("ミニロト　１等 ホントニ！？　☆☆☆☆");
        case 4:
            return bonus ? QStringLiteral("ミニロト　２等 ホントニ！？　☆☆☆")
                         : QStringLiteral("ミニロト　３等 オメデトウ！　☆☆");
        case 3:
            return QStringLiteral("ミニロト　４等 オメデトウ！　☆");
        case 2:
            return QStringLiteral("ミニロト　残念！　２個当たり　もう一息");
        default:
            return QString();
        }
    }
    if (game == GameLoto6) {
        switch (hits) {
        case 6:
            return QStringLiteral("ロト６　１等　ホントニ！？　☆☆☆☆☆");
        case 5:
            return bonus ? QStringLiteral("ロト６　２等　ホントニ！？　☆☆☆☆")
                         : QStringLiteral("ロト６　３等　オメデトウ！　☆☆☆");
        case 4:
            return QStringLiteral("ロト６　４等　オメデトウ！　☆☆");
        case 3:
            return QStringLiteral("ロト６　５等　オメデトウ！　☆");
        case 2:
            return QStringLiteral("ロト６　残念！　２個当たり　もう一息");
        default:
            return QString();
        }
    }
    return QString();
}

QString JudgementClosingLine()
{
    return QStringLiteral("＝＝＝　判定終了です。当たりましたか？　＝＝＝");
}

QString NoDrawToJudgeLine()
{
    return QStringLiteral("実際の抽せんの当選番号がないため、判定できませんでした。"
                          "メイン画面の「当選番号履歴(Y)」で当選番号を取り込むか入力するか、"
                          "ダウンロードボタンで最新のデータを取得してください。");
}
