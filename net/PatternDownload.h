#pragma once

#include "core/GameTable.h"

#include <QString>

#include <array>
#include <functional>

class HttpTransfer;

// One run of fetching every game's pattern file from the download folder:
// which game next, what a time-out stops, the acceptance check before a file
// replaces the local copy, and the lines that tell the user how it went.
// Knows no window; the download dialog shows the lines it hands out.
class PatternDownload
{
public:
    using LineSink = std::function<void(const QString &)>;

    // What became of one game's file in a run. Only Stored changed the local
    // file; every other outcome leaves it exactly as it was.
    enum class Outcome {
        NotFetched, // an earlier request timed out or was cancelled
        TimedOut,
        FetchFailed, // the transfer itself failed
        Rejected,    // an answer other than 2xx, or not a whole pattern file
        StoreFailed, // the write failed
        Stored,
    };

    // report gets the lines of the outcome, detail the address of each
    // request and why a file was not taken.
    PatternDownload(HttpTransfer &transfer, const GameTableType &games, const QString &baseUrl,
                    LineSink report, LineSink detail);

    // Fetches the games in the table's order; previous holds MSG1 of each
    // game's file as it was before, so an unchanged file reads as up to date.
    void run(int timeoutSeconds, const std::array<QString, GameCount> &previous);

    // The line the detail view shows for a transfer state.
    static QString StateLine(int state);
    // Why the last transfer failed, for the details.
    static QString TransferFailure(const HttpTransfer &transfer);

private:
    // False when the run stops here.
    bool fetch(int game, Outcome *outcome);
    void reportOutcomes(const std::array<Outcome, GameCount> &outcome,
                        const std::array<QString, GameCount> &previous);

    HttpTransfer &m_transfer;
    const GameTableType &m_games;
    QString m_baseUrl;
    LineSink m_report;
    LineSink m_detail;
};
