#pragma once

#include <QString>

#include <array>

// Game index: 0 = LOTO6, 1 = Mini LOTO; always the selected index of CmbSwitch.
constexpr int GameLoto6 = 0;
constexpr int GameMiniLoto = 1;
constexpr int GameCount = 2;
// Number-indexed tables run 1..43 in both games.
constexpr int HighestNumber = 43;

struct GameInfo
{
    int MaxNumber = 0;
    int PickCount = 0;
    QString GameName;
    QString PatternFilePath;
};

using GameTableType = std::array<GameInfo, GameCount>;

// programFolder must already end with the path separator.
GameTableType MakeGameTable(const QString &programFolder);
