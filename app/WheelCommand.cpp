#include "app/CommandSupport.h"
#include "app/Commands.h"
#include "core/GameKeys.h"
#include "core/GridCellStore.h"
#include "core/GridSaveFile.h"
#include "core/Statistics.h"
#include "core/WheelBuild.h"
#include "core/WheelText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// The numbers of "1,5,9"; false on anything that is not a list of numbers.
bool ReadNumbers(const QString &text, std::vector<int> &numbers)
{
    for (const QString &part : text.split(QLatin1Char(','))) {
        bool ok = false;
        const int number = part.trimmed().toInt(&ok);
        if (!ok)
            return false;
        numbers.push_back(number);
    }
    return true;
}

// "T/M" into the request's Match and If.
bool ReadGuarantee(const QString &text, WheelRequest &request)
{
    const QStringList parts = text.split(QLatin1Char('/'));
    bool okT = false;
    bool okM = false;
    if (parts.size() == 2) {
        request.Match = parts[0].trimmed().toInt(&okT);
        request.If = parts[1].trimmed().toInt(&okM);
    }
    return okT && okM;
}

QString ReadRequest(const CommandCall &call, WheelRequest &request)
{
    QString error;
    const std::optional<int> game = GameOption(call, &error);
    if (!game)
        return error;
    request.Game = *game;
    if (!ReadNumbers(call.options.value(QStringLiteral("numbers")), request.Numbers))
        return QStringLiteral("--numbers は 1,5,9 のようにコンマで区切った数字にしてください。");
    if (!ReadGuarantee(call.options.value(QStringLiteral("guarantee")), request))
        return QStringLiteral("--guarantee は 3/4 のように T/M で指定してください。");
    if (call.options.contains(QStringLiteral("seconds"))) {
        bool ok = false;
        request.Seconds = call.options.value(QStringLiteral("seconds")).toDouble(&ok);
        if (!ok || !(request.Seconds > 0) || request.Seconds > 86400)
            return QStringLiteral("--seconds は 0 より大きく 86400 以下の秒数にしてください。");
    }
    return WheelRequestError(request);
}

// The rows as the generator lays them out: row number, the numbers, sum,
// deviation and odd count.
GridCellStore RowCells(const std::vector<std::vector<int>> &rows)
{
    GridCellStore cells(1, GridColumnCount);
    cells.appendRows(int(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i) {
        const int r = int(i) + 1;
        const int k = int(rows[i].size());
        Combination numbers{};
        for (int c = 1; c <= k; ++c) {
            numbers[size_t(c)] = rows[i][size_t(c - 1)];
            cells.setText(r, FirstNumberColumn + c - 1, QString::number(numbers[size_t(c)]));
        }
        cells.setText(r, RowNumberColumn, QString::number(r));
        cells.setText(r, SumColumn, QString::number(CombinationSum(numbers, k)));
        cells.setText(r, DeviationColumn, QString::number(CombinationDeviation(numbers, k)));
        cells.setText(r, OddColumn, QString::number(CombinationOddCount(numbers, k)));
    }
    return cells;
}

QString RowsCsv(const GridCellStore &cells)
{
    QString text = QStringLiteral("row,numbers,sum,deviation,odd\r\n");
    for (int r = 1; r < cells.rowCount(); ++r) {
        QStringList numbers;
        for (int c = FirstNumberColumn; c < SumColumn; ++c) {
            if (!cells.isEmptyCell(r, c))
                numbers << cells.text(r, c);
        }
        text += QStringLiteral("%1,%2,%3,%4,%5\r\n")
                    .arg(cells.text(r, RowNumberColumn), numbers.join(QLatin1Char(' ')),
                         cells.text(r, SumColumn), cells.text(r, DeviationColumn),
                         cells.text(r, OddColumn));
    }
    return text;
}

QString RowsJson(const WheelRequest &request, const WheelResult &result)
{
    QJsonArray rows;
    for (const std::vector<int> &row : result.Rows) {
        QJsonArray numbers;
        for (const int n : row)
            numbers.append(n);
        rows.append(numbers);
    }
    const QJsonObject root{{QStringLiteral("game"), KeyOfGame(request.Game)},
                           {QStringLiteral("match"), request.Match},
                           {QStringLiteral("if"), request.If},
                           {QStringLiteral("cases"), qint64(result.Cases)},
                           {QStringLiteral("uncovered"), qint64(result.Uncovered)},
                           {QStringLiteral("lower_bound"), result.LowerBound},
                           {QStringLiteral("rows"), rows}};
    return QString::fromUtf8(QJsonDocument(root).toJson());
}

} // namespace

int RunWheel(const CommandCall &call)
{
    WheelRequest request;
    const QString error = ReadRequest(call, request);
    if (!error.isEmpty())
        return Failure(error);
    const WheelResult result = BuildWheel(request);
    if (!result.Error.isEmpty())
        return Failure(result.Error);
    if (result.Rows.empty())
        return Failure(QStringLiteral("時間内に保証を満たす行の組が見つかりませんでした。"
                                      "--seconds を延ばしてください。"));
    // A wheel that does not keep its promise is no answer.
    if (result.Uncovered > 0)
        return Failure(WheelProofLine(result.Uncovered, result.Cases));
    const GridCellStore cells = RowCells(result.Rows);
    const QString out = call.options.value(QStringLiteral("out"));
    if (!out.isEmpty()) {
        const SaveFileWriteResult written = WriteGridSaveFile(out, cells);
        if (!written.ok)
            return Failure(QStringLiteral("「%1」に書けません（%2）。").arg(out, written.error));
    }
    if (call.format == QStringLiteral("csv"))
        WriteOut(RowsCsv(cells));
    else if (call.format == QStringLiteral("json"))
        WriteOut(RowsJson(request, result));
    else if (out.isEmpty())
        WriteOut(cells.blockText({1, 0, cells.rowCount() - 1, GridColumnCount - 1})
                     .replace(QLatin1Char('\r'), QLatin1Char('\n'))
                 + QLatin1Char('\n') + WheelProofLine(result.Uncovered, result.Cases)
                 + QLatin1Char('\n'));
    else
        WriteOut(QStringLiteral("「%1」に %2 行を保存しました。\n%3\n")
                     .arg(out)
                     .arg(result.Rows.size())
                     .arg(WheelProofLine(result.Uncovered, result.Cases)));
    return 0;
}
