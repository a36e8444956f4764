#pragma once

#include "core/GameTable.h"
#include "storage/Settings.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// How scripts and the settings file name a game: its key on the command line
// and the settings holding its draw sources. A game the program plays is one
// row here; a key without a row is an unknown game.
struct GameKey
{
    const char16_t *Key;
    int Game;
    std::array<TextSetting, 2> DrawSources;
};

inline constexpr std::array<GameKey, GameCount> GameKeys{{
    {u"loto6", GameLoto6, {Setting::L6Url1, Setting::L6Url2}},
    {u"miniloto", GameMiniLoto, {Setting::MlUrl1, Setting::MlUrl2}},
    {u"loto7", GameLoto7, {Setting::L7Url1, Setting::L7Url2}},
}};

// The game of a key ("loto6"), compared exactly; nothing for an unknown key.
std::optional<int> GameOfKey(const QString &key);
// The key of a game, empty for an index without a row.
QString KeyOfGame(int game);
// Every key, in the order of the rows.
QStringList AllGameKeys();
