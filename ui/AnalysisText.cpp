#include "ui/AnalysisText.h"

#include <QTableWidgetItem>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

// Sorts by the number kept beside the text.
class SortedByNumber : public QTableWidgetItem
{
public:
    using QTableWidgetItem::QTableWidgetItem;
    bool operator<(const QTableWidgetItem &other) const override
    {
        return data(Qt::UserRole).toDouble() < other.data(Qt::UserRole).toDouble();
    }
};

} // namespace

QTableWidgetItem *NumberCell(double key, const QString &text)
{
    auto *item = new SortedByNumber(text);
    item->setData(Qt::UserRole, key);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

void SetRoundTicks(QValueAxis *axis, double top)
{
    top = std::max(top, 1.0);
    // About six ticks.
    const double rough = top / 6;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = 10 * power;
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= rough) {
            step = factor * power;
            break;
        }
    }
    step = std::max(step, 1.0);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(step);
    axis->setRange(0, std::ceil(top / step) * step);
}
