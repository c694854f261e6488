// A PostgreSQL server, through libpq: the one place that includes it.

#include "Connection.h"
#include "ServerDialect.h"

#include <libpq-fe.h>

#include <dlfcn.h>

#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <memory>
#include <utility>

namespace vastrel {

namespace {

// libpq, loaded when the first server connection is made: a program on an encrypted file
// never loads it, nor what it sets up in OpenSSL, which slows SQLCipher's page cipher.
struct Libpq {
    decltype(&::PQclear) clear;
    decltype(&::PQcmdStatus) cmdStatus;
    decltype(&::PQcmdTuples) cmdTuples;
    decltype(&::PQconnectdbParams) connectdbParams;
    decltype(&::PQconnectionUsedPassword) connectionUsedPassword;
    decltype(&::PQencryptPasswordConn) encryptPasswordConn;
    decltype(&::PQerrorMessage) errorMessage;
    decltype(&::PQexec) exec;
    decltype(&::PQexecParams) execParams;
    decltype(&::PQfinish) finish;
    decltype(&::PQfname) fname;
    decltype(&::PQfreemem) freemem;
    decltype(&::PQftype) ftype;
    decltype(&::PQgetisnull) getisnull;
    decltype(&::PQgetlength) getlength;
    decltype(&::PQgetvalue) getvalue;
    decltype(&::PQnfields) nfields;
    decltype(&::PQntuples) ntuples;
    decltype(&::PQresultErrorMessage) resultErrorMessage;
    decltype(&::PQresultStatus) resultStatus;
    decltype(&::PQsetNoticeProcessor) setNoticeProcessor;
    decltype(&::PQstatus) status;
    decltype(&::PQtransactionStatus) transactionStatus;
    decltype(&::PQunescapeBytea) unescapeBytea;
    decltype(&::PQuser) user;
};

template <typename Function> void bind(void* handle, Function& target, const char* name) {
    target = reinterpret_cast<Function>(dlsym(handle, name));
    if (!target)
        throw DbError(
            QStringLiteral("The PostgreSQL client library lacks %1").arg(QLatin1String(name)),
            QStringLiteral("Pustaka klien PostgreSQL tidak lengkap (%1)").arg(QLatin1String(name)));
}

const Libpq& libpq() {
    static const Libpq loaded = [] {
        void* handle = dlopen("libpq.so.5", RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            throw DbError(
                QStringLiteral("The PostgreSQL client library (libpq5) cannot be loaded: ") +
                    QString::fromLocal8Bit(dlerror()),
                QStringLiteral("Pustaka klien PostgreSQL (libpq5) tidak dapat dimuat"));
        Libpq l{};
        bind(handle, l.clear, "PQclear");
        bind(handle, l.cmdStatus, "PQcmdStatus");
        bind(handle, l.cmdTuples, "PQcmdTuples");
        bind(handle, l.connectdbParams, "PQconnectdbParams");
        bind(handle, l.connectionUsedPassword, "PQconnectionUsedPassword");
        bind(handle, l.encryptPasswordConn, "PQencryptPasswordConn");
        bind(handle, l.errorMessage, "PQerrorMessage");
        bind(handle, l.exec, "PQexec");
        bind(handle, l.execParams, "PQexecParams");
        bind(handle, l.finish, "PQfinish");
        bind(handle, l.fname, "PQfname");
        bind(handle, l.freemem, "PQfreemem");
        bind(handle, l.ftype, "PQftype");
        bind(handle, l.getisnull, "PQgetisnull");
        bind(handle, l.getlength, "PQgetlength");
        bind(handle, l.getvalue, "PQgetvalue");
        bind(handle, l.nfields, "PQnfields");
        bind(handle, l.ntuples, "PQntuples");
        bind(handle, l.resultErrorMessage, "PQresultErrorMessage");
        bind(handle, l.resultStatus, "PQresultStatus");
        bind(handle, l.setNoticeProcessor, "PQsetNoticeProcessor");
        bind(handle, l.status, "PQstatus");
        bind(handle, l.transactionStatus, "PQtransactionStatus");
        bind(handle, l.unescapeBytea, "PQunescapeBytea");
        bind(handle, l.user, "PQuser");
        return l;
    }();
    return loaded;
}

// Type numbers of the server's built-in types (pg_type.oid) that are not texts.
enum TypeOid : Oid {
    kBool = 16,
    kBytea = 17,
    kInt8 = 20,
    kInt2 = 21,
    kInt4 = 23,
    kFloat4 = 700,
    kFloat8 = 701,
    kNumeric = 1700,
};

struct ResultDeleter {
    void operator()(PGresult* result) const { libpq().clear(result); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

QVariant fieldValue(const PGresult* result, int row, int column) {
    if (libpq().getisnull(result, row, column))
        return {};
    const char* text = libpq().getvalue(result, row, column);
    const int length = libpq().getlength(result, row, column);
    switch (libpq().ftype(result, column)) {
    case kInt2:
    case kInt4:
    case kInt8:
        return QVariant(QByteArray::fromRawData(text, length).toLongLong());
    case kFloat4:
    case kFloat8:
        return QVariant(QByteArray::fromRawData(text, length).toDouble());
    case kNumeric: {
        // A whole number comes back whole, as the file's numeric columns give it, unless it
        // is too large for that.
        const QByteArray number = QByteArray::fromRawData(text, length);
        bool whole = false;
        const qlonglong value = number.toLongLong(&whole);
        return whole ? QVariant(value) : QVariant(number.toDouble());
    }
    case kBool:
        return QVariant(qlonglong(text[0] == 't' ? -1 : 0));
    case kBytea: {
        size_t size = 0;
        unsigned char* bytes =
            libpq().unescapeBytea(reinterpret_cast<const unsigned char*>(text), &size);
        QByteArray value(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size));
        libpq().freemem(bytes);
        return QVariant(value);
    }
    default:
        return QVariant(QString::fromUtf8(text, length));
    }
}

QStringList columnNamesOf(const PGresult* result) {
    QStringList names;
    for (int c = 0; c < libpq().nfields(result); ++c)
        names << QString::fromUtf8(libpq().fname(result, c));
    return names;
}

QVariantList rowOf(const PGresult* result, int row) {
    QVariantList values;
    values.reserve(libpq().nfields(result));
    for (int c = 0; c < libpq().nfields(result); ++c)
        values << fieldValue(result, row, c);
    return values;
}

// A query's rows, held by the client once the server has sent them.
class ResultRows : public RowSource {
public:
    explicit ResultRows(Result result = {}) : m_result(std::move(result)) {}
    bool next(QVariantList& row) override {
        if (m_next >= held() && !(refill() && held() > 0))
            return false;
        row = rowOf(m_result.get(), m_next++);
        return true;
    }
    QStringList columnNames() const override { return columnNamesOf(m_result.get()); }

protected:
    // Once the rows held are read: whether more came (through hold()).
    virtual bool refill() { return false; }
    void hold(Result result) {
        m_result = std::move(result);
        m_next = 0;
    }
    int held() const { return libpq().ntuples(m_result.get()); }

private:
    Result m_result;
    int m_next = 0;
};

// The values of a statement: texts for the server to read as its columns' types, a
// QByteArray as raw bytes.
class ParamValues {
public:
    explicit ParamValues(const Params& params) {
        for (const QVariant& value : params) {
            const bool bytes = value.typeId() == QMetaType::QByteArray;
            m_texts << (value.isNull()                      ? QByteArray()
                        : bytes                             ? value.toByteArray()
                        : value.typeId() == QMetaType::Bool ? QByteArray(value.toBool() ? "1" : "0")
                                                            : value.toString().toUtf8());
            m_formats.push_back(bytes ? 1 : 0);
        }
        for (qsizetype i = 0; i < params.size(); ++i) {
            m_values.push_back(params[i].isNull() ? nullptr : m_texts[i].constData());
            m_lengths.push_back(static_cast<int>(m_texts[i].size()));
        }
    }
    int count() const { return static_cast<int>(m_values.size()); }
    const char* const* values() const { return m_values.data(); }
    const int* lengths() const { return m_lengths.data(); }
    const int* formats() const { return m_formats.data(); }

private:
    QList<QByteArray> m_texts;
    std::vector<const char*> m_values;
    std::vector<int> m_lengths;
    std::vector<int> m_formats;
};

constexpr int kDefaultLockTimeoutMs = 30000;

// libpq's text of a failure as the program says it: without the severity it copies from the
// server's report ("FATAL:  "), which means nothing to a clerk.
QString plainReason(const char* message) {
    static const QRegularExpression severity(QStringLiteral("\\b(?:FATAL|ERROR|PANIC):  "));
    return QString::fromUtf8(message).remove(severity).trimmed();
}

// Whatever the server reports outside a statement's result (the reason it ends a connection)
// comes with the next statement's failure, never on the terminal.
void ignoreNotice(void*, const char*) {}

// Our defaults come before the URI, which may set its own; the INI's password after it.
PGconn* connectTo(const QString& uri, const std::string& password) {
    const QByteArray address = uri.toUtf8();
    // The server's notices and warnings ("already exists, skipping") are not for the clerk's
    // terminal; its errors come with the statements' results.
    const char* keywords[] = {"connect_timeout",
                              "client_encoding",
                              "options",
                              "dbname",
                              password.empty() ? nullptr : "password",
                              nullptr};
    const char* values[] = {
        "10",   "UTF8", "-c client_min_messages=error", address.constData(), password.c_str(),
        nullptr};
    PGconn* connection = libpq().connectdbParams(keywords, values, 1);
    libpq().setNoticeProcessor(connection, ignoreNotice, nullptr);
    return connection;
}

class ServerConnection : public Connection {
public:
    ServerConnection(QString uri, std::string password)
        : m_uri(std::move(uri)), m_password(std::move(password)),
          m_connection(connectTo(m_uri, m_password)) {}
    ~ServerConnection() override { libpq().finish(m_connection); }
    ServerConnection(const ServerConnection&) = delete;
    ServerConnection& operator=(const ServerConnection&) = delete;

    bool connected() const { return libpq().status(m_connection) == CONNECTION_OK; }

    // Why no connection was made: plainly where the server refused the password (or the user:
    // the server does not tell which), else in the server's words.
    DbError connectionFailure() const {
        const QString reason = plainReason(libpq().errorMessage(m_connection));
        const QString user = QString::fromUtf8(libpq().user(m_connection));
        if (libpq().connectionUsedPassword(m_connection) &&
            reason.contains(QLatin1String("password authentication failed")))
            return DbError(
                QStringLiteral("The database server refused the password of the user %1 (%2)")
                    .arg(user, reason),
                QStringLiteral("Password database ditolak oleh server untuk user %1 (%2)")
                    .arg(user, reason));
        return DbError("Cannot connect to " + withoutPassword(m_uri) + ": " + reason,
                       "Server database tidak dapat dihubungi: " + reason);
    }

    void exec(const QString& sql, const Params& params) override {
        const Result result = run(sql, params);
        m_changes = QByteArray(libpq().cmdTuples(result.get())).toInt();
    }

    RowSet query(const QString& sql, const Params& params) override {
        const Result result = run(sql, params);
        std::vector<QVariantList> rows;
        rows.reserve(static_cast<size_t>(libpq().ntuples(result.get())));
        for (int r = 0; r < libpq().ntuples(result.get()); ++r)
            rows.push_back(rowOf(result.get(), r));
        return RowSet(columnNamesOf(result.get()), std::move(rows));
    }

    // Inside a transaction the rows come a batch at a time, so that a table of years of data
    // is never held here whole; outside one, a cursor would not outlive its statement.
    std::unique_ptr<RowSource> cursor(const QString& sql, const Params& params) override {
        if (!inTransaction())
            return std::make_unique<ResultRows>(run(sql, params));
        return std::make_unique<BatchRows>(*this, statementText(sql), params);
    }

    long long lastInsertId() override {
        return query(QStringLiteral("SELECT lastval()"), {}).row(0).at(0).toLongLong();
    }

    int changes() override { return m_changes; }
    void begin() override { exec(QStringLiteral("BEGIN"), {}); }

    // After a failed statement the server keeps nothing of the transaction, and its COMMIT
    // only rolls back: that is a failure, never a save.
    void commit() override {
        if (libpq().transactionStatus(m_connection) == PQTRANS_INERROR) {
            exec(QStringLiteral("ROLLBACK"), {});
            throw DbError("The transaction failed and nothing of it was saved");
        }
        Result result;
        try {
            result = run(QStringLiteral("COMMIT"), {});
        } catch (const DbError&) {
            if (libpq().status(m_connection) == CONNECTION_BAD)
                throw CommitOutcomeUnknown(); // the server may have committed before it went
            throw;
        }
        if (qstrcmp(libpq().cmdStatus(result.get()), "COMMIT") != 0)
            throw DbError("The transaction was rolled back by the server");
    }
    void lockRows(const QString& table, const QString& where, const Params& params) override {
        query("SELECT 1 FROM " + table + " WHERE " + where + " FOR UPDATE", params);
    }
    bool inTransaction() const override {
        return libpq().transactionStatus(m_connection) != PQTRANS_IDLE &&
               libpq().transactionStatus(m_connection) != PQTRANS_UNKNOWN;
    }

    void setBusyTimeout(int milliseconds) override {
        m_lockTimeoutMs = std::max(milliseconds, 1); // 0 would wait for ever
        // A number of ours, never a text from outside.
        exec(QStringLiteral("SET lock_timeout = %1").arg(m_lockTimeoutMs), {});
    }

    // Every workstation's MANIFEST.INI holds the server's password: its administrator
    // changes it, and the INIs with it.
    void rekey(const std::string&) override {
        throw DbError("The password of a server database is changed by the server's "
                      "administrator, then written into every workstation's MANIFEST.INI");
    }

    // In the server's own scheme (password_encryption); its letters are those of base64, $ and :.
    QByteArray passwordVerifier(const std::string& password, const QString& role) override {
        char* made = libpq().encryptPasswordConn(m_connection, password.c_str(),
                                                 role.toUtf8().constData(), nullptr);
        if (!made)
            throw DbError(
                ("Cannot encrypt the password: " + plainReason(libpq().errorMessage(m_connection)))
                    .toStdString());
        const QByteArray verifier(made);
        libpq().freemem(made);
        return verifier;
    }

    QStringList tableNames() override {
        const RowSet rows = query(QStringLiteral("SELECT table_name FROM information_schema.tables "
                                                 "WHERE table_schema = current_schema()"),
                                  {});
        QStringList names;
        for (int i = 0; i < rows.recordCount(); ++i)
            names << rows.row(i).at(0).toString();
        return names;
    }

    bool onServer() const override { return true; }
    void beginSnapshot() override {
        exec(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"), {});
    }
    void endSnapshot() override { exec(QStringLiteral("COMMIT"), {}); }

    // An identity column's sequence does not see keys written with their own values.
    void resumeNumbering(const QString& table, const QString& column) override {
        query(QStringLiteral("SELECT setval(pg_get_serial_sequence(?, ?), "
                             "coalesce(max(%1), 0) + 1, false) FROM %2")
                  .arg(column, table),
              {table.toLower(), column.toLower()});
    }
    void holdPagesForBulk(bool) override {} // the server manages its own memory

    // A trigram index serves a search for any part of the text, where the server has the
    // pg_trgm extension or lets this role add it; without it a search reads every row, as on
    // the file.
    void indexForSearch(const QString& table, const QString& column) override {
        const QString operators = trigramOperators();
        if (operators.isEmpty())
            return;
        // The program's own names and the catalog's, never a text from outside.
        exec(QStringLiteral("CREATE INDEX sx_%1_%2 ON %1 USING gin ((%2::text) %3)")
                 .arg(table, column, operators),
             {});
    }

private:
    // A query's rows through a cursor of the open transaction, fetched as they are read.
    class BatchRows : public ResultRows {
    public:
        BatchRows(ServerConnection& connection, const QByteArray& statement, const Params& params)
            : m_connection(connection),
              m_name("vastrel_rows_" + QByteArray::number(++connection.m_cursors)) {
            m_connection.runText("DECLARE " + m_name + " NO SCROLL CURSOR FOR " + statement,
                                 params);
            fetch();
        }
        ~BatchRows() override {
            if (libpq().transactionStatus(m_connection.m_connection) != PQTRANS_INTRANS)
                return; // the transaction, and the cursor with it, has ended
            try {
                // A savepoint rolled back, or a transaction ended since, has closed it already;
                // closing it again would spoil the transaction now open.
                if (!m_connection
                         .query(QStringLiteral("SELECT 1 FROM pg_cursors WHERE name = ?"),
                                {QString::fromLatin1(m_name)})
                         .eof())
                    m_connection.runText("CLOSE " + m_name, {});
            } catch (const DbError&) {
                // The transaction's end closes it.
            }
        }
        BatchRows(const BatchRows&) = delete;
        BatchRows& operator=(const BatchRows&) = delete;

    private:
        static constexpr int kBatch = 2000;
        // A batch shorter than asked for was the last.
        bool refill() override {
            if (held() < kBatch)
                return false;
            fetch();
            return true;
        }
        void fetch() {
            hold(m_connection.runText(
                "FETCH FORWARD " + QByteArray::number(kBatch) + " FROM " + m_name, {}));
        }

        ServerConnection& m_connection;
        QByteArray m_name;
    };

    Result run(const QString& sql, const Params& params) {
        return runText(statementText(sql), params);
    }

    // `text` in the server's own SQL.
    Result runText(const QByteArray& text, const Params& params) {
        reconnectWhenLost();
        const ParamValues values(params);
        Result result(libpq().execParams(m_connection, text.constData(), values.count(), nullptr,
                                         values.values(), values.lengths(), values.formats(), 0));
        const ExecStatusType status = libpq().resultStatus(result.get());
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
            const QString reason = plainReason(libpq().resultErrorMessage(result.get()));
            if (libpq().status(m_connection) == CONNECTION_BAD)
                throw DbError("The connection to the database server was lost; nothing was "
                              "saved, and the next action connects again: " +
                                  reason,
                              "Koneksi ke server database terputus; data tidak tersimpan. Ulangi "
                              "perintah untuk menyambung kembali. (" +
                                  reason + ")");
            throw DbError(("Statement failed: " + reason).toStdString());
        }
        return result;
    }

    // After the server went away, the next statement tries a new connection, with the
    // password it was made with; a transaction that was open is gone with the old one, and
    // nothing of it was saved.
    void reconnectWhenLost() {
        if (libpq().status(m_connection) != CONNECTION_BAD)
            return;
        libpq().finish(m_connection);
        m_connection = connectTo(m_uri, m_password);
        if (!connected())
            throw connectionFailure();
        setBusyTimeout(m_lockTimeoutMs);
    }

    QByteArray statementText(const QString& sql) {
        if (const auto kept = m_texts.constFind(sql); kept != m_texts.constEnd())
            return *kept;
        QByteArray text;
        if (sql.startsWith(QLatin1String("CREATE TABLE")) ||
            sql.startsWith(QLatin1String("ALTER TABLE"))) {
            ensureCitext();
            text = serverStatement(serverDefinition(sql), {});
        } else {
            if (sql.contains(QLatin1String("ORDER BY"), Qt::CaseInsensitive))
                readColumnNulls();
            text = serverStatement(sql, m_columnNulls);
        }
        // A statement that changes the tables changes what the others become.
        static const QRegularExpression changesTables(
            QStringLiteral("^(CREATE|ALTER|DROP)\\s+TABLE\\b"),
            QRegularExpression::CaseInsensitiveOption);
        if (changesTables.match(sql).hasMatch()) {
            m_texts.clear();
            m_columnNulls.clear();
        } else {
            m_texts.insert(sql, text);
        }
        return text;
    }

    void readColumnNulls() {
        if (!m_columnNulls.isEmpty())
            return;
        const RowSet columns = query(QStringLiteral("SELECT table_name, column_name, is_nullable "
                                                    "FROM information_schema.columns WHERE "
                                                    "table_schema = current_schema()"),
                                     {});
        for (int i = 0; i < columns.recordCount(); ++i) {
            const QVariantList& row = columns.row(i);
            m_columnNulls[row.at(0).toString().toUtf8()][row.at(1).toString().toUtf8()] =
                row.at(2).toString() == QLatin1String("YES");
        }
    }

    // The trigram operator class, named with the schema pg_trgm is in; empty when it is
    // neither there nor to be added.
    QString trigramOperators() {
        const QString installed = QStringLiteral(
            "SELECT n.nspname FROM pg_extension e JOIN pg_namespace n ON n.oid = e.extnamespace "
            "WHERE e.extname = 'pg_trgm'");
        RowSet schema = query(installed, {});
        if (schema.eof()) {
            if (query(QStringLiteral("SELECT 1 FROM pg_available_extensions "
                                     "WHERE name = 'pg_trgm'"),
                      {})
                    .eof())
                return {};
            // A role that may not add it goes on without: the unit stays whole.
            const bool unit = inTransaction();
            if (unit)
                exec(QStringLiteral("SAVEPOINT vastrel_trigrams"), {});
            try {
                exec(QStringLiteral("CREATE EXTENSION pg_trgm"), {});
                if (unit)
                    exec(QStringLiteral("RELEASE SAVEPOINT vastrel_trigrams"), {});
            } catch (const DbError&) {
                if (unit)
                    exec(QStringLiteral("ROLLBACK TO SAVEPOINT vastrel_trigrams"), {});
                return {};
            }
            schema = query(installed, {});
        }
        return '"' + schema.row(0).at(0).toString().replace('"', QLatin1String("\"\"")) +
               QLatin1String("\".gin_trgm_ops");
    }

    // Texts compared without regard to case are the citext extension's.
    void ensureCitext() {
        if (m_citext)
            return;
        refuseForeignLocale();
        Result result(libpq().exec(m_connection, "CREATE EXTENSION IF NOT EXISTS citext"));
        if (libpq().resultStatus(result.get()) != PGRES_COMMAND_OK)
            throw DbError(("Cannot prepare the schema: " +
                           plainReason(libpq().resultErrorMessage(result.get())))
                              .toStdString());
        m_citext = true;
    }

    // Texts must compare, search and sort as the file's do (ASCII letters folded, every other
    // character as it is, then bytes), which the flat file's lists and the checks for an
    // existing name rely on. Only a database of the C collation sorts so, and only one of the
    // C character type folds ASCII letters alone: C.UTF-8 and the others take é for É.
    void refuseForeignLocale() {
        const RowSet db = query(QStringLiteral("SELECT datcollate, datctype, datlocprovider FROM "
                                               "pg_database WHERE datname = current_database()"),
                                {});
        const QString collation = db.row(0).at(0).toString();
        const QString characterType = db.row(0).at(1).toString();
        const auto plainC = [](const QString& locale) {
            return locale == QLatin1String("C") || locale == QLatin1String("POSIX");
        };
        const char* advice = "; create it with the C locale (createdb --template=template0 "
                             "--encoding=UTF8 --locale=C)";
        if (db.row(0).at(2).toString() != QLatin1String("c") ||
            !(plainC(collation) || collation.startsWith(QLatin1String("C."))))
            throw DbError(
                ("The database sorts by the collation " + collation + advice).toStdString());
        if (!plainC(characterType))
            throw DbError(("The database folds letters by the character type " + characterType +
                           ", where accented capitals equal small letters" + advice)
                              .toStdString());
    }

    QString m_uri;
    std::string m_password;
    PGconn* m_connection;
    int m_lockTimeoutMs = kDefaultLockTimeoutMs;
    QHash<QString, QByteArray> m_texts;
    ColumnNulls m_columnNulls;
    int m_changes = 0;
    bool m_citext = false;
    int m_cursors = 0;
};

} // namespace

std::unique_ptr<Connection> openServerConnection(const QString& uri, const std::string& password) {
    auto connection = std::make_unique<ServerConnection>(uri, password);
    if (!connection->connected())
        throw connection->connectionFailure();
    connection->setBusyTimeout(kDefaultLockTimeoutMs);
    return connection;
}

} // namespace vastrel
