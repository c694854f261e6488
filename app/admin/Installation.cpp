#include "Installation.h"

#include "AppState.h"
#include "CryptText.h"
#include "DemoData.h"
#include "ManifestIni.h"
#include "PasswordHash.h"
#include "Schema.h"
#include "StartUp.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace vastrel {

namespace {

[[noreturn]] void fail(const QString& message) {
    throw DbError(message.toStdString());
}

void writeFile(const QString& path, const QByteArray& content) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        fail("Cannot write " + path + ": " + file.errorString());
}

// Replaces the lines before the first section of MANIFEST.INI by `line`.
void replaceDatabaseValues(const QString& iniPath, const QByteArray& line) {
    QFile file(iniPath);
    if (!file.open(QIODevice::ReadOnly))
        fail("Cannot read " + iniPath + ": " + file.errorString());
    const QByteArray content = file.readAll();
    const qsizetype section = content.indexOf('[');
    writeFile(iniPath, line + (section < 0 ? QByteArray() : content.mid(section)));
}

} // namespace

QByteArray databaseValuesLine(const QString& dbName, const std::string& password) {
    return '"' + dbName.toLatin1() + "\",\"" +
           QByteArray::fromStdString(EncryptText(password, kPassphrase)) + "\"\r\n";
}

void initInstallation(const InitOptions& options) {
    if (options.password.empty())
        fail(QStringLiteral("The database password must not be empty"));
    const QDir dir(options.folder);
    if (!dir.mkpath(QStringLiteral(".")))
        fail("Cannot create the folder " + options.folder);
    const QString iniPath = dir.filePath(kIniFileName);
    const QString dbPath = dir.filePath(kDefaultDbFileName);
    if (QFile::exists(iniPath) || QFile::exists(dbPath))
        fail(options.folder + " already holds an installation");

    Database db = Database::create(dbPath, options.password);
    try {
        schema::create(db);
        // Without demo data the company profile screen creates the setting row on the first run.
        if (options.demo)
            addDemoData(db, options.air);
    } catch (const DbError&) {
        db.close();
        QFile::remove(dbPath);
        throw;
    }
    writeFile(iniPath, databaseValuesLine(kDefaultDbFileName, options.password) +
                           "[MANIFEST]\r\nJENIS=" + (options.air ? "1" : "0") +
                           "\r\nVERSION=1.0\r\n");
}

namespace {

// The installation's configuration and open connection, as the application starts with them.
AppState connect(const QString& folder) {
    AppState state;
    state.programFolder = folder;
    if (!ReadManifestIni(state))
        fail("Cannot read " + state.iniPath());
    if (!OpenConnection(state))
        fail(kConnectionFailedMessage);
    return state;
}

} // namespace

Database openInstallation(const QString& folder) {
    return std::move(connect(folder).Conn);
}

void addUser(Database& db, const QString& name, const QString& password) {
    if (name.trimmed().isEmpty())
        fail(QStringLiteral("The user name must not be empty"));
    if (db.scalar(QStringLiteral("SELECT count(*) FROM tbluser WHERE user = ?"), {name}).toInt())
        fail("The user " + name + " already exists");
    db.exec(QStringLiteral("INSERT INTO tbluser (user, password) VALUES (?, ?)"),
            {name.toUpper(), hashPassword(password)});
}

void changePassword(const QString& folder, const std::string& newPassword) {
    if (newPassword.empty())
        fail(QStringLiteral("The database password must not be empty"));
    AppState state = connect(folder);
    state.Conn.rekey(newPassword);
    try {
        replaceDatabaseValues(state.iniPath(), databaseValuesLine(state.StrDbName, newPassword));
    } catch (const DbError&) {
        state.Conn.rekey(state.StrDbPassword); // keep the file readable with the INI as it is
        throw;
    }
}

} // namespace vastrel
