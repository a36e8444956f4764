#pragma once

#include "core/DrawImport.h"
#include "core/GameTable.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <functional>

// Published draw files fetched from the addresses the user names, up to two
// per game, checked against each other before anything is stored.

// The most a draw file may take when fetched.
constexpr qint64 MaxDrawSourceBytes = qint64(16) * 1024 * 1024;

struct DrawSourceUrl
{
    int Game = 0;
    QString Address;
};

// The addresses set for every game, in the settings file's order.
QVector<DrawSourceUrl> ConfiguredDrawSources(const QString &settingsFilePath);

// What came of one address.
struct SourceFetch
{
    DrawSourceUrl Source;
    bool Taken = false; // a draw file of the game was read from it
    QString Failure;    // why not, when not taken
    DrawFile File;
};

// Reads a fetched body as the history's CSV reader reads a file; the fetch is
// taken only when the body is a draw file of the source's game.
SourceFetch ReadSourceBody(const DrawSourceUrl &source, const QByteArray &body);
SourceFetch FailedSource(const DrawSourceUrl &source, const QString &why);

// A draw two sources give with different numbers.
struct SourceConflict
{
    DrawRecord First;
    DrawRecord Second;
};

struct GameUpdate
{
    int Game = 0;
    QVector<SourceFetch> Sources;
    QVector<SourceConflict> SourceConflicts; // stored from neither source
    DrawImport Import;                       // the agreed draws measured against the history
};

struct DrawUpdate
{
    QVector<GameUpdate> Games;
    bool anyFailed() const;
    bool anyStoredConflicts() const;
};

// A draw is agreed when every source that was taken and has it gives the same
// numbers; draws the sources disagree on go to conflicts and are agreed by none.
DrawFile AgreedDraws(int game, const QVector<SourceFetch> &sources,
                     QVector<SourceConflict> *conflicts);

// The game's sources measured against its stored draws.
GameUpdate PlanGameUpdate(int game, const QVector<SourceFetch> &sources,
                          const QVector<DrawRecord> &stored);

// Each game's fetched sources planned against storedDraws(game), the
// draws the history holds.
DrawUpdate PlanDrawUpdate(const QVector<SourceFetch> &fetched,
                          const std::function<QVector<DrawRecord>(int game)> &storedDraws);

// Every record the update writes, all games together, for one transaction.
QVector<DrawRecord> DrawsToStore(const DrawUpdate &update);

// Per game, each address and its outcome (new, already stored, conflicts,
// rejected rows, or why it failed), then the conflicts in detail.
QString DrawUpdateReport(const DrawUpdate &update, const GameTableType &games);
