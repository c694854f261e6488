#pragma once

#include "Database.h"

#include <QString>

#include <string>

namespace vastrel {

// The state the whole program shares: the connection, the configuration read at
// start-up and the company profile. The application owns one and hands it to
// its screens.
struct AppState {
    QString programFolder;
    QString StrDbName;
    std::string StrDbPassword; // deciphered password, as the engine's key bytes
    Database Conn;
    QString StrJenis = QStringLiteral("0"); // "0" sea, "1" air
    QString StrVersion;
    QString StrInisial;
    bool VarProfile = false;

    QString iniPath() const;
    bool isAir() const { return StrJenis == QLatin1String("1"); }
};

} // namespace vastrel
