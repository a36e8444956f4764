#include "storage/DataFolder.h"

#include "storage/FilePathCommands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryFile>

namespace {

// The same folder reached through a link, "..", or a trailing separator
// compares equal.
QString SameFolderForm(const QString &folder)
{
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

bool IsInstalledTree(const DataFolderPlaces &places)
{
    const QString program = SameFolderForm(places.programFolder);
    if (!places.installedBinFolder.isEmpty()
        && program == SameFolderForm(places.installedBinFolder))
        return true;
    return !places.installedSamplesFromBin.isEmpty()
           && QFileInfo(QDir(program).filePath(places.installedSamplesFromBin)).isDir();
}

QString AbsoluteFolder(const QString &folder)
{
    return AddPathSeparator(QDir::cleanPath(QDir::current().absoluteFilePath(folder)));
}

} // namespace

DataFolderChoice ChooseDataFolder(const DataFolderPlaces &places)
{
    if (!places.commandLineFolder.isEmpty())
        return {DataFolderKind::CommandLine, AbsoluteFolder(places.commandLineFolder)};
    // With no per-user folder known, the program's own folder is all there is.
    if (!places.perUserFolder.isEmpty()
        && (IsInstalledTree(places) || !CanCreateFilesIn(places.programFolder)))
        return {DataFolderKind::PerUser, AbsoluteFolder(places.perUserFolder)};
    return {DataFolderKind::BesideProgram, AbsoluteFolder(places.programFolder)};
}

bool CanCreateFilesIn(const QString &folder)
{
    // Permission bits alone do not tell: root passes them everywhere, and some
    // file systems refuse new files whatever the bits say.
    QTemporaryFile probe(AddPathSeparator(folder) + QStringLiteral(".zanbo-probe-XXXXXX"));
    return probe.open();
}

QString InstalledSampleFolder(const DataFolderPlaces &places)
{
    if (places.installedSamplesFromBin.isEmpty() || !IsInstalledTree(places))
        return QString();
    return AddPathSeparator(
        QDir::cleanPath(QDir(places.programFolder).filePath(places.installedSamplesFromBin)));
}

QStringList PlaceSampleFiles(const QString &sampleFolder, const QString &dataFolder,
                             const QStringList &names, const QString &settingsName)
{
    QStringList placed;
    const QDir data(dataFolder);
    if (sampleFolder.isEmpty() || data.exists(settingsName))
        return placed;
    for (const QString &name : names) {
        // QFile::copy never replaces an existing file.
        const QString target = data.filePath(name);
        if (!QFileInfo::exists(target) && QFile::copy(QDir(sampleFolder).filePath(name), target)) {
            QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
            placed << name;
        }
    }
    return placed;
}

std::unique_ptr<QLockFile> LockDataFolder(const QString &folder)
{
    auto lock = std::make_unique<QLockFile>(AddPathSeparator(folder)
                                            + QStringLiteral("zanbo.lock"));
    // A program runs for hours: only a lock whose program is gone is stale.
    lock->setStaleLockTime(0);
    // A folder where no lock can be made is no one else's either: the
    // writes there fail and say so themselves.
    if (!lock->tryLock(0) && lock->error() == QLockFile::LockFailedError)
        return nullptr;
    return lock;
}

QString FileDialogFolder(const QString &lastUsed, const QString &dataFolder,
                         const QString &perUserFolder, const QString &documentsFolder)
{
    if (!lastUsed.isEmpty() && QFileInfo(lastUsed).isDir())
        return lastUsed;
    if (perUserFolder.isEmpty() || documentsFolder.isEmpty()
        || SameFolderForm(dataFolder) != SameFolderForm(perUserFolder))
        return dataFolder;
    return documentsFolder;
}
