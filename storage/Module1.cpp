#include "storage/Module1.h"

#include "storage/IniDocument.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QString ReadIniValue(const QString &filePath, const QString &section, const QString &key)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return AbsentMarker();
    return IniDocument::lookup(file.readAll(), section, key);
}

int WriteIniValue(const QString &filePath, const QString &section, const QString &key,
                  const QString &value)
{
    QByteArray bytes;
    if (QFileInfo::exists(filePath)) {
        // A file that exists but cannot be read must not be replaced by one
        // holding only the new key.
        QFile file(filePath);
        if (!file.open(QIODevice::ReadOnly))
            return 0;
        bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return 0;
    }
    QSaveFile out(filePath);
    if (!out.open(QIODevice::WriteOnly))
        return 0;
    const QByteArray updated = IniDocument::withValue(bytes, section, key, value);
    if (out.write(updated) != updated.size()) {
        out.cancelWriting();
        return 0;
    }
    return out.commit() ? 1 : 0;
}

bool FileIsPresent(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}
