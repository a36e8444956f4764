#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QFile;
class QIODevice;

// The largest file the program reads whole (settings and pattern files);
// anything bigger is not one of ours and is treated as unreadable, so it is
// neither loaded into memory nor rewritten.
constexpr qint64 MaxWholeFileBytes = qint64(64) * 1024 * 1024;

// Opens path for reading only when it is a regular file (or a link to one):
// a named pipe, a device or a folder is never opened, so it can neither block
// nor feed endless bytes. False, with error set, otherwise.
bool OpenRegularFile(QFile &file, QString *error = nullptr);

// Reads everything the device holds, up to maxBytes. False, with error set,
// when a read fails or the device holds more than maxBytes; bytes is then
// empty.
bool ReadWholeDevice(QIODevice &device, QByteArray &bytes, QString *error = nullptr,
                     qint64 maxBytes = MaxWholeFileBytes);

// The same for the regular file at path.
bool ReadWholeFile(const QString &path, QByteArray &bytes, QString *error = nullptr,
                   qint64 maxBytes = MaxWholeFileBytes);

// Writes bytes as the whole new content of path through a temporary file
// beside it and an atomic replace: on any failure the old file stays as it
// was. False, with error set to the reason (in Japanese), when the write
// failed.
bool WriteFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// The same for content written piece by piece, so a large file never has to
// be whole in memory. Nothing replaces path until commit(); an object that
// is destroyed without a commit leaves path as it was. After the first
// failure every call returns false and error() tells why.
class AtomicFileWriter
{
public:
    // The temporary file's name: a dot, this prefix, random letters and the
    // suffix. No file of the user's is named so; one left by a killed
    // program is removed by RemoveLeftoverTemporaryFiles.
    static QString TemporaryPrefix() { return QStringLiteral(".zanbo-writing-"); }
    static QString TemporarySuffix() { return QStringLiteral(".partial"); }

    explicit AtomicFileWriter(const QString &path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter &) = delete;
    AtomicFileWriter &operator=(const AtomicFileWriter &) = delete;

    bool write(QByteArrayView bytes);
    bool commit();
    const QString &error() const { return m_error; }

private:
    static constexpr qint64 WritebackBytes = qint64(8) << 20;
    static constexpr qsizetype BufferBytes = qsizetype(1) << 20;
    bool fail(int error);
    bool flush();
    bool startWriteback();
    void discard();

    QString m_target; // the file replaced, links followed
    QString m_temporary;
    int m_fd = -1;
    QByteArray m_buffer;
    QString m_error;
    qint64 m_unsynced = 0;
    bool m_failed = false;
};

// Why a file operation failed, from the system's error number, in Japanese:
// a full disk and a missing permission say so.
QString FileErrorText(int error);

// Removes the temporary files of AtomicFileWriter that a killed program left
// in folder. Only call it while no other program writes there. The count
// removed.
int RemoveLeftoverTemporaryFiles(const QString &folder);
