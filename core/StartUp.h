#pragma once

#include "AppState.h"

#include <QString>
#include <QStringList>

namespace vastrel {

inline const QString kIniFileName = QStringLiteral("MANIFEST.INI");
inline const QString kConnectionFailedMessage =
    QStringLiteral("Connection to database failed, Please cek your connection");

// The installation folder: `--home DIR` among the arguments, else the
// VASTREL_HOME environment variable, else the folder of the executable.
QString resolveProgramFolder(const QStringList& arguments, const QString& executableFolder);

bool ReadManifestIni(AppState& state);
bool OpenConnection(AppState& state);
bool LoadProfile(AppState& state);
void GetJenisManifest(AppState& state);

enum class StartScreen {
    IniFailed,        // MANIFEST.INI missing, unreadable or incomplete: no window
    ConnectionFailed, // show kConnectionFailedMessage, then end
    Login,
    Profile, // no company profile yet
};

// Mends an interrupted password change, reads the configuration, opens the database
// and loads the profile and the manifest kind; tells which screen comes first.
StartScreen StartUp(AppState& state);

} // namespace vastrel
