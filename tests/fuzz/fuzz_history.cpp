// The draw history on any file. The first byte chooses what the rest is:
//   0: the database file's bytes;
//   1: a database and its rollback journal, split at the second byte;
//   2: a database and its write-ahead log, split likewise;
//   3: SQL run on a well-formed history of this program's schema, giving
//      hostile tables, values and versions.
// Properties: opening and reading never crash; every draw read has a draw
// number from 1 to 99,999; a file the store refuses as of another version
// is left byte for byte as it was.

#include "FuzzCheck.h"

#include "storage/DrawHistory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

namespace {

const QString &Folder()
{
    static int argc = 1;
    static char name[] = "fuzz_history";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static QTemporaryDir dir;
    static const QString path = dir.path();
    return path;
}

void Write(const QString &path, QByteArrayView bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes.data(), bytes.size());
}

QByteArray Bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A history of this program's schema with a few draws, then the SQL.
void MakeHostile(const QString &path, const QByteArray &sql)
{
    {
        DrawHistory history(path);
        DrawRecord draw;
        draw.DrawNumber = 1;
        draw.Date = QDate(2000, 10, 5);
        draw.MainCount = 6;
        draw.Numbers = {1, 2, 3, 4, 5, 6};
        draw.Bonus = 7;
        draw.Source = QStringLiteral("fuzz");
        draw.StoredAt = QDateTime::fromSecsSinceEpoch(0, Qt::UTC);
        history.store({draw});
    }
    sqlite3 *db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK) {
        sqlite3_limit(db, SQLITE_LIMIT_LENGTH, 1 << 20);
        sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
    }
    sqlite3_close(db);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const QString path = Folder() + QStringLiteral("/h.sqlite");
    for (const QString &suffix : QStringList{QString()} + DrawHistory::CompanionSuffixes())
        QFile::remove(path + suffix);
    const int mode = data[0] % 4;
    const QByteArray rest = FuzzBytes(data + 2, size - 2);
    const qsizetype split = qMin<qsizetype>(data[1] * 64, rest.size());
    if (mode == 0) {
        Write(path, rest);
    } else if (mode == 1 || mode == 2) {
        Write(path, rest.left(split));
        Write(path + (mode == 1 ? QStringLiteral("-journal") : QStringLiteral("-wal")),
              rest.mid(split));
    } else {
        MakeHostile(path, rest);
    }
    const QByteArray before = Bytes(path);

    DrawHistory history(path);
    history.setBusyTimeout(0);
    const bool opened = history.open();
    for (int game = 0; game < 2; ++game) {
        for (const DrawRecord &draw : history.draws(game))
            FUZZ_CHECK(draw.DrawNumber >= 1 && draw.DrawNumber <= DrawRecord::MaxDrawNumber);
        history.newest(game);
        history.count(game);
        history.newestFirst(game, 1, 3);
    }
    if (!opened && history.problem() == DrawHistory::Problem::OtherVersion)
        FUZZ_CHECK(Bytes(path) == before);
    return 0;
}
