#include "Database.h"

#define SQLITE_HAS_CODEC 1
#include <sqlcipher/sqlite3.h>

#include "DurableFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include <memory>
#include <utility>

namespace vastrel {

namespace {

constexpr int kDefaultBusyTimeoutMs = 30000;

struct Statement {
    sqlite3_stmt* handle = nullptr;
    ~Statement() { sqlite3_finalize(handle); }
};

QString lastError(sqlite3* db) {
    return QString::fromUtf8(sqlite3_errmsg(db));
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

} // namespace

// ---- RowSet ----

RowSet::RowSet(QStringList columns, std::vector<QVariantList> rows)
    : m_columns(std::move(columns)), m_rows(std::move(rows)) {}

void RowSet::moveNext() {
    if (m_pos < recordCount())
        ++m_pos;
}

void RowSet::movePrevious() {
    if (m_pos >= 0)
        --m_pos;
}

int RowSet::absolutePosition() const {
    return (bof() || eof()) ? 0 : m_pos + 1;
}

void RowSet::setAbsolutePosition(int position) {
    if (position < 1 || position > recordCount())
        throw DbError("Row position out of range");
    m_pos = position - 1;
}

int RowSet::columnIndex(const QString& name) const {
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    throw DbError(("Unknown column " + name).toStdString());
}

QVariant RowSet::value(int index) const {
    if (bof() || eof())
        throw DbError("No current row");
    if (index < 0 || index >= fieldCount())
        throw DbError("Column index out of range");
    return m_rows[static_cast<size_t>(m_pos)][index];
}

QVariant RowSet::value(const QString& name) const {
    return value(columnIndex(name));
}

// ---- Database ----

Database::~Database() {
    close();
}

Database::Database(Database&& other) noexcept
    : m_db(std::exchange(other.m_db, nullptr)), m_statements(std::move(other.m_statements)) {
    other.m_statements.clear();
}

Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        close();
        m_db = std::exchange(other.m_db, nullptr);
        m_statements = std::exchange(other.m_statements, {});
    }
    return *this;
}

void Database::close() {
    dropStatements();
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
}

Database Database::openWith(const QString& path, const std::string& password, int flags) {
    sqlite3* raw = nullptr;
    const QByteArray file = path.toUtf8();
    const int rc = sqlite3_open_v2(file.constData(), &raw, flags, nullptr);
    Database db(raw);
    if (rc != SQLITE_OK)
        db.fail("Cannot open " + path);
    if (sqlite3_key(raw, password.data(), static_cast<int>(password.size())) != SQLITE_OK)
        db.fail("Cannot key " + path);
    db.setBusyTimeout(kDefaultBusyTimeoutMs);
    // A wrong key or a file that is not a database only shows at the first read.
    db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    db.exec(QStringLiteral("PRAGMA foreign_keys = OFF"));
    return db;
}

Database Database::open(const QString& path, const std::string& password) {
    if (!QFileInfo(path).isFile())
        throw DbError(("Database file not found: " + path).toStdString());
    return openWith(path, password, SQLITE_OPEN_READWRITE);
}

Database Database::create(const QString& path, const std::string& password) {
    // Made here, empty, so that it and its journals are readable by their owner only.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0)
        throw DbError(("Cannot create " + path + ": " + reasonInEnglish(errno)).toStdString());
    ::close(fd);
    return openWith(path, password, SQLITE_OPEN_READWRITE);
}

void Database::setBusyTimeout(int milliseconds) {
    sqlite3_busy_timeout(m_db, milliseconds);
}

void Database::fail(const QString& context) const {
    QString reason = m_db ? lastError(m_db) : QStringLiteral("no connection");
    throw DbError((context + ": " + reason).toStdString());
}

namespace {

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

} // namespace

sqlite3_stmt* Database::keptStatement(const QString& sql) const {
    if (sqlite3_stmt* kept = m_statements.value(sql))
        return kept; // its last run cleared its values
    if (m_statements.size() >= kKeptStatements)
        dropStatements();
    Statement stmt;
    prepare(m_db, sql, stmt, [&] { fail(QStringLiteral("Statement failed")); });
    m_statements.insert(sql, stmt.handle);
    return std::exchange(stmt.handle, nullptr);
}

void Database::dropStatements() const {
    for (sqlite3_stmt* stmt : std::as_const(m_statements))
        sqlite3_finalize(stmt);
    m_statements.clear();
}

