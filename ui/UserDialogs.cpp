#include "ui/UserDialogs.h"

#include "storage/FileIo.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QPushButton>
#include <QTranslator>

namespace {

// "Name|*.ext|Name2|*.ext2" as Qt's "Name (*.ext);;Name2 (*.ext2)". The
// names show without the added part (HideNameFilterDetails).
QString qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        // The list's own form: patterns apart by ';', and "*.*" for every
        // file, which to Qt would mean only names with a dot.
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        patterns.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        entries << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

QString runFileDialog(QWidget *parent, const FileDialogOptions &options, bool save)
{
    QFileDialog dialog(parent);
    SetUpFileDialog(dialog, options, save);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace

bool LoadQtJapanese(QCoreApplication &app)
{
    auto *translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    // So do the file type names the file dialogs show.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    return QCoreApplication::installTranslator(translator);
}

void SetUpFileDialog(QFileDialog &dialog, const FileDialogOptions &options, bool save)
{
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilter(qtFilter(options.filter));
    // Only a name being saved gets the extension: a name typed to open is
    // the file's own.
    if (save) {
        QString suffix = options.defaultExtension;
        suffix.remove(QStringLiteral("*."));
        dialog.setDefaultSuffix(suffix);
    }
    dialog.setDirectory(options.initialFolder);
    if (save && !options.confirmReplace)
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
}

bool DesktopDialogs::confirm(QWidget *parent, const QString &text, const QString &title,
                             QMessageBox::Icon icon)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

QMessageBox::StandardButton DesktopDialogs::askYesNoCancel(QWidget *parent, const QString &text,
                                                           const QString &title)
{
    QMessageBox box(QMessageBox::Question, title, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Yes);
    const auto answer = QMessageBox::StandardButton(box.exec());
    return answer == QMessageBox::Yes || answer == QMessageBox::No ? answer : QMessageBox::Cancel;
}

int DesktopDialogs::chooseOne(QWidget *parent, const QString &text, const QString &title,
                              const QStringList &choices, int preselected)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Cancel, parent);
    QList<QAbstractButton *> buttons;
    for (const QString &choice : choices)
        buttons << box.addButton(choice, QMessageBox::AcceptRole);
    if (preselected >= 0 && preselected < buttons.size())
        box.setDefaultButton(qobject_cast<QPushButton *>(buttons.at(preselected)));
    box.exec();
    return int(buttons.indexOf(box.clickedButton()));
}

QString DesktopDialogs::openFileName(QWidget *parent, const FileDialogOptions &options)
{
    return runFileDialog(parent, options, false);
}

QString DesktopDialogs::saveFileName(QWidget *parent, const FileDialogOptions &options)
{
    return runFileDialog(parent, options, true);
}

void DesktopDialogs::warn(QWidget *parent, const QString &text, const QString &title)
{
    QMessageBox::warning(parent, title, text);
}

bool DesktopDialogs::openUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

FileDialogOptions CsvSaveOptions(const QString &initialFolder)
{
    FileDialogOptions options;
    options.filter = QStringLiteral("CSV(*.csv)|*.csv|全て|*.*");
    options.defaultExtension = QStringLiteral("*.csv");
    options.initialFolder = initialFolder;
    options.confirmReplace = true;
    return options;
}

QString SaveCsvThroughDialog(UserDialogs &dialogs, QWidget *parent,
                             const FileDialogOptions &options,
                             const std::function<QByteArray()> &bytes)
{
    const QString fileName = dialogs.saveFileName(parent, options);
    if (fileName.isEmpty())
        return fileName;
    QString error;
    if (!WriteFileAtomically(fileName, bytes(), &error))
        dialogs.warn(parent,
                     QStringLiteral("ファイル「%1」に保存できませんでした。\n%2")
                         .arg(QDir::toNativeSeparators(fileName), error),
                     QStringLiteral("CSVに保存"));
    return fileName;
}
