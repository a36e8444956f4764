#pragma once

#include "rules/DrawRecord.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <optional>

// The draw history: every stored draw of both games in one SQLite file,
// through Qt Sql. Nothing is opened until a draw is asked for or stored, and
// a missing file is only created by the first store, so a program without a
// history never touches the disk for it.
//
// Each store has its own connection, so several may be open at once.
class DrawHistory
{
public:
    static QString FileName() { return QStringLiteral("zanbo-draws.sqlite"); }
    // The schema this program writes; an older file is migrated on opening.
    static constexpr int SchemaVersion = 2;

    explicit DrawHistory(const QString &filePath);
    ~DrawHistory();
    DrawHistory(const DrawHistory &) = delete;
    DrawHistory &operator=(const DrawHistory &) = delete;

    QString filePath() const { return m_path; }
    bool fileExists() const;

    // Opens the file, creating it when create is true and it is missing.
    // False, with errorText() set, when the file is not a usable history
    // (not a database, damaged, written by a newer program) or cannot be
    // created; the store then stays closed and every read finds nothing.
    bool open(bool create = false);
    bool isOpen() const { return m_open; }
    void close();
    // Why the last open or write failed, in Japanese; empty after success.
    QString errorText() const { return m_error; }
    // What kind of failure the last open met. Only Damaged may be set aside:
    // a busy, unreadable or other version's file is a healthy history.
    enum class Problem { None, Damaged, Busy, Denied, OtherVersion, Other };
    Problem problem() const { return m_problem; }
    // How long a read or write waits for another program's write to end.
    void setBusyTimeout(int milliseconds) { m_busyTimeoutMs = milliseconds; }
    // The files SQLite keeps beside the database; they belong to it.
    static QStringList CompanionSuffixes();

    // Every stored draw of game, ascending by draw number.
    QVector<DrawRecord> draws(int game);
    // The same, telling progress now and then how many of how many draws are
    // read; when it returns false the read stops with what it has.
    using ReadProgress = std::function<bool(int read, int total)>;
    QVector<DrawRecord> draws(int game, const ReadProgress &progress);
    // The draw with the highest number of game, read through the key alone.
    std::optional<DrawRecord> newest(int game);
    // Up to count draws of game, newest first, after skipping the skip newest:
    // a view pages through a long history without reading all of it.
    QVector<DrawRecord> newestFirst(int game, int skip, int count);
    int count(int game);

    // Writes the records in one transaction, each replacing a stored draw of
    // the same game and number: either all of them are stored or none.
    bool store(const QVector<DrawRecord> &records);
    bool remove(int game, const QVector<int> &drawNumbers);

    // Closes the store and moves its file and its companions aside under a
    // name of their own (never deleting them), so a fresh history can start.
    // The new name, or empty (with errorText() set) when the file could not
    // be moved.
    QString setAside();

private:
    bool fail(const QString &what, const QString &detail, Problem problem = Problem::Other);
    bool failQuery(const QString &what, const class QSqlError &error);
    // Ends the write's transaction: commits it, or rolls it back and fails.
    bool commit(QSqlDatabase &db, const QString &failed);
    QVector<DrawRecord> readDraws(int game, const QString &order, int skip, int count,
                                  const ReadProgress &progress = {});
    bool migrate();

    QString m_path;
    QString m_connection;
    bool m_open = false;
    QString m_error;
    Problem m_problem = Problem::None;
    int m_busyTimeoutMs = 10000;
};
