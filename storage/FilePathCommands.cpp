#include "storage/FilePathCommands.h"

#include <QDir>

QString AddPathSeparator(const QString &path)
{
    const QChar separator = QDir::separator();
    if (path.endsWith(separator) || path.endsWith(u'/'))
        return path;
    return path + separator;
}

QString GetFileName(const QString &path)
{
    const qsizetype cut = qMax(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return cut < 0 ? path : path.mid(cut + 1);
}

QString AppendMessageLineText(const QString &text, const QString &line)
{
    return text + line + QStringLiteral("\r\n");
}
