#include "Installation.h"

#include "DatabaseBackup.h"
#include "DemoData.h"
#include "DurableFile.h"
#include "ManifestIni.h"
#include "PasswordChange.h"
#include "PasswordHash.h"
#include "ProgramVersion.h"
#include "Schema.h"
#include "ServerRoles.h"
#include "StartUp.h"
#include "UserError.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>

namespace vastrel {

namespace {

[[noreturn]] void fail(const QString& message) {
    throw DbError(message.toStdString());
}

QString recoveryNote(PasswordRecovery recovery) {
    switch (recovery) {
    case PasswordRecovery::Finished:
        return QStringLiteral(
            "An interrupted password change was finished: the new password is in force.");
    case PasswordRecovery::RolledBack:
        return QStringLiteral(
            "An interrupted password change was undone: the old password is in force.");
    case PasswordRecovery::None:
        break;
    }
    return {};
}

QString upgradeNote(const SchemaUpgrade& upgrade) {
    if (upgrade.from == 0)
        return {};
    QString note = QStringLiteral("The tables were upgraded from version %1 to %2.")
                       .arg(upgrade.from)
                       .arg(upgrade.to);
    if (!upgrade.backup.isEmpty())
        note += " The database as it was is kept as " + upgrade.backup + '.';
    return note;
}

// The installation's configuration from MANIFEST.INI, without opening the database.
AppState configured(const QString& folder) {
    AppState state;
    state.programFolder = folder;
    if (!ReadManifestIni(state))
        fail("Cannot read " + state.iniPath());
    return state;
}

// The tables of a new database, with the demo data and the first user when asked for.
void fillNewDatabase(Database& db, const InitOptions& options) {
    Transaction tx(db);
    schema::create(db);
    for (const ReferenceContent& content : options.reference)
        loadReference(db, *content.table, content.entries, content.source, options.progress);
    // Without demo data the company profile screen creates the setting row on the first run.
    if (options.demo)
        addDemoData(db, options.air);
    if (!options.userName.isEmpty())
        addUser(db, options.userName, options.userPassword);
    tx.commit();
}

// MANIFEST.INI keeps the URI in clear, readable by whoever reads the file: the password goes
// apart, enciphered.
void refusePasswordInUri(const QString& uri) {
    if (holdsPassword(uri))
        throw UserError("The server's URI holds a password, which MANIFEST.INI would keep in "
                        "clear: give the URI without it (" +
                            withoutPassword(uri) + "); the password is asked apart",
                        "URI server berisi password, yang akan tersimpan tanpa sandi di "
                        "MANIFEST.INI: tulis URI tanpa password (" +
                            withoutPassword(uri) + "); password diminta terpisah");
}

// MANIFEST.INI of a new installation whose database `name` opens with `password`.
QByteArray iniText(const QString& name, const std::string& password, bool air) {
    return databaseValuesLine(name, password) + "[MANIFEST]\r\nJENIS=" + (air ? "1" : "0") +
           "\r\nVERSION=1.0\r\n";
}

// A server's database holds the tables and their clerk once MANIFEST.INI names it: both or
// neither.
QStringList initOnServer(const InitOptions& options, const QString& iniPath) {
    Database db = Database::connectServer(options.server, options.password);
    if (!db.tableNames().isEmpty())
        fail("The database at " + withoutPassword(options.server) +
             " already holds tables; give an empty one");
    Transaction tx(db);
    fillNewDatabase(db, options);
    ClerkRole clerk = options.clerk;
    const QString clerkUri = setUpClerk(db, options.server, clerk);
    writeFileDurably(iniPath, iniText(clerkUri, clerk.password, options.air),
                     FileAccess::OwnerOnly);
    try {
        tx.commit();
    } catch (const DbError&) {
        QFile::remove(iniPath);
        throw;
    }
    // The server's rules of who may connect from where are its administrator's.
    if (const QString failure = loginFailure(clerkUri, clerk.password); !failure.isEmpty())
        return {"the clerk " + clerk.name + " cannot log in, nor the workstations start, until " +
                "the server lets it: " + failure};
    return {};
}

// Backups and restores of a server's database are the server's own.
void refuseOnServer(const AppState& state, const char* what) {
    if (isServerAddress(state.StrDbName))
        fail(QStringLiteral("The database is on a server (%1): its %2 is made with the server's "
                            "own tools, such as pg_dump")
                 .arg(withoutPassword(state.StrDbName), QLatin1String(what)));
}

QStringList initInFile(const InitOptions& options, const QString& dbPath, const QString& iniPath) {
    try {
        Database db = Database::create(dbPath, options.password);
        fillNewDatabase(db, options);
        db.close();
        writeFileDurably(iniPath, iniText(kDefaultDbFileName, options.password, options.air),
                         FileAccess::OwnerOnly);
    } catch (const std::runtime_error&) {
        QFile::remove(dbPath);
        throw;
    }
    return {};
}

// About shows the version history of About.INI; a new installation starts it, and keeps
// the one a program folder already ships.
void writeFirstAboutNotes(const QString& path) {
    if (!QFile::exists(path))
        writeFileDurably(path, QByteArray(kProgramVersion) + " Instalasi baru\r\n",
                         FileAccess::Shared);
}

} // namespace

QStringList initInstallation(const InitOptions& options) {
    if (options.password.empty())
        fail(QStringLiteral("The database password must not be empty"));
    refusePasswordInUri(options.server);
    const QDir dir(options.folder);
    const QString shown = QDir::toNativeSeparators(options.folder);
    // A new folder holds secrets: its owner's alone, whatever the umask.
    const bool existed = dir.exists();
    if (!dir.mkpath(QStringLiteral(".")) ||
        (!existed && !QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                            QFile::ExeOwner)))
        throw UserError("Cannot create the folder " + shown,
                        "Folder " + shown + " tidak dapat dibuat");
    const QString iniPath = dir.filePath(kIniFileName);
    const QString dbPath = dir.filePath(kDefaultDbFileName);
    if (QFile::exists(iniPath) || QFile::exists(dbPath))
        throw UserError(shown + " already holds an installation",
                        "Folder " + shown + " sudah berisi instalasi (" + kDefaultDbFileName + ")");

