#include "net/PatternDownload.h"

#include "core/PatternFileCheck.h"
#include "net/HttpTransfer.h"
#include "storage/FilePathCommands.h"
#include "storage/Module1.h"

#include <QUrl>

#include <iterator>
#include <utility>

namespace {

using Outcome = PatternDownload::Outcome;

Outcome OutcomeOf(PatternStoreResult result)
{
    switch (result) {
    case PatternStoreResult::Stored:
        return Outcome::Stored;
    case PatternStoreResult::NotAPatternFile:
        return Outcome::Rejected;
    case PatternStoreResult::WriteFailed:
        break;
    }
    return Outcome::StoreFailed;
}

// The detail line that says why a game's file was not taken, with the
// server's HTTP status when there was an answer.
QString RefusedLine(int status, const QString &reason)
{
    const QString answer = status > 0 ? QStringLiteral("（HTTP %1）").arg(status) : QString();
    return QStringLiteral("取り込みませんでした") + answer + QStringLiteral(": ") + reason;
}

bool IsSuccessStatus(int status)
{
    return status >= 200 && status <= 299;
}

} // namespace

PatternDownload::PatternDownload(HttpTransfer &transfer, const GameTableType &games,
                                 const QString &baseUrl, LineSink report, LineSink detail)
    : m_transfer(transfer)
    , m_games(games)
    , m_baseUrl(baseUrl)
    , m_report(std::move(report))
    , m_detail(std::move(detail))
{}

QString PatternDownload::StateLine(int state)
{
    static const char16_t *const lines[] = {
        u" 0: 状態についての報告はありません。",
        u" 1: 指定されたサーバーの IP アドレスを調べています。",
        u" 2: 指定されたサーバーの IP アドレスを見つけました。",
        u" 3: サーバーとの接続処理を行っています。",
        u" 4: サーバーと正常に接続しました。",
        u" 5: サーバーに要求を送信しています。",
        u" 6: 要求を正常に送信しました。",
        u" 7: サーバーからの応答を受信しています。",
        u" 8: サーバーからの応答を正常に受信しました。",
        u" 9: サーバーとの接続を解除しています。",
        u"10: サーバーとの接続を正常に解除しました。",
        u"11: サーバーとの通信中にエラーが発生しました。",
        u"12: 要求処理が完了し、すべてのデータが受信されました。",
    };
    if (state < 0 || state >= int(std::size(lines)))
        return QString();
    return QString::fromUtf16(lines[state]);
}

QString PatternDownload::TransferFailure(const HttpTransfer &transfer)
{
    if (transfer.bodyTooLarge())
        return QStringLiteral("受信データが %1 バイトを超えています")
            .arg(HttpTransfer::MaxBodyBytes);
    return QStringLiteral("サーバーと通信できませんでした");
}

void PatternDownload::run(int timeoutSeconds, const std::array<QString, GameCount> &previous)
{
    m_transfer.setRequestTimeout(timeoutSeconds);
    std::array<Outcome, GameCount> outcome;
    outcome.fill(Outcome::NotFetched);
    for (int g = 0; g < GameCount; ++g) {
        if (!fetch(g, &outcome[size_t(g)]))
            break;
    }
    m_transfer.cancel();
    reportOutcomes(outcome, previous);
}

bool PatternDownload::fetch(int g, Outcome *outcome)
{
    const GameInfo &game = m_games[size_t(g)];
    const QUrl address(m_baseUrl + GetFileName(game.PatternFilePath));
    // Tells the detail view which request the state lines below belong to.
    m_detail(QStringLiteral("接続先: ") + address.toDisplayString());
    QByteArray body;
    const HttpTransfer::Result result = m_transfer.get(address, body);
    if (result == HttpTransfer::Result::Timeout) {
        // A server that slow is not asked again in the same run.
        *outcome = Outcome::TimedOut;
        return false;
    }
    if (result == HttpTransfer::Result::Cancelled) {
        *outcome = Outcome::FetchFailed;
        return false;
    }
    if (result != HttpTransfer::Result::Ok) {
        // Nothing is stored for this game; the next one is still tried.
        *outcome = Outcome::FetchFailed;
        m_detail(RefusedLine(m_transfer.httpStatus(), TransferFailure(m_transfer)));
        return true;
    }
    // An error status may come with a body that looks like a pattern file.
    const int status = m_transfer.httpStatus();
    PatternFileVerdict verdict = PatternFileVerdict::Whole;
    *outcome = IsSuccessStatus(status)
                   ? OutcomeOf(StoreWholePatternFile(game, body, nullptr, &verdict))
                   : Outcome::Rejected;
    if (!IsSuccessStatus(status))
        m_detail(RefusedLine(status, QStringLiteral("サーバーがファイルを返しませんでした")));
    else if (verdict != PatternFileVerdict::Whole)
        m_detail(RefusedLine(status, RefusalReason(verdict, body)));
    else if (*outcome == Outcome::StoreFailed)
        m_detail(RefusedLine(status, QStringLiteral("ファイルを保存できませんでした")));
    return true;
}

void PatternDownload::reportOutcomes(const std::array<Outcome, GameCount> &outcome,
                                     const std::array<QString, GameCount> &previous)
{
    // Each game is reported on its own, whatever became of the other.
    int goodFiles = 0;
    for (int g = 0; g < GameCount; ++g) {
        const GameInfo &game = m_games[size_t(g)];
        if (outcome[size_t(g)] == Outcome::TimedOut)
            m_report(QStringLiteral("(NG)■ネットワークの接続でタイムアウトが発生しました■"));
        else if (outcome[size_t(g)] == Outcome::FetchFailed)
            m_report(QStringLiteral("(NG)■ネットワークの接続でエラーが発生しました■"));
        if (outcome[size_t(g)] != Outcome::Stored) {
            m_report(QStringLiteral("(NG)■") + game.GameName
                     + QStringLiteral(" 用ファイルのダウンロードは正常に終了しませんでした■"));
            continue;
        }
        const QString label = (game.GameName + QStringLiteral("　　　　")).left(4);
        const QString message = ReadIniValue(game.PatternFilePath, QStringLiteral("MSG"),
                                             QStringLiteral("MSG1"));
        if (message == previous[size_t(g)]) {
            m_report(QStringLiteral("(OK)") + label + QStringLiteral("用ファイルは最新です。□□□□"));
        } else {
            m_report(QStringLiteral("(OK)") + label
                     + QStringLiteral("用ファイルのダウンロードは正常に終了しました。"));
            m_report(QStringLiteral("      ") + message);
        }
        ++goodFiles;
    }
    if (goodFiles != GameCount)
        m_report(QStringLiteral("(NG)■パターンファイルのダウンロード に失敗しました■"));
}
