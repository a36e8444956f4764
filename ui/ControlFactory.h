#pragma once

#include <QLabel>
#include <QPushButton>
#include <QString>

// Controls carry their design name as objectName, so tests and the dialogs
// find them by it.
inline QPushButton *MakeButton(QWidget *parent, const QString &name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

inline QLabel *MakeLabel(QWidget *parent, const QString &name, const QString &caption)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}
