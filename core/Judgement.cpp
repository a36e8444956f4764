#include "core/Judgement.h"

#include "core/GameTable.h"

#include <algorithm>

PreparedDraw PrepareDraw(const WinningNumbers &draw, int pickCount)
{
    PreparedDraw prepared;
    prepared.PickCount = std::clamp(pickCount, 0, 6);
    for (int k = 0; k < prepared.PickCount; ++k)
        prepared.Texts[k] = QString::number(draw.Numbers[k]);
    prepared.Texts[6] = QString::number(draw.Numbers[6]);
    return prepared;
}

CellMatch MatchCell(const QString &cellText, const PreparedDraw &draw, int &mainHits)
{
    std::array<bool, 7> equal{};
    for (int k = 0; k < draw.PickCount; ++k)
        equal[size_t(k)] = cellText == draw.Texts[size_t(k)];
    equal[6] = cellText == draw.Texts[6];
    return MatchEqualities(equal, draw.PickCount, mainHits);
}

CellMatch MatchEqualities(const std::array<bool, 7> &equal, int pickCount, int &mainHits)
{
    mainHits = 0;
    for (int k = 0; k < std::clamp(pickCount, 0, 6); ++k) {
        if (equal[size_t(k)])
            ++mainHits;
    }
    if (mainHits > 0)
        return CellMatch::Main;
    return equal[6] ? CellMatch::Bonus : CellMatch::None;
}

CellMatch MatchCell(const QString &cellText, const WinningNumbers &draw, int pickCount,
                    int &mainHits)
{
    return MatchCell(cellText, PrepareDraw(draw, pickCount), mainHits);
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
