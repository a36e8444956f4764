#include "core/ShippedWheels.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <map>
#include <tuple>

namespace {

using Key = std::tuple<int, int, int, int>;
using Rows = std::vector<std::vector<int>>;

std::vector<int> Numbers(const QString &text, bool &ok)
{
    std::vector<int> out;
    const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        out.push_back(part.toInt(&ok));
        if (!ok)
            return {};
    }
    return out;
}

// "v k t m: row,row,..." with each row its numbers apart by spaces; a line
// that does not read so is left out (and a wrong one fails its proof).
void ReadLine(const QString &line, std::map<Key, Rows> &wheels)
{
    const int colon = line.indexOf(QLatin1Char(':'));
    if (line.startsWith(QLatin1Char('#')) || colon < 0)
        return;
    bool ok = true;
    const std::vector<int> head = Numbers(line.left(colon), ok);
    if (!ok || head.size() != 4)
        return;
    Rows rows;
    for (const QString &row : line.mid(colon + 1).split(QLatin1Char(','))) {
        rows.push_back(Numbers(row, ok));
        if (!ok)
            return;
    }
    wheels[Key{head[0], head[1], head[2], head[3]}] = rows;
}

std::map<Key, Rows> ReadAll()
{
    std::map<Key, Rows> wheels;
    QFile file(QStringLiteral(":/wheels/wheels.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return wheels;
    const QStringList lines = QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'));
    for (const QString &line : lines)
        ReadLine(line.trimmed(), wheels);
    return wheels;
}

const std::map<Key, Rows> &Wheels()
{
    static const std::map<Key, Rows> wheels = ReadAll();
    return wheels;
}

} // namespace

std::vector<std::vector<int>> ShippedWheel(int v, int k, int t, int m)
{
    const auto at = Wheels().find(Key{v, k, t, m});
    return at == Wheels().end() ? Rows{} : at->second;
}

std::vector<ShippedCase> ShippedWheelCases()
{
    std::vector<ShippedCase> cases;
    for (const auto &[key, rows] : Wheels())
        cases.push_back({std::get<0>(key), std::get<1>(key), std::get<2>(key), std::get<3>(key)});
    return cases;
}
