#include "core/Judgement.h"

#include "core/GameTable.h"
#include "core/GridCellStore.h"

#include <algorithm>

PreparedDraw PrepareDraw(const WinningNumbers &draw, int pickCount, int bonusCount)
{
    PreparedDraw prepared;
    prepared.PickCount = std::clamp(pickCount, 0, MaxPickCount);
    prepared.BonusCount = std::clamp(bonusCount, 0, MaxBonusCount);
    for (int k = 0; k < prepared.PickCount; ++k)
        prepared.Texts[k] = QString::number(draw.Numbers[k]);
    for (int b = 0; b < prepared.BonusCount; ++b)
        prepared.Texts[BonusSlot + b] = QString::number(draw.Numbers[BonusSlot + b]);
    return prepared;
}

namespace {

// Whether draw slot k holds one of the game's numbers.
bool UsedSlot(int k, int pickCount, int bonusCount)
{
    return k < pickCount || (k >= BonusSlot && k < BonusSlot + bonusCount);
}

} // namespace

CellMatch MatchCell(const QString &cellText, const PreparedDraw &draw, int &mainHits)
{
    std::array<bool, DrawSlots> equal{};
    for (int k = 0; k < DrawSlots; ++k)
        equal[size_t(k)] = UsedSlot(k, draw.PickCount, draw.BonusCount)
                           && cellText == draw.Texts[size_t(k)];
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
    for (int k = BonusSlot; k < DrawSlots; ++k) {
        if (equal[size_t(k)])
            return CellMatch::Bonus;
    }
    return CellMatch::None;
}

CellMatch MatchCell(const QString &cellText, const WinningNumbers &draw, int pickCount,
                    int &mainHits, int bonusCount)
{
    return MatchCell(cellText, PrepareDraw(draw, pickCount, bonusCount), mainHits);
}

int RowGame(const GridCellStore &cells, int row)
{
    const GridLayout layout = GridLayoutOf(cells.columnCount());
    if (cells.isEmptyCell(row, LastNumberColumn))
        return GameMiniLoto;
    if (layout.NumberColumns > LastNumberColumn && !cells.isEmptyCell(row, SeventhNumberColumn))
        return GameLoto7;
    return GameLoto6;
}

DrawKeys KeysOf(const PreparedDraw &draw, const CellKeyOf &keyOf)
{
    DrawKeys keys;
    keys.PickCount = draw.PickCount;
    keys.BonusCount = draw.BonusCount;
    for (int k = 0; k < DrawSlots; ++k) {
        if (UsedSlot(k, draw.PickCount, draw.BonusCount))
            keys.Keys[size_t(k)] = keyOf(draw.Texts[size_t(k)]);
    }
    return keys;
}

