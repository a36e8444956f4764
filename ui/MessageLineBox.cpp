#include "ui/MessageLineBox.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {

// Space between the frame and the text, as a plain text editor leaves it.
constexpr int Margin = 4;

bool HasLineBreak(const QString &line)
{
    for (const QChar c : line)
        if (c == u'\r' || c == u'\n')
            return true;
    return false;
}

} // namespace

MessageLineBox::MessageLineBox(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setCursor(Qt::IBeamCursor);
    horizontalScrollBar()->setSingleStep(fontMetrics().averageCharWidth() * 2);
    updateScrollBars();
}

void MessageLineBox::appendLines(const QStringList &lines)
{
    if (lines.isEmpty())
        return;
    m_lines.reserve(m_lines.size() + lines.size());
    for (const QString &line : lines) {
        if (!HasLineBreak(line)) {
            m_lines.append(line);
            continue;
        }
        QString text = line;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        m_lines.append(text.split(QLatin1Char('\n')));
    }
    updateScrollBars();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    viewport()->update();
}

void MessageLineBox::clear()
{
    m_lines.clear();
    m_widest = 0;
    m_anchor = m_current = -1;
    updateScrollBars();
    viewport()->update();
}

QString MessageLineBox::selectedText() const
{
    if (m_anchor < 0 || m_current < 0)
        return QString();
    const qsizetype first = std::min(m_anchor, m_current);
    const qsizetype last = std::max(m_anchor, m_current);
    QString text;
    for (qsizetype i = first; i <= last && i < m_lines.size(); ++i)
        text += m_lines.at(i) + QLatin1Char('\n');
    return text;
}

int MessageLineBox::lineHeight() const
{
    return std::max(fontMetrics().lineSpacing(), 1);
}

int MessageLineBox::visibleLines() const
{
    return std::max((viewport()->height() - Margin) / lineHeight(), 1);
}

// The line under a y of the viewport, kept within the lines there are.
qsizetype MessageLineBox::lineAt(int y) const
{
    const qsizetype line = verticalScrollBar()->value() + (y - Margin) / lineHeight();
    return std::clamp<qsizetype>(line, 0, m_lines.size() - 1);
}

void MessageLineBox::updateScrollBars()
{
    const int page = visibleLines();
    QScrollBar *vertical = verticalScrollBar();
    vertical->setPageStep(page);
    vertical->setRange(0, int(std::clamp<qsizetype>(m_lines.size() - page, 0, INT_MAX)));
    QScrollBar *horizontal = horizontalScrollBar();
    horizontal->setPageStep(viewport()->width());
    horizontal->setRange(0, std::max(m_widest + 2 * Margin - viewport()->width(), 0));
}

void MessageLineBox::selectTo(qsizetype line, bool extend)
{
    if (m_lines.isEmpty())
        return;
    if (!extend || m_anchor < 0)
        m_anchor = line;
    m_current = line;
    viewport()->update();
}

void MessageLineBox::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    const QFontMetrics metrics = fontMetrics();
    const int height = lineHeight();
    const qsizetype first = verticalScrollBar()->value();
    const qsizetype last = std::min<qsizetype>(first + visibleLines() + 1, m_lines.size());
    const qsizetype selFirst = std::min(m_anchor, m_current);
    const qsizetype selLast = std::max(m_anchor, m_current);
    const int x = Margin - horizontalScrollBar()->value();
    int widest = m_widest;
    for (qsizetype i = first; i < last; ++i) {
        const int top = Margin + int(i - first) * height;
        const QString &line = m_lines.at(i);
        const bool selected = selFirst >= 0 && i >= selFirst && i <= selLast;
        if (selected) {
            painter.fillRect(QRect(0, top, viewport()->width(), height),
                             palette().brush(QPalette::Highlight));
            painter.setPen(palette().color(QPalette::HighlightedText));
        } else {
            painter.setPen(palette().color(QPalette::Text));
        }
        painter.drawText(x, top + metrics.ascent(), line);
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    if (widest != m_widest) {
        m_widest = widest;
        updateScrollBars();
    }
}

void MessageLineBox::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void MessageLineBox::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_widest = 0;
        horizontalScrollBar()->setSingleStep(fontMetrics().averageCharWidth() * 2);
        updateScrollBars();
    }
}

void MessageLineBox::keyPressEvent(QKeyEvent *event)
{
    if (event == QKeySequence::SelectAll) {
        if (!m_lines.isEmpty()) {
            m_anchor = 0;
            m_current = m_lines.size() - 1;
            viewport()->update();
        }
        return;
    }
    if (event == QKeySequence::Copy) {
        if (m_anchor >= 0)
            QGuiApplication::clipboard()->setText(selectedText());
        return;
    }
    QScrollBar *vertical = verticalScrollBar();
    switch (event->key()) {
    case Qt::Key_Up:
        vertical->triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
    case Qt::Key_Down:
        vertical->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
    case Qt::Key_PageUp:
        vertical->triggerAction(QAbstractSlider::SliderPageStepSub);
        break;
    case Qt::Key_PageDown:
        vertical->triggerAction(QAbstractSlider::SliderPageStepAdd);
        break;
    case Qt::Key_Home:
        vertical->triggerAction(QAbstractSlider::SliderToMinimum);
        break;
    case Qt::Key_End:
        vertical->triggerAction(QAbstractSlider::SliderToMaximum);
        break;
    case Qt::Key_Left:
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
    case Qt::Key_Right:
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
    default:
        // Enter and Escape reach the dialog's buttons.
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void MessageLineBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    selectTo(lineAt(event->position().toPoint().y()),
             event->modifiers().testFlag(Qt::ShiftModifier));
}

void MessageLineBox::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton) || m_anchor < 0)
        return;
    const int y = event->position().toPoint().y();
    // Dragging past an edge scrolls on.
    if (y < 0)
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (y >= viewport()->height())
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    selectTo(lineAt(y), true);
}
