#include "storage/DrawHistory.h"

#include <QAtomicInteger>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include <sqlite3.h>

#include <memory>

namespace {

const QString Driver = QStringLiteral("QSQLITE");

// One step per schema version: step i turns version i into version i + 1.
// A step may hold several statements, each ending in a semicolon.
const char *const Migrations[] = {
    "CREATE TABLE draws ("
    " game INTEGER NOT NULL, draw INTEGER NOT NULL, date TEXT NOT NULL,"
    " n1 INTEGER NOT NULL, n2 INTEGER NOT NULL, n3 INTEGER NOT NULL, n4 INTEGER NOT NULL,"
    " n5 INTEGER NOT NULL, n6 INTEGER, bonus INTEGER NOT NULL,"
    " w1 INTEGER, w2 INTEGER, w3 INTEGER, w4 INTEGER, w5 INTEGER,"
    " p1 INTEGER, p2 INTEGER, p3 INTEGER, p4 INTEGER, p5 INTEGER,"
    " carryover INTEGER, source TEXT NOT NULL, stored_at INTEGER NOT NULL,"
    " PRIMARY KEY (game, draw)) WITHOUT ROWID",
    // LOTO7: a seventh number, a second bonus number and a sixth tier.
    "ALTER TABLE draws ADD COLUMN n7 INTEGER;"
    "ALTER TABLE draws ADD COLUMN bonus2 INTEGER;"
    "ALTER TABLE draws ADD COLUMN w6 INTEGER;"
    "ALTER TABLE draws ADD COLUMN p6 INTEGER;",
};
static_assert(sizeof(Migrations) / sizeof(Migrations[0]) == DrawHistory::SchemaVersion,
              "one migration step per schema version");

// The columns after game, in the order readRecord expects them.
const QString Columns = QStringLiteral(
    "draw, date, n1, n2, n3, n4, n5, n6, n7, bonus, bonus2, w1, w2, w3, w4, w5, w6,"
    " p1, p2, p3, p4, p5, p6, carryover, source, stored_at");
// The table holds n1..n7, two bonus numbers and six tiers; a game with more
// needs a migration.
constexpr int StoredNumbers = 7;
constexpr int StoredBonuses = 2;
constexpr int StoredTiers = 6;
constexpr int FirstNumberColumn = 2;
constexpr int FirstBonusColumn = FirstNumberColumn + StoredNumbers;
constexpr int FirstTierColumn = FirstBonusColumn + StoredBonuses;
constexpr int CarryOverColumn = FirstTierColumn + 2 * StoredTiers;
constexpr int SourceColumn = CarryOverColumn + 1;
constexpr int StoredAtColumn = SourceColumn + 1;
static_assert(DrawRecord::MaxMainNumbers == StoredNumbers
                  && DrawRecord::MaxBonusNumbers == StoredBonuses
                  && DrawRecord::MaxTiers == StoredTiers,
              "the draws table has a column for every number and tier of a record");

// A row another program wrote with a draw number out of range is no draw.
const QString InRange = QStringLiteral("AND draw BETWEEN 1 AND %1 ").arg(DrawRecord::MaxDrawNumber);

// "yyyy-mm-dd" read by position: a hundred thousand rows make
// QDate::fromString's general parser noticeable.
QDate IsoDate(const unsigned char *text, int size)
{
    if (!text || size != 10 || text[4] != '-' || text[7] != '-')
        return QDate::fromString(QString::fromUtf8(reinterpret_cast<const char *>(text), size),
                                 Qt::ISODate);
    const auto digits = [text](int from, int count) {
        int value = 0;
        for (int i = from; i < from + count; ++i)
            value = value * 10 + (text[i] - '0');
        return value;
    };
    return QDate(digits(0, 4), digits(5, 2), digits(8, 2));
}

qint64 KnownOr(sqlite3_stmt *statement, int column)
{
    return sqlite3_column_type(statement, column) == SQLITE_NULL
               ? DrawRecord::Unknown
               : sqlite3_column_int64(statement, column);
}

void BindKnown(sqlite3_stmt *statement, int column, qint64 value)
{
    if (value == DrawRecord::Unknown)
        sqlite3_bind_null(statement, column);
    else
        sqlite3_bind_int64(statement, column, value);
}

// Reads the columns of Columns; source keeps the text of the row before, so
// the rows of one file share one string.
DrawRecord ReadRecord(sqlite3_stmt *statement, int game, QString &source)
{
    DrawRecord record;
    record.Game = game;
    record.DrawNumber = sqlite3_column_int(statement, 0);
    record.Date = IsoDate(sqlite3_column_text(statement, 1), sqlite3_column_bytes(statement, 1));
    // A game with fewer numbers leaves the last columns NULL.
    record.MainCount = StoredNumbers;
    while (record.MainCount > 0
           && sqlite3_column_type(statement, FirstNumberColumn + record.MainCount - 1)
                  == SQLITE_NULL)
        --record.MainCount;
    for (int i = 0; i < record.MainCount; ++i)
        record.Numbers[size_t(i)] = sqlite3_column_int(statement, FirstNumberColumn + i);
    record.Bonus = sqlite3_column_int(statement, FirstBonusColumn);
    // NULL, for a game with one bonus number, reads as 0.
    for (int b = 1; b < StoredBonuses; ++b)
        record.MoreBonuses[size_t(b - 1)] = sqlite3_column_int(statement, FirstBonusColumn + b);
    for (int t = 0; t < DrawRecord::MaxTiers; ++t) {
        record.Winners[size_t(t)] = KnownOr(statement, FirstTierColumn + t);
        record.PrizeYen[size_t(t)] = KnownOr(statement, FirstTierColumn + StoredTiers + t);
    }
    record.CarryOverYen = KnownOr(statement, CarryOverColumn);
    const auto *text = static_cast<const QChar *>(sqlite3_column_text16(statement, SourceColumn));
    const qsizetype length = sqlite3_column_bytes16(statement, SourceColumn) / 2;
    if (QStringView(text, length) != source)
        source = QString(text, length);
    record.Source = source;
    record.StoredAt = QDateTime::fromSecsSinceEpoch(sqlite3_column_int64(statement, StoredAtColumn),
                                                    Qt::UTC);
    return record;
}

struct FinalizeStatement
{
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

// The SQLite handle under a Qt connection. The bulk reads and writes step
// through SQLite itself: Qt's per-value binding and caching cost more than
// the database for a hundred thousand rows.
sqlite3 *HandleOf(const QSqlDatabase &db)
{
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

Statement Prepare(sqlite3 *db, const QString &sql)
{
    sqlite3_stmt *statement = nullptr;
    if (!db
        || sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
        return nullptr;
    return Statement(statement);
}

// Why SQLite failed, in the user's words: its own messages are English.
QString SqliteReason(int code)
{
    switch (code & 0xff) {
    case SQLITE_OK:
        return QString();
    case SQLITE_FULL:
        return QStringLiteral("ディスクがいっぱいです");
    case SQLITE_IOERR:
        return QStringLiteral("ディスクの読み書きに失敗しました");
    case SQLITE_CANTOPEN:
        return QStringLiteral("ファイルを開けません。フォルダがないか、書き込めません");
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral("書き込む権限がありません");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("別のプログラムが使っています");
    case SQLITE_CORRUPT:
        return QStringLiteral("ファイルが壊れています");
    case SQLITE_NOTADB:
        return QStringLiteral("データベースのファイルではありません");
    case SQLITE_NOMEM:
        return QStringLiteral("メモリが足りません");
    case SQLITE_TOOBIG:
        return QStringLiteral("データが大きすぎます");
    default:
        // The number is what helps whoever looks into it.
        return QStringLiteral("データベースのエラー、SQLite の番号 %1").arg(code);
    }
}

QString SqliteError(sqlite3 *db)
{
    return db ? SqliteReason(sqlite3_extended_errcode(db))
              : QStringLiteral("データベースを開いていません");
}

QString SqlReason(const QSqlError &error)
{
    if (!error.isValid())
        return QString();
    bool known = false;
    const int code = error.nativeErrorCode().toInt(&known);
    return known ? SqliteReason(code) : QStringLiteral("データベースの処理に失敗しました");
}

// "?1, ?2, ..., ?count".
QString Placeholders(int count)
{
    QStringList marks;
    for (int i = 1; i <= count; ++i)
        marks.append(QStringLiteral("?%1").arg(i));
    return marks.join(QStringLiteral(", "));
}

// Runs the statements of a migration step one by one.
bool RunStep(QSqlQuery &query, const char *step)
{
    for (const QString &statement :
         QString::fromLatin1(step).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (!query.exec(statement))
            return false;
    }
    return true;
}

QString NewConnectionName()
{
    static QAtomicInteger<int> counter;
    return QStringLiteral("zanbo-draws-%1").arg(counter.fetchAndAddRelaxed(1));
}

} // namespace

DrawHistory::DrawHistory(const QString &filePath)
    : m_path(filePath)
    , m_connection(NewConnectionName())
{}

DrawHistory::~DrawHistory()
{
    close();
}

bool DrawHistory::fileExists() const
{
    return QFileInfo::exists(m_path);
}

bool DrawHistory::fail(const QString &what, const QString &detail, Problem problem)
{
    m_error = detail.isEmpty() ? what : what + QStringLiteral("（") + detail + QStringLiteral("）");
    m_problem = problem;
    return false;
}

// Only SQLite's own word makes a file damaged: a busy or locked file, or one
// this user may not read, is somebody's healthy history.
bool DrawHistory::failQuery(const QString &what, const QSqlError &error)
{
    switch (error.nativeErrorCode().toInt() & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return fail(
            QStringLiteral("当選番号履歴「%1」は別のZanboが使っています。"
                           "しばらくしてからもう一度お試しください。履歴は変わっていません。")
                .arg(m_path),
            QString(), Problem::Busy);
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
        return fail(QStringLiteral("当選番号履歴「%1」を読み書きする権限がありません。"
                                   "履歴は変わっていません。")
                        .arg(m_path),
                    QString(), Problem::Denied);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return fail(what, SqlReason(error), Problem::Damaged);
    default:
        return fail(what, SqlReason(error), Problem::Other);
    }
}

QStringList DrawHistory::CompanionSuffixes()
{
    return {QStringLiteral("-journal"), QStringLiteral("-wal"), QStringLiteral("-shm")};
}

bool DrawHistory::open(bool create)
{
    if (m_open)
        return true;
    m_error.clear();
    m_problem = Problem::None;
    const QFileInfo info(m_path);
    if (!info.exists() && !create)
        return false;
    if (info.exists() && !info.isFile())
        return fail(QStringLiteral("「%1」は当選番号履歴のファイルではありません。").arg(m_path),
                    QString());
    if (info.exists() && !info.isReadable())
        return fail(QStringLiteral("当選番号履歴「%1」を読む権限がありません。"
                                   "履歴は変わっていません。")
                        .arg(m_path),
                    QString(), Problem::Denied);
    // SQLite would take a companion left without its database for the new
    // one's, or delete it: either loses the draws it holds.
    if (!info.exists()) {
        for (const QString &suffix : CompanionSuffixes()) {
            if (QFileInfo::exists(m_path + suffix))
                return fail(
                    QStringLiteral("「%1」が残っているため、新しい当選番号履歴を作れません。")
                        .arg(m_path + suffix),
                    QString());
        }
    }
    if (!QSqlDatabase::isDriverAvailable(Driver))
        return fail(QStringLiteral("当選番号履歴に使うSQLiteのドライバがありません。"), QString());
    const bool isNew = !info.exists();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(Driver, m_connection);
        db.setDatabaseName(m_path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(m_busyTimeoutMs));
        m_open = db.open();
        if (!m_open) {
            failQuery(QStringLiteral("当選番号履歴「%1」を開けません。").arg(m_path),
                      db.lastError());
        } else if (!migrate()) {
            m_open = false;
        }
        if (!m_open)
            db.close();
    }
    if (!m_open) {
        QSqlDatabase::removeDatabase(m_connection);
        // A file this attempt created and could not set up is no history.
        if (isNew && QFileInfo(m_path).size() == 0)
            QFile::remove(m_path);
    }
    return m_open;
}

bool DrawHistory::migrate()
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery query(db);
    const QString damaged
        = QStringLiteral("「%1」は当選番号履歴のファイルではないか、壊れています。").arg(m_path);
    // The first read of the file: anything but a database fails here.
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return failQuery(damaged, query.lastError());
    int version = query.value(0).toInt();
    // A version this program does not know is read and written by nothing.
    if (version > SchemaVersion)
        return fail(QStringLiteral("当選番号履歴「%1」は新しい版のZanboで作られたため読めません。")
                        .arg(m_path),
                    QString(), Problem::OtherVersion);
    if (version < 0)
        return fail(QStringLiteral("当選番号履歴「%1」は別の版のZanboで作られたため読めません。")
                        .arg(m_path),
                    QString(), Problem::OtherVersion);
    if (!query.exec(QStringLiteral("PRAGMA quick_check")))
        return failQuery(damaged, query.lastError());
    if (!query.next() || query.value(0).toString() != QStringLiteral("ok"))
        return fail(damaged, SqlReason(query.lastError()), Problem::Damaged);
    if (version == 0) {
        // Some other program's database must not be taken over.
        if (!query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
            return failQuery(damaged, query.lastError());
        if (!query.next() || query.value(0).toInt() != 0)
            return fail(damaged, QString(), Problem::Damaged);
    }
    for (; version < SchemaVersion; ++version) {
        const bool done = db.transaction() && RunStep(query, Migrations[version])
                          && query.exec(QStringLiteral("PRAGMA user_version = %1").arg(version + 1))
                          && db.commit();
        if (!done) {
            const QString detail = query.lastError().isValid() ? SqlReason(query.lastError())
                                                               : SqlReason(db.lastError());
            const QSqlError error = query.lastError().isValid() ? query.lastError()
                                                                : db.lastError();
            db.rollback();
            if (error.nativeErrorCode().toInt() == SQLITE_BUSY)
                return failQuery(QString(), error);
            return fail(QStringLiteral("当選番号履歴「%1」を作れません。").arg(m_path), detail);
        }
    }
    return true;
}

void DrawHistory::close()
{
    if (!m_open)
        return;
    m_open = false;
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

QVector<DrawRecord> DrawHistory::readDraws(int game, const QString &order, int skip, int count,
                                           const ReadProgress &progress)
{
    QVector<DrawRecord> records;
    if (!open())
        return records;
    // Counting first costs a fraction of the read and gives the bar its end.
    const int total = progress ? this->count(game) : 0;
    if (progress && !progress(0, total))
        return records;
    records.reserve(total);
    sqlite3 *db = HandleOf(QSqlDatabase::database(m_connection, false));
    const Statement statement = Prepare(
        db, QStringLiteral("SELECT ") + Columns + QStringLiteral(" FROM draws WHERE game = ?1 ")
                + InRange + order + QStringLiteral(" LIMIT ?2 OFFSET ?3"));
    if (!statement) {
        fail(QStringLiteral("当選番号履歴を読めません。"), SqliteError(db));
        return records;
    }
    sqlite3_bind_int(statement.get(), 1, game);
    sqlite3_bind_int(statement.get(), 2, count);
    sqlite3_bind_int(statement.get(), 3, skip);
    QString source;
    int step;
    while ((step = sqlite3_step(statement.get())) == SQLITE_ROW) {
        records.append(ReadRecord(statement.get(), game, source));
        if (progress && records.size() % 4096 == 0 && !progress(int(records.size()), total))
            return records;
    }
    if (step != SQLITE_DONE)
        fail(QStringLiteral("当選番号履歴を読めません。"), SqliteError(db));
    return records;
}

QVector<DrawRecord> DrawHistory::draws(int game)
{
    return readDraws(game, QStringLiteral("ORDER BY draw"), 0, -1);
}

QVector<DrawRecord> DrawHistory::draws(int game, const ReadProgress &progress)
{
    return readDraws(game, QStringLiteral("ORDER BY draw"), 0, -1, progress);
}

QVector<DrawRecord> DrawHistory::newestFirst(int game, int skip, int count)
{
    return readDraws(game, QStringLiteral("ORDER BY draw DESC"), skip, count);
}

std::optional<DrawRecord> DrawHistory::newest(int game)
{
    const QVector<DrawRecord> draws = newestFirst(game, 0, 1);
    if (draws.isEmpty())
        return std::nullopt;
    return draws.constFirst();
}

int DrawHistory::count(int game)
{
    if (!open())
        return 0;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("SELECT count(*) FROM draws WHERE game = ? ") + InRange);
    query.addBindValue(game);
    return query.exec() && query.next() ? query.value(0).toInt() : 0;
}

namespace {

// Binds one draw to the insert's placeholders, in the order of Columns.
void BindDraw(sqlite3_stmt *insert, const DrawRecord &record)
{
    int column = 1;
    sqlite3_bind_int(insert, column++, record.Game);
    sqlite3_bind_int(insert, column++, record.DrawNumber);
    const QByteArray date = record.Date.toString(Qt::ISODate).toLatin1();
    sqlite3_bind_text(insert, column++, date.constData(), int(date.size()), SQLITE_TRANSIENT);
    for (int i = 0; i < DrawRecord::MaxMainNumbers; ++i) {
        if (i < record.MainCount)
            sqlite3_bind_int(insert, column++, record.Numbers[size_t(i)]);
        else
            sqlite3_bind_null(insert, column++);
    }
    sqlite3_bind_int(insert, column++, record.Bonus);
    // No second bonus number is NULL, as a missing seventh number is.
    for (const int bonus : record.MoreBonuses) {
        if (bonus != 0)
            sqlite3_bind_int(insert, column++, bonus);
        else
            sqlite3_bind_null(insert, column++);
    }
    for (qint64 winners : record.Winners)
        BindKnown(insert, column++, winners);
    for (qint64 yen : record.PrizeYen)
        BindKnown(insert, column++, yen);
    BindKnown(insert, column++, record.CarryOverYen);
    sqlite3_bind_text16(insert, column++, record.Source.utf16(), int(record.Source.size() * 2),
                        SQLITE_TRANSIENT);
    sqlite3_bind_int64(insert, column++, record.StoredAt.toSecsSinceEpoch());
}

} // namespace

bool DrawHistory::store(const QVector<DrawRecord> &records)
{
    for (const DrawRecord &record : records) {
        if (record.DrawNumber < 1 || record.DrawNumber > DrawRecord::MaxDrawNumber)
            return fail(QStringLiteral("回号%1は1～%2の範囲にないため、履歴に書き込みません。")
                            .arg(record.DrawNumber)
                            .arg(DrawRecord::MaxDrawNumber),
                        QString());
    }
    if (!open(true))
        return false;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    const QString failed = QStringLiteral("当選番号履歴に書き込めません。履歴は変わっていません。");
    if (!db.transaction())
        return fail(failed, SqlReason(db.lastError()));
    sqlite3 *handle = HandleOf(db);
    bool written = false;
    {
        const Statement statement = Prepare(
            handle, QStringLiteral("INSERT OR REPLACE INTO draws (game, ") + Columns
                        + QStringLiteral(") VALUES (") + Placeholders(StoredAtColumn + 2)
                        + QStringLiteral(")"));
        written = bool(statement);
        sqlite3_stmt *insert = statement.get();
        for (int r = 0; written && r < records.size(); ++r) {
            BindDraw(insert, records.at(r));
            written = sqlite3_step(insert) == SQLITE_DONE;
            sqlite3_reset(insert);
        }
    }
    if (!written) {
        const QString detail = SqliteError(handle);
        db.rollback();
        return fail(failed, detail);
    }
    return commit(db, failed);
}

bool DrawHistory::commit(QSqlDatabase &db, const QString &failed)
{
    if (!db.commit()) {
        const QString detail = SqlReason(db.lastError());
        db.rollback();
        return fail(failed, detail);
    }
    m_error.clear();
    return true;
}

bool DrawHistory::remove(int game, const QVector<int> &drawNumbers)
{
    if (!open())
        return m_error.isEmpty() ? fail(QStringLiteral("当選番号履歴がありません。"), QString())
                                 : false;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    const QString failed = QStringLiteral(
        "当選番号履歴から削除できません。履歴は変わっていません。");
    if (!db.transaction())
        return fail(failed, SqlReason(db.lastError()));
    {
        QSqlQuery query(db);
        query.prepare(QStringLiteral("DELETE FROM draws WHERE game = ? AND draw = ?"));
        for (int number : drawNumbers) {
            query.bindValue(0, game);
            query.bindValue(1, number);
            if (!query.exec()) {
                const QString detail = SqlReason(query.lastError());
                query.finish();
                db.rollback();
                return fail(failed, detail);
            }
        }
    }
    return commit(db, failed);
}

QString DrawHistory::setAside()
{
    close();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QStringList suffixes = CompanionSuffixes();
    const auto taken = [&suffixes](const QString &name) {
        if (QFileInfo::exists(name))
            return true;
        for (const QString &suffix : suffixes) {
            if (QFileInfo::exists(name + suffix))
                return true;
        }
        return false;
    };
    QString target = m_path + QStringLiteral(".damaged-") + stamp;
    for (int n = 2; taken(target); ++n)
        target = m_path + QStringLiteral(".damaged-%1-%2").arg(stamp).arg(n);
    if (!QFile::rename(m_path, target)) {
        fail(QStringLiteral("「%1」を別名で残せません。").arg(m_path), QString());
        return QString();
    }
    // The journal and the write-ahead log hold draws of the file moved; they
    // go with it. One that stays keeps a fresh history from starting.
    for (const QString &suffix : suffixes) {
        const QString companion = m_path + suffix;
        if (QFileInfo::exists(companion) && !QFile::rename(companion, target + suffix)) {
            fail(QStringLiteral("「%1」を別名で残せません。").arg(companion), QString());
            return QString();
        }
    }
    m_error.clear();
    m_problem = Problem::None;
    return target;
}
