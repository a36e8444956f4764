#pragma once

#include <QAbstractScrollArea>
#include <QStringList>

// A read-only output box for text that can run to a million lines. It keeps
// the lines in a list and lays out only those in view, where a text document
// would lay out and keep a block for every line. Whole lines are selected
// with the mouse (Shift extends) or Ctrl+A, and copied with Ctrl+C.
class MessageLineBox : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit MessageLineBox(QWidget *parent = nullptr);

    // Adds the lines at the end and scrolls to the last one. A line holding
    // CR, LF or CR LF becomes several lines.
    void appendLines(const QStringList &lines);
    void clear();
    const QStringList &lines() const { return m_lines; }
    // The selected lines, each ended by a line break.
    QString selectedText() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    int lineHeight() const;
    int visibleLines() const;
    qsizetype lineAt(int y) const;
    void updateScrollBars();
    void selectTo(qsizetype line, bool extend);

    QStringList m_lines;
    // The widest line painted so far sets the horizontal range, as a plain
    // text editor's does: measuring every line up front would cost more
    // than showing them.
    int m_widest = 0;
    qsizetype m_anchor = -1; // selected lines: anchor to current, either way
    qsizetype m_current = -1;
};
