#include "ui/DrawUpdateRunner.h"

#include "net/DrawSourceFetcher.h"

#include <QtConcurrent>

DrawUpdateRunner::DrawUpdateRunner(QObject *parent)
    : QObject(parent)
{}

DrawUpdateRunner::~DrawUpdateRunner()
{
    if (!m_watcher)
        return;
    m_fetcher->cancel();
    m_watcher->disconnect(this);
    m_watcher->waitForFinished();
}

bool DrawUpdateRunner::start(const QVector<DrawSourceUrl> &sources, int timeoutSeconds)
{
    if (m_watcher)
        return false;
    // Shared with the worker: a runner destroyed first leaves it a live fetcher.
    auto fetcher = std::make_shared<DrawSourceFetcher>(timeoutSeconds);
    m_fetcher = fetcher;
    connect(fetcher.get(), &DrawSourceFetcher::sourceStarted, this,
            &DrawUpdateRunner::sourceStarted, Qt::QueuedConnection);
    m_watcher = new QFutureWatcher<QVector<SourceFetch>>(this);
    connect(m_watcher, &QFutureWatcherBase::finished, this, [this] {
        const QVector<SourceFetch> fetched = m_watcher->result();
        const bool cancelled = m_fetcher->isCancelled();
        m_watcher->deleteLater();
        m_watcher = nullptr;
        m_fetcher.reset();
        emit finished(fetched, cancelled);
    });
    m_watcher->setFuture(QtConcurrent::run([fetcher, sources] { return fetcher->fetch(sources); }));
    return true;
}

void DrawUpdateRunner::cancel()
{
    if (m_fetcher)
        m_fetcher->cancel();
}
