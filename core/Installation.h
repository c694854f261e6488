#pragma once

#include "AppState.h"
#include "ReferenceUpdate.h"
#include "ServerRoles.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <string>

namespace vastrel {

inline const QString kDefaultDbFileName = QStringLiteral("manifest.db");
// The version history that About shows, in the installation's folder.
inline const QString kAboutFileName = QStringLiteral("About.INI");

struct InitOptions {
    QString folder;
    std::string password;
    bool air = false;
    bool demo = false;
    // A first user to log in with, when a name is given.
    QString userName = {};
    QString userPassword = {};
    // A postgresql:// URI: the database is on that server, made by the role it names (the
    // tables' owner), whose password `password` is; MANIFEST.INI names the clerk instead.
    QString server = {};
    ClerkRole clerk = {};
    // Code lists the new tables start with (the shipped packs), and the progress of their load.
    std::vector<ReferenceContent> reference = {};
    LoadProgress progress = {};
};

// Creates an installation: MANIFEST.INI naming the database and holding its
// enciphered password, and the encrypted database with every table, both readable
// by their owner only, and About.INI unless the folder has one; with a server, the tables in its
// (empty) database instead, and their clerk (ServerRoles.h), whose login MANIFEST.INI holds.
// Refuses a folder that already holds either file, and a server URI that holds a password. Throws
// DbError, UserError or FileWriteError with the reason, leaving no file behind. Returns warnings
// for the administrator (in English): a clerk that cannot log in yet.
QStringList initInstallation(const InitOptions& options);

// The installation's state as the program starts it: connection, manifest kind and
// version. A password change a crash interrupted is mended first and said on `notes`
// (when given). On a server, connected as `owner` when given (a file has no owner: refused).
// Throws DbError when it cannot be opened.
AppState connectInstallation(const QString& folder, QString* notes = nullptr,
                             std::optional<ServerLogin> owner = std::nullopt);

// Opens the database of an installation as the application does.
Database openInstallation(const QString& folder);

// On a server, only the tables' owner may.
void addUser(Database& db, const QString& name, const QString& password);

// Re-enciphers the connected installation's database under a new password and rewrites
// MANIFEST.INI; a crash at any moment leaves an installation that opens.
void changePassword(AppState& state, const std::string& newPassword);

// Copies the database into `target`, under the same password.
void backupInstallation(const QString& folder, const QString& target);

// Replaces the database by the backup `source`; returns where the replaced one was kept.
QString restoreInstallation(const QString& folder, const QString& source);

// Makes MANIFEST.INI, the database and its journal readable by their owner only;
// returns the files whose mode changed.
QStringList tightenPermissions(const QString& folder);

} // namespace vastrel
