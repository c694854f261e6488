#pragma once

#include <QString>

namespace vastrel {

struct AppState;

// What opening an installation did to tables of an earlier version.
struct SchemaUpgrade {
    int from = 0; // the version found; 0 when nothing was upgraded
    int to = 0;
    QString backup; // the database as it was, kept beside it (none on a server)
};

// Brings the connected installation's tables to this program's version, in one transaction;
// on the file only after a backup of it beside it has been written and checked, on a server with
// the clerk's privileges on the new tables. Throws UserError for tables of a newer program, which
// are never written, or on a server for a connection that does not own the tables (a clerk's);
// DbError or FileWriteError when the backup or the upgrade fails: nothing is changed then.
SchemaUpgrade upgradeInstallation(AppState& state);

} // namespace vastrel
