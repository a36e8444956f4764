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

namespace {

// Per game, the line of each prize tier, index 0 the first prize, and the
// line for a row one hit short of the smallest prize.
struct PrizeTexts
{
    std::array<const char16_t *, MaxTiers> Tiers;
    const char16_t *Near;
};

const std::array<PrizeTexts, GameCount> &PrizeTextTable()
{
    static const std::array<PrizeTexts, GameCount> texts{{
        {{u"ロト６　１等　ホントニ！？　☆☆☆☆☆", u"ロト６　２等　ホントニ！？　☆☆☆☆",
          u"ロト６　３等　オメデトウ！　☆☆☆", u"ロト６　４等　オメデトウ！　☆☆",
          u"ロト６　５等　オメデトウ！　☆"},
         u"ロト６　残念！　２個当たり　もう一息"},
        {{u"ミニロト　１等 ホントニ！？　☆☆☆☆", u"ミニロト　２等 ホントニ！？　☆☆☆",
          u"ミニロト　３等 オメデトウ！　☆☆", u"ミニロト　４等 オメデトウ！　☆"},
         u"ミニロト　残念！　２個当たり　もう一息"},
    }};
    return texts;
}

} // namespace

QString PrizeLine(int game, int hits, int bonusFlag)
{
    if (game < 0 || game >= GameCount)
        return QString();
    const PrizeTexts &texts = PrizeTextTable()[size_t(game)];
    const int tier = PrizeTier(game, hits, bonusFlag != 0);
    if (tier > 0)
        return QString::fromUtf16(texts.Tiers[size_t(tier - 1)]);
    if (hits == MinPrizeHits(game) - 1)
        return QString::fromUtf16(texts.Near);
    return QString();
}

QString JudgementClosingLine()
{
    return QStringLiteral("＝＝＝　判定終了です。当たりましたか？　＝＝＝");
}

QString NoDrawToJudgeLine()
{
    return NoDrawToJudgeLines().join(QString());
}

QStringList NoDrawToJudgeLines()
{
    // Broken where a line of the judgement box ends.
    return {QStringLiteral("実際の抽せんの当選番号がないため、判定できませんでした。"),
            QStringLiteral("メイン画面の「当選番号履歴(Y)」で"),
            QStringLiteral("当選番号を取り込むか入力するか、"),
            QStringLiteral("ダウンロードボタンで最新のデータを取得してください。")};
}
