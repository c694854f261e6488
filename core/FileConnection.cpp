// The encrypted database file, through SQLCipher: the one place that includes it.

#include "Connection.h"

#define SQLITE_HAS_CODEC 1
#include <sqlcipher/sqlite3.h>

#include "DurableFile.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include <memory>
#include <optional>
#include <utility>

namespace vastrel {

namespace {

constexpr int kDefaultBusyTimeoutMs = 30000;
// Room for the pages a 10,000-POS import writes (a negative size counts KiB).
constexpr int kBulkCacheKiB = 32768;

struct Statement {
    sqlite3_stmt* handle = nullptr;
    ~Statement() { sqlite3_finalize(handle); }
};

QString lastError(sqlite3* db) {
    return QString::fromUtf8(sqlite3_errmsg(db));
}

// A statement that failed; when the disk refused a write, the system's reason in plain words
// ("File too large", "Disk penuh") for the screens as well.
DbError statementFailure(sqlite3* db, const QString& reason) {
    const int primary = sqlite3_extended_errcode(db) & 0xff;
    const int code = sqlite3_system_errno(db);
    if ((primary == SQLITE_IOERR || primary == SQLITE_FULL) && code != 0)
        return DbError("Statement failed: " + reason + " (" + reasonInEnglish(code) + ")",
                       "Gagal menulis database: " + reasonInIndonesian(code));
    return DbError(("Statement failed: " + reason).toStdString());
}

// The UTF-8 of texts bound without a copy, kept until the statement has run.
using BoundTexts = std::vector<QByteArray>;

// Binds one value; a text is copied by the engine unless `kept` keeps it for the run.
void bindValue(sqlite3_stmt* stmt, int index, const QVariant& value, BoundTexts* kept) {
    if (value.isNull()) {
        sqlite3_bind_null(stmt, index);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        sqlite3_bind_int64(stmt, index, value.toLongLong());
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(stmt, index, value.toDouble());
        return;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        sqlite3_bind_blob(stmt, index, bytes.constData(), static_cast<int>(bytes.size()),
                          SQLITE_TRANSIENT);
        return;
    }
    default: {
        QByteArray utf8 = value.toString().toUtf8();
        if (!kept) {
            sqlite3_bind_text(stmt, index, utf8.constData(), static_cast<int>(utf8.size()),
                              SQLITE_TRANSIENT);
            return;
        }
        kept->push_back(std::move(utf8)); // a moved QByteArray keeps its bytes where they are
        sqlite3_bind_text(stmt, index, kept->back().constData(),
                          static_cast<int>(kept->back().size()), SQLITE_STATIC);
    }
    }
}

QVariant columnValue(sqlite3_stmt* stmt, int column) {
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_column_int64(stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, column));
    case SQLITE_TEXT:
        return QVariant(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)),
                              sqlite3_column_bytes(stmt, column)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, column)),
                                   sqlite3_column_bytes(stmt, column)));
    default:
        return QVariant();
    }
}

void bindAll(sqlite3_stmt* stmt, const Params& params, BoundTexts* kept = nullptr) {
    if (sqlite3_bind_parameter_count(stmt) != params.size())
        throw DbError("Statement expects a different number of values");
    for (int i = 0; i < params.size(); ++i)
        bindValue(stmt, i + 1, params[i], kept);
}

// One run of a kept statement, its texts bound without a copy; when the run ends the
// statement is reset (no longer holding a lock) and its values are cleared.
class KeptRun {
public:
    KeptRun(sqlite3_stmt* stmt, const Params& params) : m_stmt(stmt) {
        try {
            bindAll(stmt, params, &m_texts);
        } catch (const DbError&) {
            end();
            throw;
        }
    }
    ~KeptRun() { end(); }
    KeptRun(const KeptRun&) = delete;
    KeptRun& operator=(const KeptRun&) = delete;

private:
    void end() {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }

    sqlite3_stmt* m_stmt;
    BoundTexts m_texts;
};

