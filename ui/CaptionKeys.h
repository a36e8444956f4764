#pragma once

#include <QKeySequence>

class QAbstractButton;
class QWidget;

// A caption such as "保存(S)" shows its key without marking it; Alt with that
// letter clicks the button as a marked one would, the caption unchanged.
void GiveCaptionKeys(QWidget *window);

// Clicks button on key while the button can be clicked.
void GiveButtonKey(QAbstractButton *button, const QKeySequence &key);