    const QStringList warnings = options.server.isEmpty() ? initInFile(options, dbPath, iniPath)
                                                          : initOnServer(options, iniPath);
    writeFirstAboutNotes(dir.filePath(kAboutFileName));
    return warnings;
}

AppState connectInstallation(const QString& folder, QString* notes,
                             std::optional<ServerLogin> owner) {
    if (owner && !isServerAddress(configured(folder).StrDbName))
        fail("The database of " + folder +
             " is a file, which has no owner role: leave out --owner");
    AppState state;
    state.programFolder = folder;
    state.owner = std::move(owner);
    switch (StartUp(state)) {
    case StartScreen::IniFailed:
        fail("Cannot read " + state.iniPath());
    case StartScreen::ConnectionFailed:
        throw connectionFailure(state);
    case StartScreen::Login:
    case StartScreen::Profile:
        break;
    }
    if (notes)
        *notes = (recoveryNote(state.passwordRecovery) + '\n' + upgradeNote(state.schemaUpgrade))
                     .trimmed();
    return state;
}

Database openInstallation(const QString& folder) {
    return std::move(connectInstallation(folder).Conn);
}

void addUser(Database& db, const QString& name, const QString& password) {
    if (name.trimmed().isEmpty())
        fail(QStringLiteral("The user name must not be empty"));
    if (!ownsTables(db))
        fail(QStringLiteral("Users are added by the role that owns the tables on the server: give "
                            "--owner ROLE"));
    if (db.scalar(QStringLiteral("SELECT count(*) FROM tbluser WHERE user = ?"), {name}).toInt())
        fail("The user " + name + " already exists");
    db.exec(QStringLiteral("INSERT INTO tbluser (user, password) VALUES (?, ?)"),
            {name.toUpper(), hashPassword(password)});
}

void changePassword(AppState& state, const std::string& newPassword) {
    if (newPassword.empty())
        fail(QStringLiteral("The database password must not be empty"));
    changeDatabasePassword(state, newPassword);
}

void backupInstallation(const QString& folder, const QString& target) {
    refuseOnServer(configured(folder), "backup");
    AppState state = connectInstallation(folder);
    backupDatabase(state.Conn, state.StrDbPassword, target);
}

QString restoreInstallation(const QString& folder, const QString& source) {
    const AppState state = configured(folder);
    refuseOnServer(state, "restore");
    return restoreDatabase(QDir(folder).filePath(state.StrDbName), state.StrDbPassword, source);
}

QStringList tightenPermissions(const QString& folder) {
    const AppState state = configured(folder);
    const QString db = QDir(folder).filePath(state.StrDbName);
    QStringList files = {state.iniPath()};
    if (!isServerAddress(state.StrDbName))
        files << db << db + "-journal";
    QStringList changed;
    for (const QString& file : files) {
        const QByteArray name = QFile::encodeName(file);
        struct stat info {};
        if (::stat(name.constData(), &info) != 0 || (info.st_mode & 077) == 0)
            continue;
        if (::chmod(name.constData(), info.st_mode & 0700) != 0)
            fail("Cannot change the mode of " + file + ": " + reasonInEnglish(errno));
        changed << file;
    }
    return changed;
}

} // namespace vastrel
