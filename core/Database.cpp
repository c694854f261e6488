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

QByteArray Database::passwordVerifier(const std::string& password, const QString& role) const {
    return connection().passwordVerifier(password, role);
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

namespace {

// Where a server URI's users and hosts stand: from after "://" to its path or query, and the
// last @ among them (-1 when it names no user); start is -1 for a name without "://".
struct Authority {
    qsizetype start = -1;
    qsizetype at = -1;
};

Authority authorityOf(const QString& uri) {
    const qsizetype scheme = uri.indexOf(QLatin1String("://"));
    if (scheme < 0)
        return {};
    static const QRegularExpression pathOrQuery(QStringLiteral("[/?]"));
    const qsizetype start = scheme + 3;
    const qsizetype rest = uri.indexOf(pathOrQuery, start);
    const qsizetype at = uri.lastIndexOf('@', (rest < 0 ? uri.size() : rest) - 1);
    return {start, at >= start ? at : -1};
}

// `uri` without the settings called `name` in its query.
QString withoutSetting(const QString& uri, QLatin1String name) {
    const qsizetype query = uri.indexOf('?');
    if (query < 0)
        return uri;
    QStringList settings = uri.mid(query + 1).split('&');
    settings.removeIf([name](const QString& setting) {
        return QUrl::fromPercentEncoding(setting.section('=', 0, 0).toUtf8()) == name;
    });
    return uri.left(query) + (settings.isEmpty() ? QString() : '?' + settings.join('&'));
}

} // namespace

QString withoutPassword(const QString& uri) {
    const Authority authority = authorityOf(uri);
    if (authority.start < 0)
        return uri;
    // A colon in the user's part starts the password.
    QString shown = uri;
    const qsizetype colon = uri.indexOf(':', authority.start);
    if (authority.at >= 0 && colon >= 0 && colon < authority.at)
        shown.remove(colon, authority.at - colon);
    return withoutSetting(shown, QLatin1String("password"));
}

QString withUser(const QString& uri, const QString& role) {
    const Authority authority = authorityOf(uri);
    if (authority.start < 0)
        return uri;
    return withoutSetting(uri.left(authority.start) + QUrl::toPercentEncoding(role) + '@' +
                              uri.mid(authority.at >= 0 ? authority.at + 1 : authority.start),
                          QLatin1String("user"));
}

QString uriUser(const QString& uri) {
    const Authority authority = authorityOf(uri);
    if (authority.at < 0)
        return {};
    return QUrl::fromPercentEncoding(
        uri.mid(authority.start, authority.at - authority.start).section(':', 0, 0).toUtf8());
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
