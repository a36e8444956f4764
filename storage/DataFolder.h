#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QLockFile;

// Where the program keeps zanbo.ini, the pattern files and the draw history.
enum class DataFolderKind {
    CommandLine,   // the folder given with --data-dir
    PerUser,       // an installed program, or one whose folder cannot be written
    BesideProgram, // a build tree or a copy carried on a USB stick
};

struct DataFolderPlaces
{
    QString programFolder;      // the folder of the executable
    QString installedBinFolder; // the install prefix's bin, fixed when the program is built
    // The installed sample folder relative to installedBinFolder ("../share/zanbo"): an
    // installed tree unpacked or moved elsewhere is still recognised by it.
    QString installedSamplesFromBin;
    QString commandLineFolder; // empty unless --data-dir was given
    QString perUserFolder;     // the per-user data folder of the desktop
};

struct DataFolderChoice
{
    DataFolderKind kind = DataFolderKind::BesideProgram;
    QString folder; // absolute, ends with the path separator
};

// --data-dir wins; an installed program or an unwritable program folder uses
// the per-user folder; anything else keeps its files beside the program.
// Creates nothing and moves nothing.
DataFolderChoice ChooseDataFolder(const DataFolderPlaces &places);

// True when a new file can be made in folder; the probe is removed at once.
bool CanCreateFilesIn(const QString &folder);

// The folder of the installed sample pattern files, or empty when the program
// does not run from an installed tree.
QString InstalledSampleFolder(const DataFolderPlaces &places);

// On a first start (no settings file yet in dataFolder), copies each file of
// names from sampleFolder into dataFolder, never over a file already there,
// so the board has patterns at once. Returns the names copied.
QStringList PlaceSampleFiles(const QString &sampleFolder, const QString &dataFolder,
                             const QStringList &names, const QString &settingsName);
// Holds folder for this program while the result is alive, through a lock
// file in it; null when another running program holds it, which must then
// neither write the settings nor the draw history behind that one's back.
// A lock left by a program that is no longer running is taken over.
// Where no lock file can be made at all, the result holds nothing.
std::unique_ptr<QLockFile> LockDataFolder(const QString &folder);

// Where a file dialog starts: the folder last used for that kind of file
// while it still exists; else the user's documents folder when the data is
// in the hidden per-user folder; else the data folder, the program's own or
// the one the user named.
QString FileDialogFolder(const QString &lastUsed, const QString &dataFolder,
                         const QString &perUserFolder, const QString &documentsFolder);
