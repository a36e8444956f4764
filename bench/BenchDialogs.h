#pragma once

#include "ui/UserDialogs.h"

#include <cstdio>

// Never shows a dialog: every question gets confirmAnswer, every file dialog
// fileName; warnings are counted and printed, since a bench that meets one has
// measured something else.
class BenchDialogs : public UserDialogs
{
public:
    bool confirmAnswer = true;
    QString fileName;
    int warnings = 0;

    bool confirm(QWidget *, const QString &, const QString &, QMessageBox::Icon) override
    {
        return confirmAnswer;
    }
    // Nothing a benchmark moves is worth keeping.
    QMessageBox::StandardButton askYesNoCancel(QWidget *, const QString &, const QString &) override
    {
        return QMessageBox::No;
    }
    int chooseOne(QWidget *, const QString &, const QString &, const QStringList &,
                  int preselected) override
    {
        return preselected;
    }
    QString openFileName(QWidget *, const FileDialogOptions &) override { return fileName; }
    QString saveFileName(QWidget *, const FileDialogOptions &) override { return fileName; }
    void warn(QWidget *, const QString &text, const QString &) override
    {
        ++warnings;
        std::printf("  warning: %s\n", qPrintable(text));
    }
    bool openUrl(const QUrl &) override { return true; }
};
