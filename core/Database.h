#pragma once

#include "UserError.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace vastrel {

// A failed open or statement; what() carries the engine's reason.
class DbError : public UserError {
public:
    explicit DbError(const std::string& english) : UserError(QString::fromStdString(english)) {}
    explicit DbError(const char* english) : DbError(std::string(english)) {}
    // A failure the screens say in their own words.
    DbError(const QString& english, const QString& indonesian) : UserError(english, indonesian) {}
};

// A commit whose answer never came: the server may have kept the work or not. Whoever
// would do it again must look first.
class CommitOutcomeUnknown : public DbError {
public:
    CommitOutcomeUnknown()
        : DbError(QStringLiteral("The connection to the database server was lost while it "
                                 "confirmed the save: whether it was saved is unknown. Look at "
                                 "the data before doing it again."),
                  QStringLiteral("Koneksi ke server database terputus saat penyimpanan "
                                 "dikonfirmasi: tidak diketahui apakah data tersimpan. Periksa "
                                 "datanya sebelum mengulang.")) {}
};

// Values bound to the `?` placeholders of a statement, in order.
// A null QVariant binds NULL; integers, doubles and texts bind as themselves, a
// QByteArray as raw bytes (a blob).
using Params = QVariantList;

// A read-only snapshot of a query result with a current position, the way the
// screens walk their lists: open at the first row (or at EOF when empty),
// move first/last/next/previous, 1-based absolute position.
class RowSet {
public:
    RowSet() = default;
    RowSet(QStringList columns, std::vector<QVariantList> rows);

    int recordCount() const { return static_cast<int>(m_rows.size()); }
    bool bof() const { return m_pos < 0 || m_rows.empty(); }
    bool eof() const { return m_pos >= recordCount() || m_rows.empty(); }

    void moveFirst() { m_pos = 0; }
    void moveLast() { m_pos = recordCount() - 1; }
    void moveNext();
    void movePrevious();
    // 1-based position of the current row; 0 when before the first or after the last row.
    int absolutePosition() const;
    void setAbsolutePosition(int position);

    int fieldCount() const { return static_cast<int>(m_columns.size()); }
    QString fieldName(int index) const { return m_columns.value(index); }
    // Fields of the current row, by 0-based index or by column name (any case).
    // Reading outside a row, or an unknown column, throws DbError.
    QVariant value(int index) const;
    QVariant value(const QString& name) const;
    bool isNull(const QString& name) const { return value(name).isNull(); }
    // The field as text; a null field gives the empty text.
    QString text(const QString& name) const { return value(name).toString(); }

    const QVariantList& row(int index) const { return m_rows.at(static_cast<size_t>(index)); }
    // Adds the rows of a later page of the same query.
    void append(const RowSet& more) {
        m_rows.insert(m_rows.end(), more.m_rows.begin(), more.m_rows.end());
    }

private:
    int columnIndex(const QString& name) const;

    QStringList m_columns;
    std::vector<QVariantList> m_rows;
    int m_pos = 0;
};

// A query read one row at a time, for results too large to hold whole. Open while it
// lives; the connection must outlive it.
class RowSource;

class Cursor {
public:
    explicit Cursor(std::unique_ptr<RowSource> source);
    Cursor(Cursor&& other) noexcept;
    Cursor& operator=(Cursor&&) = delete;
    Cursor(const Cursor&) = delete;
    ~Cursor();

    // Steps to the next row; false after the last. Throws DbError when the engine fails.
    bool next();
    // The current row's fields, in the order of the SELECT.
    const QVariantList& row() const { return m_row; }
    QStringList columnNames() const;

private:
    std::unique_ptr<RowSource> m_source;
    QVariantList m_row;
    bool m_done = false;
};

class Connection;

// The one connection of the program to its data: the password-protected database file
// (SQLCipher) or a PostgreSQL server. Every statement takes its values as bound
// parameters; what differs between the two engines stays behind this class.
class Database {
public:
    Database();
    ~Database();
    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens an existing file with its password and proves the key by reading the
    // catalogue at once. Throws DbError when the file is missing, is not a database,
    // or the password is wrong.
    static Database open(const QString& path, const std::string& password);
    // Creates a new, empty encrypted file readable by its owner only; fails when the file
    // already exists.
    static Database create(const QString& path, const std::string& password);
    // Connects to a PostgreSQL server by a postgresql:// URI, with the password apart from
    // it. Throws DbError with the server's reason.
    static Database connectServer(const QString& uri, const std::string& password);

