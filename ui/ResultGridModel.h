#pragma once

#include <QAbstractTableModel>

// Compact cell store behind ResultGrid.
class ResultGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
};
