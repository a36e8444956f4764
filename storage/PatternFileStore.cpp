#include "storage/PatternFileStore.h"

#include "storage/FileIo.h"
#include "storage/IniDocument.h"

bool HasTitleMark(const QByteArray &bytes)
{
    return IniDocument::lookup(bytes, QStringLiteral("TITLE"), QStringLiteral("COPYRIGHT"))
           == QLatin1String("ZANBO");
}

PatternStoreResult StorePatternFile(const QString &path, const QByteArray &body, QString *error)
{
    if (!HasTitleMark(body))
        return PatternStoreResult::NotAPatternFile;
    if (!WriteFileAtomically(path, body, error))
        return PatternStoreResult::WriteFailed;
    return PatternStoreResult::Stored;
}
