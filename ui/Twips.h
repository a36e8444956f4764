#pragma once

#include <QRect>

class QWidget;

// Design sizes are in twips: 15 twips a pixel at 96 dpi, scaled with the
// screen's logical dpi.
int TwipsToPixels(double twips);
double PixelsToTwips(int pixels);
QRect TwipsRect(double left, double top, double width, double height);
// Places a widget inside its parent at a rectangle given in twips.
void PlaceTwips(QWidget *widget, double left, double top, double width, double height);
