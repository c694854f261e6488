#pragma once

#include "Database.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace vastrel {

// Inserts many rows into `table` (the program's own names) with several rows per statement,
// so a server is asked once per batch rather than once per row. Every value is bound.
void insertRows(Database& db, const QString& table, const QStringList& columns,
                const std::vector<Params>& rows);

} // namespace vastrel
