#include "SchemaUpgrade.h"

#include "AppState.h"
#include "DatabaseBackup.h"
#include "Schema.h"
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
    SchemaUpgrade done{found, schema::kVersion, {}};
    if (!state.Conn.onServer()) {
        done.backup = QDir(state.programFolder).filePath(state.StrDbName) + ".before-upgrade-" +
                      QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        backupDatabase(state.Conn, state.StrDbPassword, done.backup);
    }
    schema::upgrade(state.Conn);
    return done;
}

} // namespace vastrel
