#include "core/GameKeys.h"

std::optional<int> GameOfKey(const QString &key)
{
    for (const GameKey &row : GameKeys) {
        if (key == QString::fromUtf16(row.Key))
            return row.Game;
    }
    return std::nullopt;
}

QString KeyOfGame(int game)
{
    for (const GameKey &row : GameKeys) {
        if (row.Game == game)
            return QString::fromUtf16(row.Key);
    }
    return QString();
}

QStringList AllGameKeys()
{
    QStringList keys;
    for (const GameKey &row : GameKeys)
        keys << QString::fromUtf16(row.Key);
    return keys;
}