    bool isOpen() const { return m_connection != nullptr; }
    // Whom the changes made through this connection are recorded under (the logged-in user).
    void setUserName(const QString& name) { m_userName = name; }
    const QString& userName() const { return m_userName; }
    // True on a database server, where several clerks work at once.
    bool onServer() const;
    void close();

    // How long a statement waits for a file locked by another process.
    void setBusyTimeout(int milliseconds);

    void exec(const QString& sql, const Params& params = {});
    RowSet query(const QString& sql, const Params& params = {}) const;
    Cursor cursor(const QString& sql, const Params& params = {}) const;
    // First column of the first row, or a null value when there is no row.
    QVariant scalar(const QString& sql, const Params& params = {}) const;

    long long lastInsertId() const;
    int changes() const;

    void begin();
    void commit();
    void rollback();
    // True while a transaction is open.
    bool inTransaction() const;
    // Inside a transaction: other clerks saving the rows of `table` that match `where` wait
    // until it ends, and then see what it wrote. `table` and `where` are the program's own
    // texts; values go in `params`.
    void lockRows(const QString& table, const QString& where, const Params& params);

    // Re-enciphers the whole file under a new password; a server refuses (its administrator
    // changes its password).
    void rekey(const std::string& newPassword);
    // What a server keeps of the password `role` is to log in with, made here so that the
    // password itself is never sent; the file has no roles.
    QByteArray passwordVerifier(const std::string& password, const QString& role) const;

    // The tables the database holds, in any order.
    QStringList tableNames() const;
    // After rows were written with their own values in the numbered `column` of `table`
    // (the program's own names), new rows are numbered after the largest.
    void resumeNumbering(const QString& table, const QString& column);
    // Makes searches for any part of the texts of `column` quick, where the engine can.
    void indexForSearch(const QString& table, const QString& column);

private:
    friend class BulkWrite;
    friend class ReadSnapshot;
    explicit Database(std::unique_ptr<Connection> connection);
    Connection& connection() const;

    std::unique_ptr<Connection> m_connection;
    QString m_userName;
};

// A scope that writes thousands of rows in one transaction (an import): the engine keeps
// more of the file in memory, so that its pages are written once at the commit instead of
// being spilled and read back.
class BulkWrite {
public:
    explicit BulkWrite(Database& db);
    ~BulkWrite();
    BulkWrite(const BulkWrite&) = delete;
    BulkWrite& operator=(const BulkWrite&) = delete;

private:
    Database& m_db;
};

// A scope of reading that sees one moment of the data throughout, while other clerks may
// be saving: a flat file or a report made of several queries. Inside an open transaction
// it adds nothing.
class ReadSnapshot {
public:
    explicit ReadSnapshot(const Database& db);
    ~ReadSnapshot();
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;

private:
    const Database& m_db;
    bool m_own;
};

// Whether MANIFEST.INI's database name is a server's postgresql:// (or postgres://) URI
// rather than a file name.
bool isServerAddress(const QString& name);

// A server's URI as messages may quote it: without a password written in it (after the user
// name, or as its `password` setting).
QString withoutPassword(const QString& uri);
inline bool holdsPassword(const QString& uri) {
    return withoutPassword(uri) != uri;
}
// A server's URI that logs in as `role`, whatever user it named.
QString withUser(const QString& uri, const QString& role);
// The user a server's URI names before its hosts; empty when it names none there.
QString uriUser(const QString& uri);

// The database MANIFEST.INI names: a server by its URI, else a file in `folder`.
Database openNamedDatabase(const QString& folder, const QString& name, const std::string& password);

// Runs the statements of its scope as one unit: rolled back unless commit() is reached.
// Inside an open transaction it becomes a savepoint of it, so units compose: an inner
// unit's work stands or falls with the outer one.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();
    // Undoes the unit now rather than at the end of its scope.
    void rollback();

private:
    Database& m_db;
    bool m_nested;
    bool m_done = false;
};

} // namespace vastrel
