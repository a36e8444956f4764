// The save-file reader on any bytes. Properties:
//  - what it reads stays within bounds: never more rows than D allows or
//    the bytes could hold, none of them holding a field delimiter;
//  - a file the program writes from those rows reads back identical.

#include "FuzzCheck.h"

#include "storage/CodePage.h"
#include "storage/SaveFile.h"

#include <algorithm>

namespace {

// A row the grid could hold and the code page can carry unchanged.
bool Writable(const QString &row)
{
    if (row.contains(QChar::ReplacementCharacter))
        return false;
    bool lossless = false;
    const QByteArray bytes = ToCp932(row, &lossless);
    return lossless && FromCp932(bytes) == row;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = FuzzBytes(data, size);
    const SaveFileContent content = ParseSaveFile(bytes);

    FUZZ_CHECK(content.rows.size() <= std::max<qint64>(content.declaredRows, 0));
    // Each row ends at one delimiter byte at least, the last at the end.
    FUZZ_CHECK(content.rows.size() <= bytes.size() + 1);
    QStringList rows;
    for (const QString &row : content.rows) {
        FUZZ_CHECK(!row.contains(u',') && !row.contains(u'\r') && !row.contains(u'\n'));
        if (Writable(row))
            rows.append(row);
    }

    // Written as the save button writes the grid: rows joined by CR.
    const QByteArray written = SaveFileBytes(rows.size(), 9, rows.join(u'\r'));
    const SaveFileContent back = ParseSaveFile(written);
    FUZZ_CHECK(back.signatureOk);
    FUZZ_CHECK(back.declaredRows == rows.size());
    FUZZ_CHECK2(back.rows == rows, back.rows.join(u'|') + QStringLiteral(" != ") + rows.join(u'|'));
    return 0;
}
