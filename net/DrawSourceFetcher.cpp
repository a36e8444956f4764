#include "net/DrawSourceFetcher.h"

#include <QUrl>

DrawSourceFetcher::DrawSourceFetcher(int timeoutSeconds, QObject *parent)
    : QObject(parent)
{
    m_transfer.setRequestTimeout(timeoutSeconds);
    m_transfer.setMaxBodyBytes(MaxDrawSourceBytes);
}

void DrawSourceFetcher::cancel()
{
    m_cancelled.store(true);
    m_transfer.cancel();
}

QVector<SourceFetch> DrawSourceFetcher::fetch(const QVector<DrawSourceUrl> &sources)
{
    QVector<SourceFetch> fetched;
    for (int i = 0; i < sources.size() && !isCancelled(); ++i) {
        emit sourceStarted(i, int(sources.size()), sources.at(i).Address);
        fetched.append(fetchOne(sources.at(i)));
    }
    return isCancelled() ? QVector<SourceFetch>() : fetched;
}

SourceFetch DrawSourceFetcher::fetchOne(const DrawSourceUrl &source)
{
    QByteArray body;
    const HttpTransfer::Result result = m_transfer.get(QUrl(source.Address), body);
    switch (result) {
    case HttpTransfer::Result::Ok:
        break;
    case HttpTransfer::Result::Timeout:
        return FailedSource(source, QStringLiteral("時間切れ"));
    case HttpTransfer::Result::Cancelled:
        return FailedSource(source, QStringLiteral("中止しました"));
    case HttpTransfer::Result::Error:
        return FailedSource(source, m_transfer.errorText());
    }
    const int status = m_transfer.httpStatus();
    if (status < 200 || status > 299)
        return FailedSource(source, QStringLiteral("HTTP %1").arg(status));
    return ReadSourceBody(source, body);
}
