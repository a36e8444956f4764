#pragma once

#include "core/DrawSources.h"
#include "net/HttpTransfer.h"

#include <QObject>

#include <atomic>

// Fetches draw sources one after another through HttpTransfer, with the
// pattern download's rules and time-out and a draw file's size cap. It
// touches nothing stored: what it returns is planned and stored by the caller.
// May run on a worker thread; cancel() is safe from any thread.
class DrawSourceFetcher : public QObject
{
    Q_OBJECT
public:
    explicit DrawSourceFetcher(int timeoutSeconds, QObject *parent = nullptr);

    // One entry per source, in order; an empty list when cancelled.
    QVector<SourceFetch> fetch(const QVector<DrawSourceUrl> &sources);
    void cancel();
    bool isCancelled() const { return m_cancelled.load(); }

signals:
    // Before each address: its place (from 0) among count.
    void sourceStarted(int index, int count, const QString &address);

private:
    SourceFetch fetchOne(const DrawSourceUrl &source);

    HttpTransfer m_transfer;
    std::atomic<bool> m_cancelled{false};
};
