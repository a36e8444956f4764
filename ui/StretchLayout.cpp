#include "ui/StretchLayout.h"

#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <cmath>

StretchLayout::StretchLayout(QWidget *container, QSize designSize)
    : QObject(container)
    , m_container(container)
    , m_design(designSize)
{
    container->installEventFilter(this);
}

void StretchLayout::add(QWidget *widget, Share share)
{
    m_entries.append({widget, widget->geometry(), share});
    apply(m_container->size());
}

bool StretchLayout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_container && event->type() == QEvent::Resize)
        apply(m_container->size());
    return QObject::eventFilter(watched, event);
}

void StretchLayout::apply(QSize size)
{
    const int dx = std::max(0, size.width() - m_design.width());
    const int dy = std::max(0, size.height() - m_design.height());
    const auto part = [](int extra, double share) { return int(std::lround(extra * share)); };
    for (const Entry &entry : std::as_const(m_entries)) {
        if (!entry.Widget)
            continue;
        entry.Widget->setGeometry(entry.Design.x() + part(dx, entry.How.MoveX),
                                  entry.Design.y() + part(dy, entry.How.MoveY),
                                  entry.Design.width() + part(dx, entry.How.GrowX),
                                  entry.Design.height() + part(dy, entry.How.GrowY));
    }
}

QWidget *ScrollableContent(QWidget *window, QSize designSize)
{
    auto *area = new QScrollArea(window);
    area->setObjectName(QStringLiteral("ScrollArea"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    auto *content = new QWidget;
    content->setObjectName(QStringLiteral("Content"));
    content->setMinimumSize(designSize);
    area->setWidget(content);
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(area);
    return content;
}

void KeepOnScreen(QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!screen || window->isMaximized() || window->isFullScreen())
        return;
    const QRect room = screen->availableGeometry();
    if (room.contains(window->frameGeometry()))
        return;
    window->resize(FitToScreen(window, window->size()));
    const QRect frame = window->frameGeometry();
    const int left = std::clamp(frame.left(), room.left(), room.right() - frame.width() + 1);
    const int top = std::clamp(frame.top(), room.top(), room.bottom() - frame.height() + 1);
    window->move(std::max(left, room.left()), std::max(top, room.top()));
}

QSize FitToScreen(const QWidget *window, QSize wanted)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return wanted;
    // The frame the window system adds; none is known before the first show.
    const QSize frame = window->frameGeometry().size() - window->geometry().size();
    const QSize room = screen->availableGeometry().size() - frame;
    return wanted.boundedTo(room).expandedTo(QSize(160, 120));
}
