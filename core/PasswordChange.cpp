#include "PasswordChange.h"

#include "AppState.h"
#include "DatabaseBackup.h"
#include "DurableFile.h"
#include "ManifestIni.h"
#include "ServerRoles.h"
#include "StartUp.h"

#include <QDir>
#include <QFile>

namespace vastrel {

namespace {

// The INI's text with its database values replaced: everything from the first section on stays.
QByteArray withDatabaseValues(const QString& iniPath, const QByteArray& valuesLine) {
    QFile file(iniPath);
    if (!file.open(QIODevice::ReadOnly))
        throw DbError(("Cannot read " + iniPath + ": " + file.errorString()).toStdString());
    const QByteArray content = file.readAll();
    const qsizetype section = content.indexOf('[');
    return valuesLine + (section < 0 ? QByteArray() : content.mid(section));
}

// Writes at `pending` the INI at `iniPath` with the database values of `password`, readable
// as the INI is.
void writePendingIni(const QString& iniPath, const QString& pending, const QString& dbName,
                     const std::string& password) {
    writeFileDurably(pending, withDatabaseValues(iniPath, databaseValuesLine(dbName, password)),
                     FileAccess::OwnerOnly);
    QFile::setPermissions(pending, QFile::permissions(iniPath));
}

// True when the INI at `iniPath` names a database of `folder` that opens with its password.
bool opensWith(const QString& folder, const QString& iniPath) {
    const auto values = readDatabaseValues(iniPath);
    if (!values)
        return false;
    try {
        openNamedDatabase(folder, values->dbName, values->password());
        return true;
    } catch (const DbError&) {
        return false;
    }
}

// After a re-key that failed: settles the INI on the password the file opens with and
// connects `state` again with it.
void keepPasswordInForce(AppState& state, const std::string& newPassword) {
    state.Conn.close();
    if (recoverPasswordChange(state.programFolder) == PasswordRecovery::Finished)
        state.StrDbPassword = newPassword;
    state.Conn = openNamedDatabase(state.programFolder, state.StrDbName, state.StrDbPassword);
}

} // namespace

void changeDatabasePassword(AppState& state, const std::string& newPassword,
                            const std::function<void(PasswordStep)>& afterStep) {
    const auto step = [&](PasswordStep done) {
        if (afterStep)
            afterStep(done);
    };
    const QString iniPath = state.iniPath();
    const QString pending = QDir(state.programFolder).filePath(kPendingIniFileName);
    writePendingIni(iniPath, pending, state.StrDbName, newPassword);
    step(PasswordStep::PendingIniWritten);
    try {
        state.Conn.rekey(newPassword);
        // The engine can report a re-key as done that a full disk cut short: only a file that
        // opens with the new key, every page read, lets the new INI take the old one's place.
        verifyDatabaseFile(QDir(state.programFolder).filePath(state.StrDbName), newPassword);
    } catch (const DbError& e) {
        keepPasswordInForce(state, newPassword);
        if (state.StrDbPassword == newPassword)
            return; // the re-key had taken after all
        throw DbError(
            "The password was not changed, the old one stays: " + QString::fromUtf8(e.what()),
            "Password tidak diganti, password lama tetap berlaku: " + QString::fromUtf8(e.what()));
    }
    step(PasswordStep::DatabaseRekeyed);
    try {
        renameDurably(pending, iniPath);
    } catch (const FileWriteError&) {
        // Back to the old password; should that fail too, the next start finishes the change.
        state.Conn.rekey(state.StrDbPassword);
        QFile::remove(pending);
        throw;
    }
    state.StrDbPassword = newPassword;
}

namespace {

// The database values of the server installation's MANIFEST.INI at `iniPath`; `onFile` says
// what is done instead for a database file.
DatabaseValues serverValues(const QString& iniPath, const QString& onFile) {
    const auto values = readDatabaseValues(iniPath);
    if (!values)
        throw DbError(("Cannot read " + iniPath).toStdString());
    if (!isServerAddress(values->dbName))
        throw UserError("The database is not on a server: " + onFile);
    return *values;
}

// Stores the login to `uri` with `password` in the MANIFEST.INI of `folder` once the server
// takes it; until then the old INI stays. `refused` leads the server's reason why not, in
// English and in Indonesian.
void storeServerLogin(const QString& folder, const QString& uri, const std::string& password,
                      const QString& refused, const QString& refusedInIndonesian) {
    const QDir dir(folder);
    const QString iniPath = dir.filePath(kIniFileName);
    const QString pending = dir.filePath(kPendingIniFileName);
    writePendingIni(iniPath, pending, uri, password);
    try {
        openNamedDatabase(folder, uri, password);
    } catch (const DbError& e) {
        QFile::remove(pending);
        throw DbError(refused + ", MANIFEST.INI stays as it was: " + QString::fromUtf8(e.what()),
                      refusedInIndonesian +
                          ", MANIFEST.INI tidak diubah: " + QString::fromUtf8(e.what()));
    }
    renameDurably(pending, iniPath);
}

} // namespace

void storeServerPassword(const QString& folder, const std::string& newPassword) {
    const DatabaseValues values =
        serverValues(QDir(folder).filePath(kIniFileName),
                     QStringLiteral("change its password with the password command"));
    storeServerLogin(folder, values.dbName, newPassword,
                     QStringLiteral("The server does not accept the new password"),
                     QStringLiteral("Server tidak menerima password baru"));
}

QString handOverToClerk(const QString& folder, ClerkRole& clerk) {
    const DatabaseValues values =
        serverValues(QDir(folder).filePath(kIniFileName), QStringLiteral("it has no clerk"));
    Database owner = openNamedDatabase(folder, values.dbName, values.password());
    if (!ownsTables(owner))
        throw UserError(QStringLiteral("MANIFEST.INI names a clerk already"));
    const QString ownerName = owner.scalar(QStringLiteral("SELECT current_user")).toString();
    Transaction tx(owner);
    const QString clerkUri = setUpClerk(owner, values.dbName, clerk);
    tx.commit();
    storeServerLogin(folder, clerkUri, clerk.password, "The clerk " + clerk.name + " cannot log in",
                     "Clerk " + clerk.name + " tidak dapat masuk");
    return ownerName;
}

PasswordRecovery recoverPasswordChange(const QString& folder) {
    const QDir dir(folder);
    const QString pending = dir.filePath(kPendingIniFileName);
    if (!QFile::exists(pending))
        return PasswordRecovery::None;
    // The order of the two tries does not matter: a re-key cut short leaves its journal, which
    // the engine plays back before it reads a page under either password, so such a file
    // opens with the old one only.
    const QString iniPath = dir.filePath(kIniFileName);
    if (opensWith(folder, iniPath)) {
        QFile::remove(pending);
        return PasswordRecovery::RolledBack;
    }
    if (!opensWith(folder, pending))
        return PasswordRecovery::None;
    renameDurably(pending, iniPath);
    return PasswordRecovery::Finished;
}

} // namespace vastrel
