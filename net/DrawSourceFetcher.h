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
    QVector<SourceFetch> fetch(const QVector<DrawSource> &sources);
    void cancel();
    bool isCancelled() const { return m_cancelled.load(); }

signals:
    // Before each address: its place (from 0) among count.
    void sourceStarted(int index, int count, const QString &address);
    void stateChanged(HttpTransfer::State state);

private:
    SourceFetch fetchOne(const DrawSource &source);

    HttpTransfer m_transfer;
    std::atomic<bool> m_cancelled{false};
};

// Fetches every source and plans each game's import against read(game), the
// stored draws: the whole update as the command line and the window run it.
template<typename StoredDraws>
DrawUpdate FetchDrawUpdate(DrawSourceFetcher &fetcher, const QVector<DrawSource> &sources,
                           StoredDraws read)
{
    const QVector<SourceFetch> fetched = fetcher.fetch(sources);
    DrawUpdate update;
    for (int game = 0; game < GameCount; ++game) {
        QVector<SourceFetch> own;
        for (const SourceFetch &fetch : fetched) {
            if (fetch.Source.Game == game)
                own.append(fetch);
        }
        if (!own.isEmpty())
            update.Games.append(PlanGameUpdate(game, own, read(game)));
    }
    return update;
}
