#include "core/GameTable.h"

namespace {

QString TextOf(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

} // namespace

GameInfo GameInfoOf(int game)
{
    const GameRule &rule = GameRuleOf(game);
    return {rule.HighestNumber, rule.PickCount, TextOf(rule.Name), QString(), rule.BonusCount};
}

GameTableType MakeGameTable(const QString &programFolder)
{
    GameTableType table;
    for (int g = 0; g < GameCount; ++g) {
        table[size_t(g)] = GameInfoOf(g);
        table[size_t(g)].PatternFilePath = programFolder + TextOf(GameRuleOf(g).PatternFileName);
    }
    return table;
}
