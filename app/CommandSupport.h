#pragma once

#include "app/CommandTable.h"
#include "core/GameTable.h"

#include <QString>

#include <optional>

class DrawHistory;
class GridCellStore;

// What every command finds in the data folder.
GameTableType CommandGames(const CommandCall &call);
QString SettingsPath(const CommandCall &call);
QString HistoryPath(const CommandCall &call);

// Opens the history for reading (a missing file reads as empty) or, with
// create, for storing. A file that is there but no usable history is never
// set aside from the command line: false, with error set.
bool OpenHistory(DrawHistory &history, bool create, QString *error);

// The game of --game; nothing with error set when the key names no game.
std::optional<int> GameOption(const CommandCall &call, QString *error);

// A save file's rows into cells, as the save area loads them. False, with
// error set, when the file cannot be read or is no save file.
bool LoadSaveFile(const QString &path, GridCellStore &cells, QString *error);
