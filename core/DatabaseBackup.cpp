#include "DatabaseBackup.h"

#include "Database.h"
#include "DurableFile.h"
#include "InstallationFiles.h"
#include "Schema.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <unistd.h>

namespace vastrel {

namespace {

[[noreturn]] void fail(const QString& message) {
    throw DbError(message.toStdString());
}

// Copies the file at `source` into `out` in pieces, so a large database is never held whole.
void copyInto(const QString& source, DurableFile& out) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        fail("Cannot read " + source + ": " + in.errorString());
    constexpr qint64 kPiece = 1 << 20;
    while (!in.atEnd()) {
        const QByteArray piece = in.read(kPiece);
        if (piece.isEmpty() && in.error() != QFileDevice::NoError)
            fail("Cannot read " + source + ": " + in.errorString());
        out.write(piece);
    }
}

// Lets the engine settle an interrupted transaction of the database about to be replaced,
// so that no journal of it is left to be played into the restored file.
void settleJournal(const QString& dbPath, const std::string& password, const QString& kept) {
    try {
        Database::open(dbPath, password);
    } catch (const DbError&) {
        // A damaged database is the usual reason to restore; its journal is set aside below.
    }
    const QString journal = dbPath + "-journal";
    if (QFile::exists(journal))
        renameDurably(journal, kept + "-journal");
}

// `name`, or when a file has it (a restore in the same second) the first free "name-N".
QString unusedName(const QString& name) {
    QString candidate = name;
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = name + '-' + QString::number(n);
    return candidate;
}

} // namespace

void verifyDatabaseFile(const QString& path, const std::string& password) {
    const Database db = Database::open(path, password);
    const QString verdict = db.scalar(QStringLiteral("PRAGMA integrity_check")).toString();
    if (verdict != QLatin1String("ok"))
        fail(path + " is damaged: " + verdict.left(200));
    // A backup of tables of an earlier version is upgraded when it is opened.
    for (const QString& table : schema::tableNames(1)) {
        if (!db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' "
                                      "AND name = ? COLLATE NOCASE"),
                       {table})
                 .toInt())
            fail(path + " is not a Vastrel database: the table " + table + " is missing");
    }
}

void refuseServerBackup(const Database& db) {
    if (db.onServer())
        throw UserError("A database on a server is backed up with the server's own tools, such "
                        "as pg_dump",
                        "Database di server dibackup dengan alat server itu sendiri (pg_dump)");
}

void backupDatabase(Database& db, const std::string& password, const QString& target) {
    refuseServerBackup(db);
    const QString own = db.query(QStringLiteral("PRAGMA database_list")).row(0).value(2).toString();
    if (QFileInfo(target).canonicalFilePath() == QFileInfo(own).canonicalFilePath())
        fail(target + " is the database itself");
    refuseInstallationFile(target);
    DurableFile out(target, FileAccess::OwnerOnly);
    const QString copy = out.temporaryPath();
    const QByteArray key = QByteArray::fromStdString(password);
    db.exec(QStringLiteral("ATTACH DATABASE ? AS vastrel_backup KEY ?"), {copy, key});
    try {
        // One transaction, so that the copy is one moment of the database.
        Transaction snapshot(db);
        db.scalar(QStringLiteral("SELECT sqlcipher_export('vastrel_backup')"));
        snapshot.commit();
    } catch (const DbError&) {
        db.exec(QStringLiteral("DETACH DATABASE vastrel_backup"));
        throw;
    }
    db.exec(QStringLiteral("DETACH DATABASE vastrel_backup"));
    verifyDatabaseFile(copy, password);
    out.commit();
}

QString restoreDatabase(const QString& dbPath, const std::string& password, const QString& source) {
    if (QFileInfo(source).canonicalFilePath() == QFileInfo(dbPath).canonicalFilePath())
        fail(source + " is the installation's own database");
    verifyDatabaseFile(source, password);
    const QString kept =
        unusedName(dbPath + ".before-restore-" +
                   QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    DurableFile restored(dbPath, FileAccess::OwnerOnly);
    copyInto(source, restored);
    if (!QFile::exists(dbPath)) {
        restored.commit();
        return {};
    }
    settleJournal(dbPath, password, kept);
    // A second name for the database in force: it stays whole while the new file replaces it.
    if (::link(QFile::encodeName(dbPath).constData(), QFile::encodeName(kept).constData()) != 0)
        throw FileWriteError(kept, errno);
    restored.commit();
    return kept;
}

} // namespace vastrel
