#include "core/ReportFormat.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

QString Fixed(double value, int decimals)
{
    return QLocale(QLocale::Japanese, QLocale::Japan).toString(value, 'f', decimals);
}

int DecimalsFor(double value, int significant)
{
    if (value <= 0)
        return 0;
    const int exponent = int(std::floor(std::log10(value)));
    return std::clamp(significant - 1 - exponent, 0, 12);
}

} // namespace

QString Grouped(qint64 value)
{
    return QLocale(QLocale::Japanese, QLocale::Japan).toString(value);
}

QString PercentText(double fraction)
{
    const double percent = fraction * 100;
    const int decimals = percent >= 0.01 || percent <= 0 ? 4 : DecimalsFor(percent, 5);
    return ShareText(fraction, decimals);
}

QString ShareText(double fraction, int decimals)
{
    const double percent = fraction * 100;
    const double step = std::pow(10.0, -decimals);
    // Rounding would show a chance that is not certain as certain, or one
    // that is not impossible as nothing.
    if (fraction < 1 && percent > 100 - step / 2)
        return Fixed(100 - step, decimals) + QStringLiteral("%超");
    if (fraction > 0 && percent < step / 2)
        return Fixed(step, decimals) + QStringLiteral("%未満");
    return Fixed(percent, decimals) + QLatin1Char('%');
}

QString OutcomeText(quint64 winning, quint64 outcomes)
{
    return QStringLiteral("%1 / %2 (%3)")
        .arg(Grouped(qint64(winning)), Grouped(qint64(outcomes)),
             PercentText(outcomes == 0 ? 0.0 : double(winning) / double(outcomes)));
}

QString Approx(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    return Fixed(value, DecimalsFor(std::abs(value), 3));
}

QString RateText(double fraction)
{
    // A return may pass 100 %, but a small one is never shown as none.
    if (fraction > 0 && fraction * 100 < 0.05)
        return QStringLiteral("0.1%未満");
    return Fixed(fraction * 100, 1) + QLatin1Char('%');
}

QString PadCells(const QString &text, int cells)
{
    int used = 0;
    for (const QChar c : text) {
        // ASCII and half-width katakana take one cell.
        const bool narrow = c.unicode() < 0x0080
                            || (c.unicode() >= 0xFF61 && c.unicode() <= 0xFF9F);
        used += narrow ? 1 : 2;
    }
    return text + QString(std::max(0, cells - used), QLatin1Char(' '));
}

QString TierName(int tier)
{
    return tier == 0 ? QStringLiteral("なし") : QStringLiteral("%1等").arg(tier);
}
