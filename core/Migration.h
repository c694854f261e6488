#pragma once

#include "ServerRoles.h"

#include <QList>
#include <QString>

#include <optional>

namespace vastrel {

struct TableCopy {
    QString table;
    long long rows = 0;
};

// Copies every table of the installation in `from` into the one in `to` (an encrypted file
// or a server, either way), in one transaction on the target, and checks that each table
// holds as many rows as the source's before it commits. The target must hold no manifests;
// its other rows are replaced; on a server, the connection to it must be its tables' `owner`.
// Throws DbError or UserError, writing nothing then.
QList<TableCopy> migrateInstallation(const QString& from, const QString& to,
                                     std::optional<ServerLogin> owner = std::nullopt);

} // namespace vastrel
