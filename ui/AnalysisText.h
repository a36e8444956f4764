#pragma once

#include "core/ReportFormat.h"

class QTableWidgetItem;
class QValueAxis;

// A table cell that shows text and sorts by the number key.
QTableWidgetItem *NumberCell(double key, const QString &text);

// Runs the axis from 0 to just past top with its ticks at round values: 1, 2
// or 5 times a power of ten, never below 1.
void SetRoundTicks(QValueAxis *axis, double top);
