#include "core/GameTable.h"

GameTableType MakeGameTable(const QString &programFolder)
{
    GameTableType table;
    table[GameLoto6] = {43, 6, QStringLiteral("ロト６"),
                        programFolder + QStringLiteral("zanbol6.txt")};
    table[GameMiniLoto] = {31, 5, QStringLiteral("ミニロト"),
                           programFolder + QStringLiteral("zanboml.txt")};
    return table;
}
