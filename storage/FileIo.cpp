#include "storage/FileIo.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#endif

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
    if (!file.open(QIODevice::ReadOnly)) {
        SetError(error, file.errorString());
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
            SetError(error, device.errorString());
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

AtomicFileWriter::AtomicFileWriter(const QString &path)
    : m_file(std::make_unique<QSaveFile>(path))
{
    if (!m_file->open(QIODevice::WriteOnly))
        fail();
}

// QSaveFile removes its temporary file when it is destroyed uncommitted.
AtomicFileWriter::~AtomicFileWriter() = default;

bool AtomicFileWriter::fail()
{
    if (!m_failed) {
        m_failed = true;
        m_error = m_file->errorString();
        if (m_file->isOpen())
            m_file->cancelWriting();
    }
    return false;
}

bool AtomicFileWriter::write(QByteArrayView bytes)
{
    if (m_failed)
        return false;
    if (m_file->write(bytes.data(), bytes.size()) != bytes.size())
        return fail();
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
    if (!m_file->flush())
        return fail();
#ifdef Q_OS_LINUX
    ::sync_file_range(m_file->handle(), 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
    return true;
}

bool AtomicFileWriter::commit()
{
    if (m_failed)
        return false;
    // The flush is checked here: a write that fails while commit() empties
    // the buffer (a full disk) would otherwise be committed, cut short.
    if (!m_file->flush())
        return fail();
    if (!m_file->commit()) {
        m_failed = true;
        m_error = m_file->errorString();
        return false;
    }
    return true;
}
