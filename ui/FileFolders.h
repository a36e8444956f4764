#pragma once

#include <QString>

// The folder a file dialog for kind ("save", "csv"…) starts in, for a
// program whose data lives in dataFolder.
QString StartFolder(const QString &kind, const QString &dataFolder);

// Remembers the folder of path, the file just chosen for kind.
void RememberFolder(const QString &kind, const QString &path);
