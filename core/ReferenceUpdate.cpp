#include "ReferenceUpdate.h"

#include "BulkInsert.h"
#include "Database.h"

#include <QHash>
#include <QSet>

namespace vastrel {

namespace {

// Codes compare without regard to case, as the tables do.
QString key(const QString& code) {
    return code.trimmed().toUpper();
}

// The code and name of every row of the table, by code.
QHash<QString, QString> storedNames(const Database& db, const ReferenceTable& table) {
    QHash<QString, QString> names;
    Cursor rows =
        db.cursor("SELECT " + table.codeColumn + ", " + table.nameColumn + " FROM " + table.table);
    while (rows.next())
        names.insert(key(rows.row().at(0).toString()), rows.row().at(1).toString());
    return names;
}

// Every code of the table that a manifest refers to.
QSet<QString> codesInUse(const Database& db, const ReferenceTable& table) {
    QSet<QString> used;
    for (const QString& place : table.usedIn) {
        const QString usingTable = place.section('.', 0, 0);
        const QString column = place.section('.', 1, 1);
        Cursor rows = db.cursor("SELECT DISTINCT " + column + " FROM " + usingTable);
        while (rows.next())
            used.insert(key(rows.row().at(0).toString()));
    }
    return used;
}

// What the load does to the table, decided before anything is written.
struct Changes {
    std::vector<Params> inserts;
    std::vector<Params> renames; // name, code
    QStringList deletes;
};

Changes plan(const Database& db, const ReferenceTable& table,
             const std::vector<ReferenceEntry>& entries, ReferenceLoadResult* result) {
    QHash<QString, QString> stored = storedNames(db, table);
    QHash<QString, qsizetype> inserted; // code → its row among the inserts
    QSet<QString> used;
    bool usedRead = false;
    Changes changes;
    for (const ReferenceEntry& entry : entries) {
        const QString code = key(entry.code);
        if (entry.withdrawn) {
            if (!stored.contains(code) || inserted.contains(code))
                continue;
            if (!usedRead) {
                used = codesInUse(db, table);
                usedRead = true;
            }
            if (used.contains(code)) {
                result->keptInUse << code;
                continue;
            }
            stored.remove(code);
            changes.deletes << code;
            ++result->withdrawn;
        } else if (const auto at = inserted.constFind(code); at != inserted.constEnd()) {
            changes.inserts[static_cast<size_t>(*at)][1] = entry.name;
        } else if (!stored.contains(code)) {
            inserted.insert(code, static_cast<qsizetype>(changes.inserts.size()));
            changes.inserts.push_back({code, entry.name});
            ++result->added;
        } else if (stored.value(code) != entry.name) {
            stored.insert(code, entry.name);
            changes.renames.push_back({entry.name, code});
            ++result->renamed;
        } else {
            ++result->unchanged;
        }
    }
    return changes;
}

void write(Database& db, const ReferenceTable& table, const Changes& changes,
           const LoadProgress& progress) {
    const qsizetype total =
        static_cast<qsizetype>(changes.inserts.size() + changes.renames.size()) +
        changes.deletes.size();
    for (const QString& code : changes.deletes)
        db.exec("DELETE FROM " + table.table + " WHERE " + table.codeColumn + " = ?", {code});
    const QString rename = "UPDATE " + table.table + " SET " + table.nameColumn + " = ? WHERE " +
                           table.codeColumn + " = ?";
    for (const Params& values : changes.renames)
        db.exec(rename, values);
    if (progress)
        progress(total - static_cast<qsizetype>(changes.inserts.size()), total);
    // Written a slice at a time, so the progress moves.
    constexpr size_t kSlice = 5000;
    for (size_t first = 0; first < changes.inserts.size(); first += kSlice) {
        const size_t last = std::min(first + kSlice, changes.inserts.size());
        insertRows(db, table.table, {table.codeColumn, table.nameColumn},
                   {changes.inserts.begin() + static_cast<qsizetype>(first),
                    changes.inserts.begin() + static_cast<qsizetype>(last)});
        if (progress)
            progress(total - static_cast<qsizetype>(changes.inserts.size() - last), total);
    }
}

} // namespace

QString ReferenceLoadResult::summary() const {
    QString text = QStringLiteral("%1 added, %2 renamed, %3 unchanged, %4 withdrawn")
                       .arg(added)
                       .arg(renamed)
                       .arg(unchanged)
                       .arg(withdrawn);
    if (!keptInUse.isEmpty())
        text += "; withdrawn but kept, as manifests use them: " + keptInUse.join(", ");
    return text;
}

ReferenceLoadResult loadReference(Database& db, const ReferenceTable& table,
                                  const std::vector<ReferenceEntry>& entries, const QString& source,
                                  const LoadProgress& progress) {
    ReferenceLoadResult result;
    Transaction tx(db);
    const BulkWrite bulk(db);
    write(db, table, plan(db, table, entries, &result), progress);
    recordReferenceSource(db, table, source);
    tx.commit();
    return result;
}

} // namespace vastrel