void Database::exec(const QString& sql, const Params& params) {
    if (!m_db)
        throw DbError("The database is not open");
    sqlite3_stmt* stmt = keptStatement(sql);
    int rc = SQLITE_DONE;
    QString reason;
    {
        const KeptRun run(stmt, params);
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE)
            reason = lastError(m_db);
    }
    if (rc != SQLITE_DONE)
        throw DbError(("Statement failed: " + reason).toStdString());
}

RowSet Database::query(const QString& sql, const Params& params) const {
    sqlite3_stmt* stmt = keptStatement(sql);
    const KeptRun run(stmt, params);
    std::vector<QVariantList> all;
    QVariantList row;
    while (stepRow(m_db, stmt, row))
        all.push_back(row);
    return RowSet(columnNamesOf(stmt), std::move(all));
}

Cursor Database::cursor(const QString& sql, const Params& params) const {
    Statement stmt;
    prepare(m_db, sql, stmt, [&] { fail(QStringLiteral("Query failed")); });
    bindAll(stmt.handle, params);
    return Cursor(m_db, std::exchange(stmt.handle, nullptr));
}

// ---- Cursor ----

Cursor::Cursor(Cursor&& other) noexcept
    : m_db(other.m_db), m_statement(std::exchange(other.m_statement, nullptr)),
      m_row(std::move(other.m_row)) {}

Cursor::~Cursor() {
    sqlite3_finalize(m_statement);
}

QStringList Cursor::columnNames() const {
    return columnNamesOf(m_statement);
}

bool Cursor::next() {
    return stepRow(m_db, m_statement, m_row);
}

QVariant Database::scalar(const QString& sql, const Params& params) const {
    RowSet rows = query(sql, params);
    return rows.eof() ? QVariant() : rows.value(0);
}

long long Database::lastInsertId() const {
    return sqlite3_last_insert_rowid(m_db);
}

int Database::changes() const {
    return sqlite3_changes(m_db);
}

void Database::begin() {
    exec(QStringLiteral("BEGIN IMMEDIATE"));
}
void Database::commit() {
    exec(QStringLiteral("COMMIT"));
}
void Database::rollback() {
    exec(QStringLiteral("ROLLBACK"));
}

bool Database::inTransaction() const {
    return m_db && sqlite3_get_autocommit(m_db) == 0;
}

void Database::rekey(const std::string& newPassword) {
    dropStatements(); // the whole file is rewritten: nothing prepared stays in its way
    if (sqlite3_rekey(m_db, newPassword.data(), static_cast<int>(newPassword.size())) != SQLITE_OK)
        fail(QStringLiteral("Cannot change the password"));
}

// ---- BulkWrite ----

namespace {
// Room for the pages a 10,000-POS import writes (a negative size counts KiB).
const QString kBulkCacheSize = QStringLiteral("PRAGMA cache_size = -32768");
} // namespace

BulkWrite::BulkWrite(Database& db)
    : m_db(db), m_cacheSize(db.scalar(QStringLiteral("PRAGMA cache_size"))) {
    m_db.exec(kBulkCacheSize);
}

BulkWrite::~BulkWrite() {
    try {
        // The setting is a number the engine itself gave, not a text from outside.
        m_db.exec("PRAGMA cache_size = " + QString::number(m_cacheSize.toLongLong()));
    } catch (const DbError&) {
        // A connection that is gone keeps no setting.
    }
}

// ---- Transaction ----

Transaction::Transaction(Database& db) : m_db(db), m_nested(db.inTransaction()) {
    if (m_nested)
        m_db.exec(QStringLiteral("SAVEPOINT nested_unit"));
    else
        m_db.begin();
}

Transaction::~Transaction() {
    if (m_done)
        return;
    try {
        if (m_nested) {
            m_db.exec(QStringLiteral("ROLLBACK TO nested_unit"));
            m_db.exec(QStringLiteral("RELEASE nested_unit"));
        } else {
            m_db.rollback();
        }
    } catch (const DbError&) {
        // The engine already rolled back (for instance after a failed COMMIT).
    }
}

void Transaction::commit() {
    if (m_nested)
        m_db.exec(QStringLiteral("RELEASE nested_unit"));
    else
        m_db.commit();
    m_done = true;
}

} // namespace vastrel
