#pragma once

#include "rules/DrawRecord.h"
#include "rules/GameRules.h"
#include "storage/DrawHistory.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QLocale>
#include <QStringList>
#include <QVector>

// The stored draws of one game, newest first. Rows are read from the store a
// page at a time as the view asks for them, so opening a long history reads
// only what is on the screen.
class DrawHistoryModel : public QAbstractTableModel
{
public:
    enum Column {
        DrawNumberColumn,
        DateColumn,
        NumbersColumn,
        BonusColumn,
        FirstWinnersColumn,
        FirstPrizeColumn,
        CarryOverColumn,
        SourceColumn,
        ColumnCount
    };

    using QAbstractTableModel::QAbstractTableModel;

    // history null: nothing to show.
    void reload(DrawHistory *history, int game)
    {
        beginResetModel();
        m_history = history;
        m_game = game;
        m_pages.clear();
        m_count = history ? history->count(game) : 0;
        endResetModel();
    }
    // Row 0 is the newest draw.
    const DrawRecord &drawAt(int row) const
    {
        static const DrawRecord none;
        const int page = row / PageSize;
        auto found = m_pages.find(page);
        if (found == m_pages.end())
            found = m_pages.insert(
                page, m_history ? m_history->newestFirst(m_game, page * PageSize, PageSize)
                                : QVector<DrawRecord>());
        const int index = row % PageSize;
        return index < found->size() ? found->at(index) : none;
    }
    int newestDrawNumber() const { return m_count > 0 ? drawAt(0).DrawNumber : 0; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_count;
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : ColumnCount;
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid())
            return QVariant();
        if (role == Qt::TextAlignmentRole)
            switch (index.column()) {
            case SourceColumn:
                return int(Qt::AlignLeft | Qt::AlignVCenter);
            case DateColumn:
            case NumbersColumn:
            case BonusColumn:
                return int(Qt::AlignCenter);
            default:
                return int(Qt::AlignRight | Qt::AlignVCenter);
            }
        if (role != Qt::DisplayRole)
            return QVariant();
        const DrawRecord &draw = drawAt(index.row());
        const auto amount = [](qint64 value) {
            return value == DrawRecord::Unknown
                       ? QString()
                       : QLocale(QLocale::Japanese, QLocale::Japan).toString(value);
        };
        switch (index.column()) {
        case DrawNumberColumn:
            return QString::number(draw.DrawNumber);
        case DateColumn:
            return draw.Date.toString(QStringLiteral("yyyy/MM/dd"));
        case NumbersColumn: {
            QStringList numbers;
            for (int i = 0; i < draw.MainCount; ++i)
                numbers << QStringLiteral("%1").arg(draw.Numbers[size_t(i)], 2, 10,
                                                    QLatin1Char('0'));
            return numbers.join(QLatin1Char(' '));
        }
        case BonusColumn: {
            QStringList bonuses{QStringLiteral("%1").arg(draw.Bonus, 2, 10, QLatin1Char('0'))};
            for (int i = 1; i < GameRuleOf(draw.Game).BonusCount; ++i)
                bonuses << QStringLiteral("%1").arg(draw.MoreBonuses[size_t(i - 1)], 2, 10,
                                                    QLatin1Char('0'));
            return bonuses.join(QLatin1Char(' '));
        }
        case FirstWinnersColumn:
            return amount(draw.Winners[0]);
        case FirstPrizeColumn:
            return amount(draw.PrizeYen[0]);
        case CarryOverColumn:
            return amount(draw.CarryOverYen);
        case SourceColumn:
            return draw.Source == QStringLiteral("manual") ? QStringLiteral("手入力") : draw.Source;
        default:
            return QVariant();
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        static const char16_t *const names[ColumnCount] = {
            u"回",      u"抽選日",  u"本数字",           u"ボーナス",
            u"1等口数", u"1等賞金", u"キャリーオーバー", u"取込元"};
        return section >= 0 && section < ColumnCount ? QString::fromUtf16(names[section])
                                                     : QVariant();
    }

private:
    static constexpr int PageSize = 256;
    DrawHistory *m_history = nullptr;
    int m_game = 0;
    int m_count = 0;
    mutable QHash<int, QVector<DrawRecord>> m_pages;
};
