#pragma once

#include "core/ReportFormat.h"

class QTableWidgetItem;

// A table cell that shows text and sorts by the number key.
QTableWidgetItem *NumberCell(double key, const QString &text);
