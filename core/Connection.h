#pragma once

#include "Database.h"

#include <memory>
#include <string>

namespace vastrel {

// The engine side of a Cursor: one query's rows, read one at a time.
class RowSource {
public:
    virtual ~RowSource() = default;
    // Reads the next row into `row`; false after the last.
    virtual bool next(QVariantList& row) = 0;
    virtual QStringList columnNames() const = 0;
};

// The engine behind a Database: the encrypted file or a server. Statements come in the
// program's one SQL, with `?` placeholders and the schema's column kinds; each engine
// makes of them what it needs.
class Connection {
public:
    virtual ~Connection() = default;

    virtual void exec(const QString& sql, const Params& params) = 0;
    virtual RowSet query(const QString& sql, const Params& params) = 0;
    // Rows read as they are needed, not all held at once (on the server: inside a transaction).
    virtual std::unique_ptr<RowSource> cursor(const QString& sql, const Params& params) = 0;
    virtual long long lastInsertId() = 0;
    virtual int changes() = 0;

    // Starts a transaction that writes (on the file: takes its write lock at once).
    virtual void begin() = 0;
    // Ends the transaction; throws when nothing of it could be kept. On the server that is so
    // after any failed statement of it, where the file would keep the others: the program
    // never goes on with a unit after a failure, so both engines keep the same.
    virtual void commit() = 0;
    // Inside a transaction: makes other writers of the matching rows wait for its end.
    virtual void lockRows(const QString& table, const QString& where, const Params& params) = 0;
    virtual bool inTransaction() const = 0;
    virtual void setBusyTimeout(int milliseconds) = 0;
    virtual void rekey(const std::string& newPassword) = 0;
    virtual QByteArray passwordVerifier(const std::string& password, const QString& role) = 0;
    virtual QStringList tableNames() = 0;
    // After rows were written with their own values in `column`, the database's numbering
    // of it goes on after the largest.
    virtual void resumeNumbering(const QString& table, const QString& column) = 0;
    // Makes `column LIKE '%part%'` quick, where the engine can.
    virtual void indexForSearch(const QString& table, const QString& column) = 0;
    virtual bool onServer() const = 0;
    // Starts (or ends) a unit of reading that sees one moment of the data throughout, as a
    // flat file's several queries must.
    virtual void beginSnapshot() = 0;
    virtual void endSnapshot() = 0;
    // Holds more of the data in memory while thousands of rows are written, or no longer.
    virtual void holdPagesForBulk(bool bulk) = 0;
};

// The encrypted database file at `path`; `create` makes a new one readable by its owner
// only, refusing a file that exists.
std::unique_ptr<Connection> openFileConnection(const QString& path, const std::string& password,
                                               bool create);

// A PostgreSQL server at a postgresql:// URI.
std::unique_ptr<Connection> openServerConnection(const QString& uri, const std::string& password);

} // namespace vastrel