QStringList columnNamesOf(sqlite3_stmt* stmt) {
    QStringList names;
    for (int c = 0; c < sqlite3_column_count(stmt); ++c)
        names << QString::fromUtf8(sqlite3_column_name(stmt, c));
    return names;
}

// Steps `stmt` to its next row and reads it into `row`; false after the last.
bool stepRow(sqlite3* db, sqlite3_stmt* stmt, QVariantList& row) {
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_DONE)
        return false;
    if (rc != SQLITE_ROW)
        throw DbError(("Query failed: " + lastError(db)).toStdString());
    const int columns = sqlite3_column_count(stmt);
    row.resize(columns);
    for (int c = 0; c < columns; ++c)
        row[c] = columnValue(stmt, c);
    return true;
}

// Prepares `sql`; throws through `fail` on any error.
template <typename Fail>
void prepare(sqlite3* db, const QString& sql, Statement& stmt, Fail&& fail) {
    if (!db)
        throw DbError("The database is not open");
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &stmt.handle,
                           nullptr) != SQLITE_OK)
        fail();
}

// Statements of exec() and query() kept prepared for their next run; a bulk import repeats
// a few texts tens of thousands of times.
constexpr int kKeptStatements = 64;

// The rows of a statement prepared for one cursor alone.
class StatementRows : public RowSource {
public:
    StatementRows(sqlite3* db, sqlite3_stmt* statement) : m_db(db), m_statement(statement) {}
    ~StatementRows() override { sqlite3_finalize(m_statement); }
    StatementRows(const StatementRows&) = delete;
    StatementRows& operator=(const StatementRows&) = delete;

    bool next(QVariantList& row) override { return stepRow(m_db, m_statement, row); }
    QStringList columnNames() const override { return columnNamesOf(m_statement); }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_statement;
};

class FileConnection : public Connection {
public:
    explicit FileConnection(sqlite3* db) : m_db(db) {}
    ~FileConnection() override {
        dropStatements();
        sqlite3_close_v2(m_db);
    }
    FileConnection(const FileConnection&) = delete;
    FileConnection& operator=(const FileConnection&) = delete;

    [[noreturn]] void fail(const QString& context) const {
        throw DbError((context + ": " + lastError(m_db)).toStdString());
    }

    void exec(const QString& sql, const Params& params) override {
        sqlite3_stmt* stmt = keptStatement(sql);
        int rc = SQLITE_DONE;
        std::optional<DbError> failure;
        {
            const KeptRun run(stmt, params);
            while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            }
            if (rc != SQLITE_DONE)
                failure = statementFailure(m_db, lastError(m_db));
        }
        if (failure)
            throw *failure;
    }

    RowSet query(const QString& sql, const Params& params) override {
        sqlite3_stmt* stmt = keptStatement(sql);
        const KeptRun run(stmt, params);
        std::vector<QVariantList> all;
        QVariantList row;
        while (stepRow(m_db, stmt, row))
            all.push_back(row);
        return RowSet(columnNamesOf(stmt), std::move(all));
    }

    std::unique_ptr<RowSource> cursor(const QString& sql, const Params& params) override {
        Statement stmt;
        prepare(m_db, sql, stmt, [&] { fail(QStringLiteral("Query failed")); });
        bindAll(stmt.handle, params);
        return std::make_unique<StatementRows>(m_db, std::exchange(stmt.handle, nullptr));
    }

    long long lastInsertId() override { return sqlite3_last_insert_rowid(m_db); }
    int changes() override { return sqlite3_changes(m_db); }
    void begin() override { exec(QStringLiteral("BEGIN IMMEDIATE"), {}); }
    void commit() override { exec(QStringLiteral("COMMIT"), {}); }
    bool inTransaction() const override { return sqlite3_get_autocommit(m_db) == 0; }
    // BEGIN IMMEDIATE holds the whole file's write lock already.
    void lockRows(const QString&, const QString&, const Params&) override {}
    void setBusyTimeout(int milliseconds) override { sqlite3_busy_timeout(m_db, milliseconds); }

    void rekey(const std::string& newPassword) override {
        dropStatements(); // the whole file is rewritten: nothing prepared stays in its way
        if (sqlite3_rekey(m_db, newPassword.data(), static_cast<int>(newPassword.size())) !=
            SQLITE_OK)
            fail(QStringLiteral("Cannot change the password"));
    }
    QByteArray passwordVerifier(const std::string&, const QString&) override {
        throw DbError("An encrypted database file has no roles");
    }

    QStringList tableNames() override {
        QStringList names;
        const RowSet rows =
            query(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                 "AND name NOT LIKE 'sqlite_%'"),
                  {});
        for (int i = 0; i < rows.recordCount(); ++i)
            names << rows.row(i).at(0).toString();
        return names;
    }

    bool onServer() const override { return false; }
    // A deferred transaction keeps a shared lock from its first read: writers wait for it.
    void beginSnapshot() override { exec(QStringLiteral("BEGIN"), {}); }
    void endSnapshot() override { exec(QStringLiteral("COMMIT"), {}); }
    // AUTOINCREMENT goes on after the largest key written, whoever wrote it.
    void resumeNumbering(const QString&, const QString&) override {}
    // A search for a part of a text reads every row: the file has no index for that.
    void indexForSearch(const QString&, const QString&) override {}

    // Pages that stay in memory until the commit are written once, not spilled and read back.
    void holdPagesForBulk(bool bulk) override {
        if (bulk ? m_bulkDepth++ > 0 : --m_bulkDepth > 0)
            return; // an inner bulk scope changes nothing
        if (bulk)
            m_cacheSize = query(QStringLiteral("PRAGMA cache_size"), {}).row(0).at(0).toLongLong();
        // The size is a number, the engine's own or ours, never a text from outside.
        exec(QStringLiteral("PRAGMA cache_size = %1").arg(bulk ? -kBulkCacheKiB : m_cacheSize), {});
    }

