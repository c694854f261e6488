#include "PasswordChange.h"

#include "AppState.h"
#include "DurableFile.h"
#include "ManifestIni.h"
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

} // namespace

void changeDatabasePassword(AppState& state, const std::string& newPassword,
                            const std::function<void(PasswordStep)>& afterStep) {
    const auto step = [&](PasswordStep done) {
        if (afterStep)
            afterStep(done);
    };
    const QString iniPath = state.iniPath();
    const QString pending = QDir(state.programFolder).filePath(kPendingIniFileName);
    writeFileDurably(pending,
                     withDatabaseValues(iniPath, databaseValuesLine(state.StrDbName, newPassword)),
                     FileAccess::OwnerOnly);
    QFile::setPermissions(pending, QFile::permissions(iniPath));
    step(PasswordStep::PendingIniWritten);
    try {
        state.Conn.rekey(newPassword);
    } catch (const DbError&) {
        QFile::remove(pending);
        throw;
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

PasswordRecovery recoverPasswordChange(const QString& folder) {
    const QDir dir(folder);
    const QString pending = dir.filePath(kPendingIniFileName);
    if (!QFile::exists(pending))
        return PasswordRecovery::None;
    // The old password first: it also rolls back a re-key cut short in its transaction.
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
