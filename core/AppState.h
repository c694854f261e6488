#pragma once

#include "Database.h"
#include "PasswordChange.h"
#include "SchemaUpgrade.h"
#include "ServerRoles.h"
#include "UserError.h"

#include <QString>

#include <optional>
#include <string>

namespace vastrel {

// Where the entry screen stands; the main window's commands and the entry
// screen both read and change it.
struct EntryState {
    QString StrMode; // last command: "new", "edit", "open", "save", "delete"
    QString StrPart = QStringLiteral("header"); // active half: "header" or "detail"
    bool VarHeaderOpen = false;                 // a manifest is loaded in the entry screen
    bool VarNavigate = false;                   // navigation clicks are obeyed
    int HeaderPosition = 0;                     // 1-based header to return to after a save
    int DetailPosition = 0;                     // 1-based POS to return to after a save
    QString StrNoDaftar;                        // key of the manifest on the entry screen
};

// The state the whole program shares: the connection, the configuration read at
// start-up and the company profile. The application owns one and hands it to
// its screens.
struct AppState {
    QString programFolder;
    QString StrDbName;
    std::string StrDbPassword; // deciphered password, as the engine's key bytes
    // The tables' owner, for the admin tool's commands that change the tables or their users on
    // a server; without it the connection is MANIFEST.INI's role (a clerk's).
    std::optional<ServerLogin> owner;
    Database Conn;
    QString StrJenis = QStringLiteral("0"); // "0" sea, "1" air
    QString StrVersion;
    QString StrInisial;
    bool VarProfile = false;
    // What start-up did about a password change a crash had interrupted.
    PasswordRecovery passwordRecovery = PasswordRecovery::None;
    // What start-up did to tables of an earlier version.
    SchemaUpgrade schemaUpgrade;
    // Why start-up could not use the database, where more is to be said than the message:
    // in a server's words, or why tables were not upgraded.
    std::optional<UserError> failureReason;
    EntryState entry;

    QString iniPath() const;
    bool isAir() const { return StrJenis == QLatin1String("1"); }
};

} // namespace vastrel
