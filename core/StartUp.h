#pragma once

#include "AppState.h"

#include <QString>
#include <QStringList>

namespace vastrel {

inline const QString kIniFileName = QStringLiteral("MANIFEST.INI");
inline const QString kConnectionFailedMessage =
    QStringLiteral("Connection to database failed, Please cek your connection");

// The per-user installation folder: $XDG_DATA_HOME/vastrel, by default
// ~/.local/share/vastrel.
QString userDataFolder();

// The installation folder the user named: `--home DIR` among the arguments, else the
// VASTREL_HOME environment variable; empty when neither names one.
QString namedProgramFolder(const QStringList& arguments);

// The installation folder: `--home DIR` among the arguments, else the VASTREL_HOME
// environment variable, else the folder of the executable when it holds MANIFEST.INI,
// else userDataFolder(). Without an executable folder (the admin tool), empty when
// neither --home nor VASTREL_HOME names one.
QString resolveProgramFolder(const QStringList& arguments, const QString& executableFolder);

// What the program's command line asks for, read before any window system is touched:
// run, print the usage or the version (exit 0), or the usage for a mistake (exit 2).
// Options with one dash belong to the window system and are left to it.
enum class CommandLineAction { Run, Help, Version, Mistake };
CommandLineAction parseCommandLine(const QStringList& arguments);
inline const char* kProgramUsage =
    "Usage: vastrel [--home DIR]\n"
    "       vastrel --help | --version\n"
    "Starts the manifest application on the installation in DIR; without --home, on\n"
    "VASTREL_HOME, else the program's folder when it holds MANIFEST.INI, else\n"
    "$XDG_DATA_HOME/vastrel (~/.local/share/vastrel).\n";

bool ReadManifestIni(AppState& state);
bool OpenConnection(AppState& state);
bool LoadProfile(AppState& state);
void GetJenisManifest(AppState& state);

enum class StartScreen {
    IniFailed,        // MANIFEST.INI missing, unreadable or incomplete: no window
    ConnectionFailed, // show connectionFailure(), then end
    Login,
    Profile, // no company profile yet
};

// Mends an interrupted password change, reads the configuration, opens the database
// and loads the profile and the manifest kind; tells which screen comes first.
StartScreen StartUp(AppState& state);

// kConnectionFailedMessage, with the server's reason beneath it where start-up met one.
DbError connectionFailure(const AppState& state);

} // namespace vastrel
