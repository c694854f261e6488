#include "Migration.h"

#include "Installation.h"
#include "Schema.h"
#include "ServerRoles.h"
#include "UserError.h"

#include <QFileInfo>

namespace vastrel {

namespace {

long long rowCount(const Database& db, const QString& table) {
    return db.scalar("SELECT count(*) FROM " + table).toLongLong();
}

// One table's rows, read as they are stored and written with the same values.
void copyTable(const Database& source, Database& target, const QString& table) {
    const QStringList columns = schema::columnNames(table);
    const QString list = columns.join(QStringLiteral(", "));
    target.exec("DELETE FROM " + table);
    const QString insert = "INSERT INTO " + table + " (" + list + ") VALUES (" +
                           QStringList(columns.size(), QStringLiteral("?")).join(", ") + ")";
    Cursor rows = source.cursor("SELECT " + list + " FROM " + table);
    while (rows.next())
        target.exec(insert, rows.row());
    if (const QString numbered = schema::numberedColumn(table); !numbered.isEmpty())
        target.resumeNumbering(table, numbered);
}

} // namespace

QList<TableCopy> migrateInstallation(const QString& from, const QString& to,
                                     std::optional<ServerLogin> owner) {
    if (QFileInfo(from).canonicalFilePath() == QFileInfo(to).canonicalFilePath())
        throw UserError(QStringLiteral("--from and --to name the same installation"));
    const Database source = openInstallation(from);
    Database target = connectInstallation(to, nullptr, std::move(owner)).Conn;
    // A clerk may not replace the history and the filings.
    if (!ownsTables(target))
        throw UserError(QStringLiteral("The tables of %1 are written by the role that owns them "
                                       "on the server: give --owner ROLE")
                            .arg(to));
    if (const long long manifests = rowCount(target, QStringLiteral("tblheader")); manifests > 0)
        throw UserError(QStringLiteral("%1 holds %2 manifests already; give a new installation")
                            .arg(to)
                            .arg(manifests));
    QList<TableCopy> copied;
    const ReadSnapshot moment(source); // clerks may go on saving meanwhile
    const BulkWrite bulk(target);
    Transaction tx(target);
    for (const QString& table : schema::tableNames()) {
        copyTable(source, target, table);
        const long long rows = rowCount(source, table);
        if (rowCount(target, table) != rows)
            throw DbError(
                ("The copy of " + table + " lacks rows; nothing was written").toStdString());
        copied.append({table, rows});
    }
    tx.commit();
    return copied;
}

} // namespace vastrel