private:
    // The prepared statement of `sql`, kept from an earlier exec() or query() or prepared
    // now; each run resets it before it returns, so no two runs ever share it.
    sqlite3_stmt* keptStatement(const QString& sql) {
        if (sqlite3_stmt* kept = m_statements.value(sql))
            return kept; // its last run cleared its values
        if (m_statements.size() >= kKeptStatements)
            dropStatements();
        Statement stmt;
        prepare(m_db, sql, stmt, [&] { fail(QStringLiteral("Statement failed")); });
        m_statements.insert(sql, stmt.handle);
        return std::exchange(stmt.handle, nullptr);
    }

    void dropStatements() {
        for (sqlite3_stmt* stmt : std::as_const(m_statements))
            sqlite3_finalize(stmt);
        m_statements.clear();
    }

    sqlite3* m_db;
    QHash<QString, sqlite3_stmt*> m_statements;
    long long m_cacheSize = 0;
    int m_bulkDepth = 0;
};

} // namespace

std::unique_ptr<Connection> openFileConnection(const QString& path, const std::string& password,
                                               bool create) {
    const QByteArray file = QFile::encodeName(path);
    if (create) {
        // Made here, empty, so that it and its journals are readable by their owner only.
        const int fd = ::open(file.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
        if (fd < 0)
            throw DbError(("Cannot create " + path + ": " + reasonInEnglish(errno)).toStdString());
        ::close(fd);
    } else if (!QFileInfo(path).isFile()) {
        throw DbError(("Database file not found: " + path).toStdString());
    }
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(file.constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    auto connection = std::make_unique<FileConnection>(raw);
    if (rc != SQLITE_OK)
        connection->fail("Cannot open " + path);
    if (sqlite3_key(raw, password.data(), static_cast<int>(password.size())) != SQLITE_OK)
        connection->fail("Cannot key " + path);
    connection->setBusyTimeout(kDefaultBusyTimeoutMs);
    // A wrong key or a file that is not a database only shows at the first read.
    connection->query(QStringLiteral("SELECT count(*) FROM sqlite_master"), {});
    connection->exec(QStringLiteral("PRAGMA foreign_keys = OFF"), {});
    return connection;
}

} // namespace vastrel
