#include "ui/CaptionKeys.h"

#include <QAbstractButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QWidget>

void GiveButtonKey(QAbstractButton *button, const QKeySequence &key)
{
    auto *shortcut = new QShortcut(key, button->window());
    QObject::connect(shortcut, &QShortcut::activated, button, [button] {
        if (button->isVisible() && button->isEnabled())
            button->animateClick();
    });
}

void GiveCaptionKeys(QWidget *window)
{
    static const QRegularExpression letter(QStringLiteral("[(（]([A-Za-z])[)）]"));
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        const QString caption = button->text();
        const QRegularExpressionMatch match = letter.match(caption);
        if (caption.contains(QLatin1Char('&')) || !match.hasMatch())
            continue;
        GiveButtonKey(button, QKeySequence(QStringLiteral("Alt+") + match.captured(1).toUpper()));
    }
}
