#pragma once

#include <QString>

#include <string>

namespace vastrel {

class Database;

inline const QString kDefaultDbFileName = QStringLiteral("manifest.db");

struct InitOptions {
    QString folder;
    std::string password;
    bool air = false;
    bool demo = false;
};

// Creates an installation: MANIFEST.INI naming the database and holding its
// enciphered password, and the encrypted database with every table. Refuses a
// folder that already holds either file. Throws DbError with the reason.
void initInstallation(const InitOptions& options);

// Opens the database of an installation as the application does.
Database openInstallation(const QString& folder);

void addUser(Database& db, const QString& name, const QString& password);

// Re-enciphers the database under a new password and rewrites MANIFEST.INI.
void changePassword(const QString& folder, const std::string& newPassword);

// The two leading values of MANIFEST.INI, written in their quoted form.
QByteArray databaseValuesLine(const QString& dbName, const std::string& password);

} // namespace vastrel
