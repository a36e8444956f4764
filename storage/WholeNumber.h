#pragma once

#include <QString>

#include <optional>

// A whole decimal number that fits 32 bits: an optional sign ("+5" is taken
// as 5) and decimal digits only; blanks around it are ignored. "12abc",
// "1.5", "" and "ERR" are not whole numbers.
std::optional<qint32> ParseWholeNumber(const QString &text);
