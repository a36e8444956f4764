#include "storage/Module1.h"

#include "storage/FileIo.h"
#include "storage/IniDocument.h"

#include <QFileInfo>

QString ReadIniValue(const QString &filePath, const QString &section, const QString &key)
{
    QByteArray bytes;
    if (!ReadWholeFile(filePath, bytes))
        return AbsentMarker();
    return IniDocument::lookup(bytes, section, key);
}

int WriteIniValue(const QString &filePath, const QString &section, const QString &key,
                  const QString &value)
{
    QByteArray bytes;
    // A file that exists but cannot be read whole must not be replaced by
    // one holding only the new key.
    if (QFileInfo::exists(filePath) && !ReadWholeFile(filePath, bytes))
        return 0;
    return WriteFileAtomically(filePath, IniDocument::withValue(bytes, section, key, value)) ? 1
                                                                                             : 0;
}

bool FileIsPresent(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}
