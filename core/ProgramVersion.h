#pragma once

#include <QString>

// "Zanbo Ver.2.0.10": the program's version as the options dialog and
// --version show it.
inline QString ProgramVersionText()
{
    return QStringLiteral("Zanbo Ver.%1.%2.%3")
        .arg(ZANBO_VERSION_MAJOR)
        .arg(ZANBO_VERSION_MINOR)
        .arg(ZANBO_VERSION_PATCH);
}
