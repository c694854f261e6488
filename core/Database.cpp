#include "Database.h"

#include "Connection.h"

#include <QDir>
#include <QRegularExpression>
#include <QUrl>

#include <utility>

namespace vastrel {

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

// ---- Cursor ----

Cursor::Cursor(std::unique_ptr<RowSource> source) : m_source(std::move(source)) {}

Cursor::Cursor(Cursor&& other) noexcept
    : m_source(std::move(other.m_source)), m_row(std::move(other.m_row)), m_done(other.m_done) {}

Cursor::~Cursor() = default;

QStringList Cursor::columnNames() const {
    return m_source->columnNames();
}

// The file's statement would start again after its last row.
bool Cursor::next() {
    m_done = m_done || !m_source->next(m_row);
    return !m_done;
}

// ---- Database ----

Database::Database(std::unique_ptr<Connection> connection) : m_connection(std::move(connection)) {}

Database::Database() = default;
Database::~Database() = default;
Database::Database(Database&& other) noexcept = default;
Database& Database::operator=(Database&& other) noexcept = default;

Database Database::open(const QString& path, const std::string& password) {
    return Database(openFileConnection(path, password, false));
}

Database Database::create(const QString& path, const std::string& password) {
    return Database(openFileConnection(path, password, true));
}

Database Database::connectServer(const QString& uri, const std::string& password) {
    return Database(openServerConnection(uri, password));
}

Connection& Database::connection() const {
    if (!m_connection)
        throw DbError("The database is not open");
    return *m_connection;
}

bool Database::onServer() const {
    return connection().onServer();
}

void Database::close() {
    m_connection.reset();
}

void Database::setBusyTimeout(int milliseconds) {
    connection().setBusyTimeout(milliseconds);
}

void Database::exec(const QString& sql, const Params& params) {
    connection().exec(sql, params);
}

RowSet Database::query(const QString& sql, const Params& params) const {
    return connection().query(sql, params);
}

Cursor Database::cursor(const QString& sql, const Params& params) const {
    return Cursor(connection().cursor(sql, params));
}

QVariant Database::scalar(const QString& sql, const Params& params) const {
    RowSet rows = query(sql, params);
    return rows.eof() ? QVariant() : rows.value(0);
}

long long Database::lastInsertId() const {
    return connection().lastInsertId();
}

int Database::changes() const {
    return connection().changes();
}

void Database::begin() {
    connection().begin();
}

void Database::commit() {
    connection().commit();
}

void Database::rollback() {
    exec(QStringLiteral("ROLLBACK"));
}

void Database::lockRows(const QString& table, const QString& where, const Params& params) {
    connection().lockRows(table, where, params);
}

bool Database::inTransaction() const {
    return m_connection && m_connection->inTransaction();
}

void Database::rekey(const std::string& newPassword) {
    connection().rekey(newPassword);
}

QStringList Database::tableNames() const {
    return connection().tableNames();
}

void Database::resumeNumbering(const QString& table, const QString& column) {
    connection().resumeNumbering(table, column);
}

void Database::indexForSearch(const QString& table, const QString& column) {
    connection().indexForSearch(table, column);
}

bool isServerAddress(const QString& name) {
    return name.startsWith(QLatin1String("postgresql://")) ||
           name.startsWith(QLatin1String("postgres://"));
}

QString withoutPassword(const QString& uri) {
    const qsizetype scheme = uri.indexOf(QLatin1String("://"));
    if (scheme < 0)
        return uri;
    static const QRegularExpression pathOrQuery(QStringLiteral("[/?]"));
    const qsizetype rest = uri.indexOf(pathOrQuery, scheme + 3);
    QString shown = uri.left(rest < 0 ? uri.size() : rest);
    // The user's part ends at the last @ before the hosts; a colon in it starts the password.
    const qsizetype at = shown.lastIndexOf('@');
    const qsizetype colon = shown.indexOf(':', scheme + 3);
    if (at >= 0 && colon >= 0 && colon < at)
        shown.remove(colon, at - colon);
    const QString tail = rest < 0 ? QString() : uri.mid(rest);
    const qsizetype query = tail.indexOf('?');
    if (query < 0)
        return shown + tail;
    QStringList settings = tail.mid(query + 1).split('&');
    settings.removeIf([](const QString& setting) {
        return QUrl::fromPercentEncoding(setting.section('=', 0, 0).toUtf8()) ==
               QLatin1String("password");
    });
    return shown + tail.left(query) + (settings.isEmpty() ? QString() : '?' + settings.join('&'));
}

Database openNamedDatabase(const QString& folder, const QString& name,
                           const std::string& password) {
    return isServerAddress(name) ? Database::connectServer(name, password)
                                 : Database::open(QDir(folder).filePath(name), password);
}

// ---- ReadSnapshot ----

ReadSnapshot::ReadSnapshot(const Database& db) : m_db(db), m_own(!db.inTransaction()) {
    if (m_own)
        m_db.connection().beginSnapshot();
}

ReadSnapshot::~ReadSnapshot() {
    if (!m_own)
        return;
    try {
        m_db.connection().endSnapshot();
    } catch (const DbError&) {
        // Nothing was written: a snapshot that cannot end cleanly loses nothing.
    }
}

// ---- BulkWrite ----

BulkWrite::BulkWrite(Database& db) : m_db(db) {
    m_db.connection().holdPagesForBulk(true);
}

BulkWrite::~BulkWrite() {
    try {
        m_db.connection().holdPagesForBulk(false);
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
    try {
        rollback();
    } catch (const DbError&) {
        // The engine already rolled back (for instance after a failed COMMIT).
    }
}

void Transaction::rollback() {
    if (m_done)
        return;
    m_done = true;
    if (m_nested) {
        m_db.exec(QStringLiteral("ROLLBACK TO nested_unit"));
        m_db.exec(QStringLiteral("RELEASE nested_unit"));
    } else {
        m_db.rollback();
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
