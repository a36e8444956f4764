#pragma once

#include <QString>

class QPlainTextEdit;

// The platform's separator ('/' here, '\' on Windows) appended unless the
// path already ends with one; an empty path gives the separator alone.
QString AddPathSeparator(const QString &path);

// The part after the last '/' or '\'; the whole path when it holds neither.
QString GetFileName(const QString &path);

// Appends line and CR LF at the end of a multi-line text. The widget
// overload lives in the ui layer (ui/TextBoxLines.h); this one works on the
// text itself so that storage stays free of widgets.
QString AppendMessageLineText(const QString &text, const QString &line);
