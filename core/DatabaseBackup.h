#pragma once

#include <QString>

#include <string>

namespace vastrel {

class Database;

// Copies the open database `db`, as one consistent snapshot, into `target` under the
// same `password`. The copy is checked before it takes the target's name; the file
// is readable by its owner only. Throws DbError or FileWriteError; the target is then
// untouched.
void backupDatabase(Database& db, const std::string& password, const QString& target);

// Throws UserError for a database on a server: the server's own tools back that up.
void refuseServerBackup(const Database& db);

// Throws DbError unless the file at `path` opens with `password`, passes the engine's
// integrity check and holds the program's tables.
void verifyDatabaseFile(const QString& path, const std::string& password);

// Puts the backup `source` in the place of the database file `dbPath`, after checking it
// with `password`. The replaced database is kept beside it under a dated name, which is
// returned (empty when there was none); at every moment `dbPath` holds one whole database. The
// database must not be open elsewhere. Throws DbError or FileWriteError and changes nothing.
QString restoreDatabase(const QString& dbPath, const std::string& password, const QString& source);

} // namespace vastrel
