#include "StartUp.h"

#include "DurableFile.h"
#include "ManifestIni.h"
#include "SchemaUpgrade.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vastrel {

QString AppState::iniPath() const {
    return QDir(programFolder).filePath(kIniFileName);
}

QString userDataFolder() {
    const QString base = qEnvironmentVariable("XDG_DATA_HOME");
    return QDir(base.isEmpty() ? QDir::home().filePath(QStringLiteral(".local/share")) : base)
        .filePath(QStringLiteral("vastrel"));
}

QString namedProgramFolder(const QStringList& arguments) {
    const qsizetype at = arguments.indexOf(QStringLiteral("--home"));
    if (at >= 0 && at + 1 < arguments.size())
        return arguments[at + 1];
    return qEnvironmentVariable("VASTREL_HOME");
}

QString resolveProgramFolder(const QStringList& arguments, const QString& executableFolder) {
    const QString named = namedProgramFolder(arguments);
    if (!named.isEmpty() || executableFolder.isEmpty())
        return named;
    // An installed program's folder is read-only: its MANIFEST.INI only when one is there.
    return QFile::exists(QDir(executableFolder).filePath(kIniFileName)) ? executableFolder
                                                                        : userDataFolder();
}

CommandLineAction parseCommandLine(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            return CommandLineAction::Help;
        if (argument == QLatin1String("--version"))
            return CommandLineAction::Version;
        if (argument == QLatin1String("--home")) {
            if (++i >= arguments.size())
                return CommandLineAction::Mistake;
        } else if (argument.startsWith(QLatin1String("--"))) {
            return CommandLineAction::Mistake;
        }
    }
    return CommandLineAction::Run;
}

bool ReadManifestIni(AppState& state) {
    const auto values = readDatabaseValues(state.iniPath());
    if (!values)
        return false;
    state.StrDbName = values->dbName;
    state.StrDbPassword = values->password();
    return true;
}

namespace {

// A file's failures are its password or the file itself, which the message covers; a
// server's have reasons of their own (its address, the role, the network) to be said.
void keepFailure(AppState& state, const DbError& failure) {
    state.Conn.close();
    if (isServerAddress(state.StrDbName))
        state.failureReason = failure;
}

// What a killed writer can leave in the installation's folder: temporary copies, and the
// engine's journal of a transaction over two databases (a backup). Once the database is open
// its own journal is settled, and no such file is wanted any more.
void removeLeftovers(const AppState& state) {
    const QDir folder(state.programFolder);
    removeStaleTemporaries(folder.path());
    if (isServerAddress(state.StrDbName))
        return;
    const QString dbName = QFileInfo(state.StrDbName).fileName();
    for (const QString& name : folder.entryList({dbName + "-mj*"}, QDir::Files))
        QFile::remove(folder.filePath(name));
}

} // namespace

bool OpenConnection(AppState& state) {
    try {
        state.Conn =
            state.owner
                ? Database::connectServer(withUser(state.StrDbName, state.owner->role),
                                          state.owner->password)
                : openNamedDatabase(state.programFolder, state.StrDbName, state.StrDbPassword);
    } catch (const DbError& failure) {
        keepFailure(state, failure);
        return false;
    }
    removeLeftovers(state);
    try {
        state.schemaUpgrade = upgradeInstallation(state);
    } catch (const UserError& failure) {
        // Tables of a newer program, or a backup that could not be made: said on either engine.
        state.Conn.close();
        state.failureReason = failure;
        return false;
    }
    return true;
}

bool LoadProfile(AppState& state) {
    RowSet rs = state.Conn.query(QStringLiteral("SELECT nama, inisial FROM tblsetting LIMIT 1"));
    if (rs.eof() || rs.text(QStringLiteral("nama")).isEmpty())
        return false;
    state.StrInisial = rs.text(QStringLiteral("inisial"));
    return true;
}

void GetJenisManifest(AppState& state) {
    const QVariant kind =
        state.Conn.scalar(QStringLiteral("SELECT jenis_manifest FROM tblsetting LIMIT 1"));
    state.StrJenis = kind.isValid() ? kind.toString() : QStringLiteral("0");
}

StartScreen StartUp(AppState& state) {
    try {
        state.passwordRecovery = recoverPasswordChange(state.programFolder);
    } catch (const FileWriteError&) {
        // The INI could not be replaced: the connection below fails and says so.
    }
    if (!ReadManifestIni(state))
        return StartScreen::IniFailed;
    if (!OpenConnection(state))
        return StartScreen::ConnectionFailed;
    try {
        state.VarProfile = LoadProfile(state);
        state.StrJenis = GetINI(state.iniPath(), "MANIFEST", "JENIS", "0");
        state.StrVersion = GetINI(state.iniPath(), "MANIFEST", "VERSION", "");
        GetJenisManifest(state);
    } catch (const DbError& failure) {
        // A database that opens but lacks the program's tables is no usable one.
        keepFailure(state, failure);
        return StartScreen::ConnectionFailed;
    }
    return state.VarProfile ? StartScreen::Login : StartScreen::Profile;
}

DbError connectionFailure(const AppState& state) {
    if (!state.failureReason)
        return DbError(kConnectionFailedMessage, kConnectionFailedMessage);
    return DbError(kConnectionFailedMessage + '\n' + QString::fromUtf8(state.failureReason->what()),
                   kConnectionFailedMessage + '\n' + state.failureReason->indonesian());
}

} // namespace vastrel
