#pragma once

#include <QByteArray>
#include <QString>

// Accepting a downloaded pattern file. The bytes are checked in memory and
// the local file is replaced only when they are accepted, in one atomic
// write: a rejected body or a failed write leaves the previous good file
// exactly as it was.

// True when the bytes carry the title mark: "COPYRIGHT" in section "TITLE"
// is exactly "ZANBO".
bool HasTitleMark(const QByteArray &bytes);

enum class PatternStoreResult {
    Stored,          // the file at the path now holds the body
    NotAPatternFile, // rejected; the file at the path is untouched
    WriteFailed,     // accepted, but the write failed; the file is untouched
};

PatternStoreResult StorePatternFile(const QString &path, const QByteArray &body,
                                    QString *error = nullptr);
