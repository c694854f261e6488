#include "SchemaUpgrade.h"

#include "AppState.h"
#include "DatabaseBackup.h"
#include "Schema.h"
#include "ServerRoles.h"
#include "UserError.h"

#include <QDateTime>
#include <QDir>

namespace vastrel {

SchemaUpgrade upgradeInstallation(AppState& state) {
    const int found = schema::version(state.Conn);
    if (found > schema::kVersion)
        throw UserError(QStringLiteral("The database was made by a newer version of Vastrel "
                                       "(tables of version %1; this program knows up to %2): "
                                       "install that version to open it")
                            .arg(found)
                            .arg(schema::kVersion),
                        QStringLiteral("Database dibuat oleh versi Vastrel yang lebih baru "
                                       "(tabel versi %1; program ini mengenal sampai versi %2): "
                                       "pasang versi tersebut untuk membukanya")
                            .arg(found)
                            .arg(schema::kVersion));
    if (found == schema::kVersion)
        return {};
    // A clerk cannot: better said now than failed half-way.
    if (!ownsTables(state.Conn))
        throw UserError(
            QStringLiteral(
                "The tables on the server are of version %1 and this program needs "
                "version %2, and the role of MANIFEST.INI may not upgrade them: have the "
                "administrator run vastrel-admin upgrade --home DIR --owner ROLE, with "
                "the role that owns the tables")
                .arg(found)
                .arg(schema::kVersion),
            QStringLiteral("Tabel di server masih versi %1, sedangkan program ini memerlukan "
                           "versi %2, dan role di MANIFEST.INI tidak berhak memperbaruinya: minta "
                           "administrator menjalankan vastrel-admin upgrade --home DIR --owner "
                           "ROLE dengan role pemilik tabel")
                .arg(found)
                .arg(schema::kVersion));
    SchemaUpgrade done{found, schema::kVersion, {}};
    if (!state.Conn.onServer()) {
        done.backup = QDir(state.programFolder).filePath(state.StrDbName) + ".before-upgrade-" +
                      QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        backupDatabase(state.Conn, state.StrDbPassword, done.backup);
    }
    Transaction tx(state.Conn);
    schema::upgrade(state.Conn);
    if (state.Conn.onServer())
        grantClerkOf(state.Conn, state.StrDbName);
    tx.commit();
    return done;
}

} // namespace vastrel
