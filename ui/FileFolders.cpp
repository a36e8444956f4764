#include "ui/FileFolders.h"

#include "storage/DataFolder.h"

#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

namespace {

QHash<QString, QString> &LastFolders()
{
    static QHash<QString, QString> folders;
    return folders;
}

} // namespace

QString StartFolder(const QString &kind, const QString &dataFolder)
{
    return FileDialogFolder(LastFolders().value(kind), dataFolder,
                            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation),
                            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

void RememberFolder(const QString &kind, const QString &path)
{
    if (!path.isEmpty())
        LastFolders().insert(kind, QFileInfo(path).absolutePath());
}
