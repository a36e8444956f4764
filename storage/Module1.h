#pragma once

#include <QString>

// Profile-file access: every read of the settings file and of a pattern file
// goes through these. Files are code page 932 with CR LF line ends.

// The text every read returns when the file, section or key is missing.
inline const QString &AbsentMarker()
{
    static const QString marker = QStringLiteral("ERR");
    return marker;
}

// Returns the stored value, or "ERR" when the file, section or key is
// missing. Reads the file anew on every call (no cache).
QString ReadIniValue(const QString &filePath, const QString &section, const QString &key);

// Creates file, section and key as needed; replaces an existing value in
// place. Nonzero on success. The file is replaced atomically.
int WriteIniValue(const QString &filePath, const QString &section, const QString &key,
                  const QString &value);

// True when a regular file exists at path.
bool FileIsPresent(const QString &path);
