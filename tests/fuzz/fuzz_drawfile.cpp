// The CSV draw reader on any bytes. Properties:
//  - every draw it accepts has distinct main numbers in its game's range, a
//    bonus in range and not among them, a draw number from 1 to 99,999 and
//    no amount past a trillion yen;
//  - the accepted draws written out and read back are the same draws.

#include "FuzzCheck.h"

#include "core/DrawFile.h"
#include "core/DrawImport.h"
#include "core/GameTable.h"

#include <algorithm>

namespace {

void CheckDraw(const DrawRecord &draw, int game)
{
    static const GameTableType games = MakeGameTable(QString());
    const GameInfo &info = games[size_t(game)];
    FUZZ_CHECK(draw.Game == game && draw.MainCount == info.PickCount);
    FUZZ_CHECK(draw.DrawNumber >= 1 && draw.DrawNumber <= DrawRecord::MaxDrawNumber);
    FUZZ_CHECK(draw.Date.isValid());
    for (int i = 0; i < draw.MainCount; ++i) {
        const int n = draw.Numbers[size_t(i)];
        FUZZ_CHECK(n >= 1 && n <= info.MaxNumber);
        FUZZ_CHECK(i == 0 || draw.Numbers[size_t(i - 1)] < n); // ascending: distinct
        FUZZ_CHECK(n != draw.Bonus);
    }
    FUZZ_CHECK(draw.Bonus >= 1 && draw.Bonus <= info.MaxNumber);
    for (const qint64 yen : draw.PrizeYen)
        FUZZ_CHECK(yen == DrawRecord::Unknown || (yen >= 0 && yen <= DrawRecord::MaxYen));
    FUZZ_CHECK(draw.CarryOverYen == DrawRecord::Unknown
               || (draw.CarryOverYen >= 0 && draw.CarryOverYen <= DrawRecord::MaxYen));
}

bool SameDraw(const DrawRecord &a, const DrawRecord &b)
{
    return a.sameNumbers(b) && a.Date == b.Date && a.PrizeYen == b.PrizeYen
           && a.CarryOverYen == b.CarryOverYen && a.Winners == b.Winners;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QDateTime when = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC);
    const DrawFile file = ReadDrawFile(FuzzBytes(data, size), QStringLiteral("fuzz"), when);
    if (file.Game < 0) {
        FUZZ_CHECK(file.Draws.isEmpty());
        return 0;
    }
    FUZZ_CHECK(file.Draws.size() + file.Rejected.size() == file.Rows);
    for (const DrawRecord &draw : file.Draws)
        CheckDraw(draw, file.Game);
    if (file.Draws.isEmpty())
        return 0;

    const DrawFile back = ReadDrawFile(WriteDrawFile(file.Draws, file.Game), QStringLiteral("back"),
                                       when);
    FUZZ_CHECK(back.Game == file.Game);
    FUZZ_CHECK2(back.Draws.size() == file.Draws.size(),
                QStringLiteral("%1 != %2").arg(back.Draws.size()).arg(file.Draws.size()));
    for (int i = 0; i < back.Draws.size(); ++i)
        FUZZ_CHECK2(SameDraw(back.Draws.at(i), file.Draws.at(i)), DrawLine(file.Draws.at(i)));
    return 0;
}
