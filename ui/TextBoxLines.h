#pragma once

#include <QString>

class MessageLineBox;
class QPlainTextEdit;

// Moves to the end of the box and inserts line followed by CR LF.
void AppendMessageLine(QPlainTextEdit *box, const QString &line);
// Appends many lines in one step (large judgements).
void AppendMessageLines(QPlainTextEdit *box, const QStringList &lines);
// The box's text with its line ends as CR LF, as the program wrote them.
QString MessageText(const QPlainTextEdit *box);

// The same for the output box that holds a judgement's lines.
void AppendMessageLine(MessageLineBox *box, const QString &line);
void AppendMessageLines(MessageLineBox *box, const QStringList &lines);
QString MessageText(const MessageLineBox *box);
