#include "ui/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace {

// 96 when no screen is there (tests before a window exists, headless runs).
double LogicalDpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 96.0;
    const double dpi = screen->logicalDotsPerInch();
    return dpi > 0.0 ? dpi : 96.0;
}

} // namespace

int TwipsToPixels(double twips)
{
    // Positions come from the settings file too; keep any value within
    // reach of widget geometry so nothing overflows.
    constexpr double limit = 1 << 24;
    const double pixels = std::round(twips / 15.0 * LogicalDpi() / 96.0);
    if (!(pixels > -limit))
        return -int(limit);
    if (!(pixels < limit))
        return int(limit);
    return static_cast<int>(pixels);
}

double PixelsToTwips(int pixels)
{
    return pixels * 15.0 * 96.0 / LogicalDpi();
}

QRect TwipsRect(double left, double top, double width, double height)
{
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                 TwipsToPixels(height));
}

void PlaceTwips(QWidget *widget, double left, double top, double width, double height)
{
    if (widget)
        widget->setGeometry(TwipsRect(left, top, width, height));
}
