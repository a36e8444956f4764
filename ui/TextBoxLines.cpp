#include "ui/TextBoxLines.h"

#include "ui/MessageLineBox.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStringList>
#include <QTextCursor>

// QPlainTextEdit keeps paragraphs, not CR LF; lines are separated by '\n'
// inside the widget and shown to callers with CR LF again.

void AppendMessageLine(QPlainTextEdit *box, const QString &line)
{
    AppendMessageLines(box, QStringList{line});
}

void AppendMessageLines(QPlainTextEdit *box, const QStringList &lines)
{
    if (lines.isEmpty())
        return;
    QString text = lines.join(QLatin1Char('\n'));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text += QLatin1Char('\n');
    QTextCursor cursor = box->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    box->setTextCursor(cursor);
    box->ensureCursorVisible();
}

QString MessageText(const QPlainTextEdit *box)
{
    QString text = box->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

void AppendMessageLine(MessageLineBox *box, const QString &line)
{
    box->appendLines(QStringList{line});
}

void AppendMessageLines(MessageLineBox *box, const QStringList &lines)
{
    box->appendLines(lines);
}

QString MessageText(const MessageLineBox *box)
{
    qsizetype size = 0;
    for (const QString &line : box->lines())
        size += line.size() + 2;
    QString text;
    text.reserve(size);
    for (const QString &line : box->lines()) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return text;
}