namespace {

// equalTo(c, k): whether judged column c equals draw slot k.
template<typename EqualTo>
RowJudgement JudgeCells(int pickCount, int bonusCount, EqualTo equalTo)
{
    RowJudgement row;
    for (int c = 0; c < JudgedColumns; ++c) {
        std::array<bool, DrawSlots> equal{};
        for (int k = 0; k < DrawSlots; ++k)
            equal[size_t(k)] = UsedSlot(k, pickCount, bonusCount) && equalTo(c, k);
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
    return JudgeCells(draw.PickCount, draw.BonusCount, [&](int c, int k) {
        const std::optional<quint32> &key = draw.Keys[size_t(k)];
        return key && *key == cellKeys[size_t(c)];
    });
}

DrawKeyTable MakeDrawKeyTable(const DrawKeys &draw)
{
    // Keys from here on are no plain number of any game: a table that large
    // would cost more than it saves.
    constexpr quint32 LargestKey = 1023;
    DrawKeyTable table;
    quint32 highest = 0;
    for (int k = 0; k < DrawSlots; ++k) {
        const std::optional<quint32> &key = draw.Keys[size_t(k)];
        if (!UsedSlot(k, draw.PickCount, draw.BonusCount) || !key)
            continue;
        if (*key > LargestKey)
            return table;
        highest = std::max(highest, *key);
    }
    table.Entries.assign(size_t(highest) + 1, 0);
    for (quint32 key = 0; key <= highest; ++key) {
        std::array<bool, DrawSlots> equal{};
        for (int k = 0; k < DrawSlots; ++k)
            equal[size_t(k)] = UsedSlot(k, draw.PickCount, draw.BonusCount)
                               && draw.Keys[size_t(k)] == key;
        int hits = 0;
        const CellMatch match = MatchEqualities(equal, draw.PickCount, hits);
        table.Entries[key] = quint8(hits
                                    | (match == CellMatch::Bonus ? DrawKeyTable::BonusBit : 0));
    }
    table.Usable = true;
    return table;
}

RowJudgement JudgeRow(const std::array<quint32, JudgedColumns> &cellKeys, const DrawKeyTable &table)
{
    RowJudgement row;
    const size_t size = table.Entries.size();
    for (size_t c = 0; c < size_t(JudgedColumns); ++c) {
        const quint32 key = cellKeys[c];
        const quint8 entry = key < size ? table.Entries[key] : quint8(0);
        const int hits = entry & ~DrawKeyTable::BonusBit;
        row.Hits += hits;
        if (hits > 0) {
            row.Marks[c] = CellMatch::Main;
        } else if (entry & DrawKeyTable::BonusBit) {
            row.Marks[c] = CellMatch::Bonus;
            row.BonusFlag = 1;
        }
    }
    return row;
}

RowJudgement JudgeRow(const std::array<QString, JudgedColumns> &cellTexts, const PreparedDraw &draw)
{
    return JudgeCells(draw.PickCount, draw.BonusCount,
                      [&](int c, int k) { return cellTexts[size_t(c)] == draw.Texts[size_t(k)]; });
}

namespace {

// Per game, the line of each prize tier, index 0 the first prize, and the
// line for a row that won nothing with NearHits main hits: one hit short of
// the smallest prize, or for LOTO7 a bonus number short of it.
struct PrizeTexts
{
    std::array<const char16_t *, MaxTiers> Tiers;
    int NearHits;
    const char16_t *Near;
};

const std::array<PrizeTexts, GameCount> &PrizeTextTable()
{
    static const std::array<PrizeTexts, GameCount> texts{{
        {{u"ロト６　１等　ホントニ！？　☆☆☆☆☆", u"ロト６　２等　ホントニ！？　☆☆☆☆",
          u"ロト６　３等　オメデトウ！　☆☆☆", u"ロト６　４等　オメデトウ！　☆☆",
          u"ロト６　５等　オメデトウ！　☆"},
         2,
         u"ロト６　残念！　２個当たり　もう一息"},
        {{u"ミニロト　１等 ホントニ！？　☆☆☆☆", u"ミニロト　２等 ホントニ！？　☆☆☆",
          u"ミニロト　３等 オメデトウ！　☆☆", u"ミニロト　４等 オメデトウ！　☆"},
         2,
         u"ミニロト　残念！　２個当たり　もう一息"},
        {{u"ロト７　１等　ホントニ！？　☆☆☆☆☆☆", u"ロト７　２等　ホントニ！？　☆☆☆☆☆",
          u"ロト７　３等　オメデトウ！　☆☆☆☆", u"ロト７　４等　オメデトウ！　☆☆☆",
          u"ロト７　５等　オメデトウ！　☆☆", u"ロト７　６等　オメデトウ！　☆"},
         3,
         u"ロト７　残念！　３個当たり　もう一息"},
    }};
    return texts;
}

} // namespace

bool HasPrizeLine(int game, int hits, int bonusFlag)
{
    if (game < 0 || game >= GameCount)
        return false;
    return PrizeTier(game, hits, bonusFlag != 0) > 0
           || hits == PrizeTextTable()[size_t(game)].NearHits;
}

QString PrizeLine(int game, int hits, int bonusFlag)
{
    if (game < 0 || game >= GameCount)
        return QString();
    const PrizeTexts &texts = PrizeTextTable()[size_t(game)];
    const int tier = PrizeTier(game, hits, bonusFlag != 0);
    if (tier > 0)
        return QString::fromUtf16(texts.Tiers[size_t(tier - 1)]);
    if (hits == texts.NearHits)
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
