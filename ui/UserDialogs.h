#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class QCoreApplication;
class QFileDialog;
class QWidget;

struct FileDialogOptions
{
    QString filter;           // e.g. "ｻﾞﾝﾎﾞ(*.loto)|*.loto|..."; entries split on '|'
    QString defaultExtension; // "*.loto"
    QString initialFolder;
    bool confirmReplace = false;
};

// Every question, file dialog and web page the main window needs goes
// through here, so tests can answer without a real dialog.
class UserDialogs
{
public:
    virtual ~UserDialogs() = default;
    // True for OK.
    virtual bool confirm(QWidget *parent, const QString &text, const QString &title,
                         QMessageBox::Icon icon)
        = 0;
    // Yes, No or Cancel.
    virtual QMessageBox::StandardButton askYesNoCancel(QWidget *parent, const QString &text,
                                                       const QString &title)
        = 0;
    // One of choices, each a button; preselected is the default. Its index,
    // or -1 for Cancel.
    virtual int chooseOne(QWidget *parent, const QString &text, const QString &title,
                          const QStringList &choices, int preselected)
        = 0;
    // Empty for Cancel.
    virtual QString openFileName(QWidget *parent, const FileDialogOptions &options) = 0;
    virtual QString saveFileName(QWidget *parent, const FileDialogOptions &options) = 0;
    virtual void warn(QWidget *parent, const QString &text, const QString &title) = 0;
    // False when no browser could be started.
    virtual bool openUrl(const QUrl &url) = 0;
};

// The real dialogs: QMessageBox, QFileDialog, QDesktopServices.
class DesktopDialogs : public UserDialogs
{
public:
    bool confirm(QWidget *parent, const QString &text, const QString &title,
                 QMessageBox::Icon icon) override;
    QMessageBox::StandardButton askYesNoCancel(QWidget *parent, const QString &text,
                                               const QString &title) override;
    int chooseOne(QWidget *parent, const QString &text, const QString &title,
                  const QStringList &choices, int preselected) override;
    QString openFileName(QWidget *parent, const FileDialogOptions &options) override;
    QString saveFileName(QWidget *parent, const FileDialogOptions &options) override;
    void warn(QWidget *parent, const QString &text, const QString &title) override;
    bool openUrl(const QUrl &url) override;
};

// Installs Qt's own Japanese texts (standard buttons, file and message
// dialogs) and the Japanese locale whatever the system's language, since
// the whole program speaks Japanese. False when the texts are not installed.
bool LoadQtJapanese(QCoreApplication &app);

// How DesktopDialogs sets up its file dialogs.
void SetUpFileDialog(QFileDialog &dialog, const FileDialogOptions &options, bool save);

// Options for saving a table as CSV, starting in initialFolder.
FileDialogOptions CsvSaveOptions(const QString &initialFolder);

// Asks through dialogs where to save, then writes what bytes() makes there
// through an atomic replace; says why under the title "CSVに保存" when it
// cannot. The file chosen, empty when none was.
QString SaveCsvThroughDialog(UserDialogs &dialogs, QWidget *parent,
                             const FileDialogOptions &options,
                             const std::function<QByteArray()> &bytes);
