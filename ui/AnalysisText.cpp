#include "ui/AnalysisText.h"

#include <QTableWidgetItem>

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
