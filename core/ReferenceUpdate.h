#pragma once

#include "ReferenceTables.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace vastrel {

class Database;

// One code of a release or pack: its name, or its withdrawal from the list.
struct ReferenceEntry {
    QString code;
    QString name;
    bool withdrawn = false;
};

// The entries of one release or pack for one table, and the name of where they came from.
struct ReferenceContent {
    const ReferenceTable* table = nullptr;
    std::vector<ReferenceEntry> entries;
    QString source;
};

// What a load changed in a reference table.
struct ReferenceLoadResult {
    int added = 0;
    int renamed = 0;
    int unchanged = 0;
    int withdrawn = 0;
    // Codes the release withdrew that manifests still use: they stay.
    QStringList keptInUse;

    // "N added, N renamed, N unchanged, N withdrawn", and the codes kept.
    QString summary() const;
};

// Told how many of the entries are written so far, of how many.
using LoadProgress = std::function<void(qsizetype done, qsizetype total)>;

// Brings `table` up to a release: new codes are added, changed names renamed, and a
// withdrawn code removed unless a manifest uses it (then it stays, listed in the result).
// Later entries of a code win over earlier ones. Records `source` as the table's origin.
// One unit: all of it or nothing.
ReferenceLoadResult loadReference(Database& db, const ReferenceTable& table,
                                  const std::vector<ReferenceEntry>& entries, const QString& source,
                                  const LoadProgress& progress = {});

} // namespace vastrel
