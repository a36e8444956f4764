#include "ui/UserDialogs.h"

#include <QDesktopServices>
#include <QFileDialog>

namespace {

// "Name|*.ext|Name2|*.ext2" as Qt's "Name (*.ext);;Name2 (*.ext2)".
QString qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        entries << parts[i] + QStringLiteral(" (") + parts[i + 1] + QLatin1Char(')');
    return entries.join(QStringLiteral(";;"));
}

QString runFileDialog(QWidget *parent, const FileDialogOptions &options, bool save)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(qtFilter(options.filter));
    QString suffix = options.defaultExtension;
    suffix.remove(QStringLiteral("*."));
    dialog.setDefaultSuffix(suffix);
    dialog.setDirectory(options.initialFolder);
    if (save && !options.confirmReplace)
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace

bool DesktopDialogs::confirm(QWidget *parent, const QString &text, const QString &title,
                             QMessageBox::Icon icon)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
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

void DesktopDialogs::openUrl(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}
