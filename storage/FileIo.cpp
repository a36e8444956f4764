#include "storage/FileIo.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        SetError(error, file.errorString());
        return false;
    }
    // The flush is checked here: a write that fails while commit() empties
    // the buffer (a full disk) would otherwise be committed, cut short.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        SetError(error, file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        SetError(error, file.errorString());
        return false;
    }
    return true;
}
