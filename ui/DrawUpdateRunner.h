#pragma once

#include "core/DrawSources.h"

#include <QFutureWatcher>
#include <QObject>

#include <memory>

class DrawSourceFetcher;

// Fetches draw sources on a worker thread, so the window stays usable and a
// stop button can end the fetch. Nothing is stored here: the owner plans and
// stores what finished brings, on its own thread. Destroyed while fetching,
// it stops the fetch and waits for it.
class DrawUpdateRunner : public QObject
{
    Q_OBJECT
public:
    explicit DrawUpdateRunner(QObject *parent = nullptr);
    ~DrawUpdateRunner() override;

    // False when a fetch is already running.
    bool start(const QVector<DrawSourceUrl> &sources, int timeoutSeconds);
    bool isRunning() const { return m_watcher != nullptr; }
    void cancel();

signals:
    // Before each address: its place (from 0) among count.
    void sourceStarted(int index, int count, const QString &address);
    // fetched is empty when cancelled.
    void finished(const QVector<SourceFetch> &fetched, bool cancelled);

private:
    std::shared_ptr<DrawSourceFetcher> m_fetcher;
    QFutureWatcher<QVector<SourceFetch>> *m_watcher = nullptr;
};
