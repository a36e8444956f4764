#include "storage/FileIo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void SetError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace

bool OpenRegularFile(QFile &file, QString *error)
{
    const QFileInfo info(file.fileName());
    if (!info.exists()) {
        SetError(error, QStringLiteral("ファイルが見つかりません。"));
        return false;
    }
    if (!info.isFile()) {
        SetError(error, QStringLiteral("通常のファイルではありません。"));
        return false;
    }
    // Qt's own reasons are English.
    if (!file.open(QIODevice::ReadOnly)) {
        SetError(error, info.isReadable() ? QStringLiteral("ファイルを開けません。")
                                          : QStringLiteral("ファイルを読む権限がありません。"));
        return false;
    }
    return true;
}

bool ReadWholeDevice(QIODevice &device, QByteArray &bytes, QString *error, qint64 maxBytes)
{
    bytes.clear();
    // One byte past the limit tells a file of exactly maxBytes from a bigger one.
    const qint64 wanted = device.isSequential() ? maxBytes + 1
                                                : std::min(device.size(), maxBytes) + 1;
    QByteArray buffer;
    buffer.resize(qsizetype(std::min<qint64>(wanted, 1 << 20)));
    qint64 total = 0;
    for (;;) {
        if (total == buffer.size())
            buffer.resize(qsizetype(std::min<qint64>(qint64(buffer.size()) * 2, maxBytes + 1)));
        const qint64 got = device.read(buffer.data() + total, buffer.size() - total);
        if (got < 0) {
            SetError(error, QStringLiteral("ファイルの読み込みに失敗しました。"));
            return false;
        }
        if (got == 0)
            break;
        total += got;
        if (total > maxBytes) {
            SetError(error, QStringLiteral("ファイルが大きすぎます。"));
            return false;
        }
    }
    buffer.truncate(qsizetype(total));
    bytes = std::move(buffer);
    return true;
}

bool ReadWholeFile(const QString &path, QByteArray &bytes, QString *error, qint64 maxBytes)
{
    bytes.clear();
    QFile file(path);
    if (!OpenRegularFile(file, error))
        return false;
    return ReadWholeDevice(file, bytes, error, maxBytes);
}

bool WriteFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    AtomicFileWriter file(path);
    const bool ok = file.write(bytes) && file.commit();
    if (!ok)
        SetError(error, file.error());
    return ok;
}

QString FileErrorText(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral(
            "ディスクがいっぱいの可能性があります。空きを作ってからもう一度お試しください。");
    case EFBIG:
        return QStringLiteral("ファイルの大きさが上限を超えました。");
    case EACCES:
    case EPERM:
        return QStringLiteral("書き込む権限がありません。");
    case EROFS:
        return QStringLiteral("読み取り専用のディスクです。");
    case EIO:
        return QStringLiteral("ディスクの読み書きに失敗しました。");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("フォルダが見つかりません。");
    case ENAMETOOLONG:
        return QStringLiteral("ファイル名が長すぎます。");
    case EISDIR:
        return QStringLiteral("同じ名前のフォルダがあります。");
    default:
        return QStringLiteral("書き込めませんでした（%1）。")
            .arg(QString::fromLocal8Bit(std::strerror(error)));
    }
}

namespace {

// The file a link points to is the one replaced, as an editor would.
QString FollowLinks(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return path;
    const QString target = info.canonicalFilePath();
    return target.isEmpty() ? info.symLinkTarget() : target;
}

bool SyncFolderOf(const QString &path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool IsOurTemporaryName(const QString &name)
{
    const QString prefix = AtomicFileWriter::TemporaryPrefix();
    const QString suffix = AtomicFileWriter::TemporarySuffix();
    return name.size() == prefix.size() + 6 + suffix.size() && name.startsWith(prefix)
           && name.endsWith(suffix);
}

} // namespace

AtomicFileWriter::AtomicFileWriter(const QString &path)
    : m_target(FollowLinks(path))
{
    const QFileInfo target(m_target);
    QByteArray name = QFile::encodeName(target.absoluteDir().filePath(
        TemporaryPrefix() + QStringLiteral("XXXXXX") + TemporarySuffix()));
    m_fd = ::mkostemps(name.data(), int(TemporarySuffix().size()), O_CLOEXEC);
    if (m_fd < 0) {
        fail(errno);
        return;
    }
    m_temporary = QFile::decodeName(name);
    // The new file keeps the old one's permissions; a new one gets what any
    // file the user makes gets.
    mode_t mode = 0666;
    struct stat old = {};
    if (::stat(QFile::encodeName(m_target).constData(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    ::fchmod(m_fd, mode);
    m_buffer.reserve(BufferBytes);
}

AtomicFileWriter::~AtomicFileWriter()
{
    discard();
}

void AtomicFileWriter::discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.isEmpty()) {
        ::unlink(QFile::encodeName(m_temporary).constData());
        m_temporary.clear();
    }
}

bool AtomicFileWriter::fail(int error)
{
    if (!m_failed) {
        m_failed = true;
        m_error = FileErrorText(error);
        discard();
    }
    return false;
}

bool AtomicFileWriter::flush()
{
    const char *data = m_buffer.constData();
    qsizetype left = m_buffer.size();
    while (left > 0) {
        const ssize_t written = ::write(m_fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        data += written;
        left -= written;
    }
    m_buffer.clear();
    return true;
}

bool AtomicFileWriter::write(QByteArrayView bytes)
{
    if (m_failed)
        return false;
    if (m_buffer.size() + bytes.size() > BufferBytes && !flush())
        return false;
    if (bytes.size() >= BufferBytes) {
        m_buffer = QByteArray::fromRawData(bytes.data(), bytes.size());
        const bool ok = flush();
        m_buffer = QByteArray();
        m_buffer.reserve(BufferBytes);
        if (!ok)
            return false;
    } else {
        m_buffer.append(bytes.data(), bytes.size());
    }
    m_unsynced += bytes.size();
    if (m_unsynced >= WritebackBytes)
        return startWriteback();
    return true;
}

// The commit waits until every byte is on the disk. Left alone, the system
// starts writing a large file only then; asked to start on each stretch as
// it is written, the disk works while the rest is still being prepared.
bool AtomicFileWriter::startWriteback()
{
    m_unsynced = 0;
    if (!flush())
        return false;
#ifdef Q_OS_LINUX
    ::sync_file_range(m_fd, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
    return true;
}

bool AtomicFileWriter::commit()
{
    if (m_failed)
        return false;
    // A write that fails while the rest is flushed (a full disk) must not be
    // committed cut short; nor one the disk has not taken in yet.
    if (!flush())
        return false;
    if (::fsync(m_fd) != 0)
        return fail(errno);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        return fail(errno);
    if (::rename(QFile::encodeName(m_temporary).constData(),
                 QFile::encodeName(m_target).constData())
        != 0)
        return fail(errno);
    m_temporary.clear();
    // The new name is only kept through a power cut once the folder is on
    // the disk too.
    SyncFolderOf(m_target);
    return true;
}

int RemoveLeftoverTemporaryFiles(const QString &folder)
{
    const QDir dir(folder);
    int removed = 0;
    const QStringList names = dir.entryList({AtomicFileWriter::TemporaryPrefix() + QLatin1Char('*')
                                             + AtomicFileWriter::TemporarySuffix()},
                                            QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (IsOurTemporaryName(name) && QFile::remove(dir.filePath(name)))
            ++removed;
    }
    return removed;
}
