#pragma once

#include "Database.h"

#include <QString>
#include <QVariantMap>

namespace vastrel {

// The history of the manifests' rows: every save or delete of a header, POS, goods line,
// container or document is recorded in the transaction of the change, with when (UTC), who
// (the connection's user and the workstation), the row and the values that changed. The
// program only ever adds to it.

// The moment a record is made, "yyyy-MM-dd HH:mm:ss" in UTC, and whom it is made under: the
// connection's user, else the system's.
QString recordedNow();
QString recordedUser(const Database& db);

// Records the change of one row of a manifest table made while it lives: the row as it was
// when it was made, and as it is when record() is called, inside the change's transaction.
class RowChange {
public:
    // `key`: the values of the table's key columns (nodaftar, nopos, noseq as it has them).
    RowChange(Database& db, const QString& table, const Params& key);
    // Writes the history row when anything changed.
    void record();

private:
    Database& m_db;
    QString m_table;
    Params m_key;
    QVariantMap m_before;
};

// Records the deletion of the rows of `table` that match `where`, before they are deleted.
void recordDeletes(Database& db, const QString& table, const QString& where, const Params& params);

// Records an import into a manifest as one entry: what it brought, not each row.
void recordImport(Database& db, const QString& nodaftar, const QString& summary);

struct HistoryEntry {
    QString changedAt; // "yyyy-MM-dd HH:mm:ss" UTC
    QString user;
    QString host;
    QString table;
    QString rowKey;      // the key values joined by "/"
    QString action;      // "insert", "update", "delete" or "import"
    QVariantMap changes; // column -> [before, after]; for an import "summary" -> text
};

// A manifest's history, or one POS's with `nopos`, newest first.
QList<HistoryEntry> readHistory(const Database& db, const QString& nodaftar,
                                const QString& nopos = {});

// What an entry changed: "bruto 10 -> 12, volume 1 -> 2", or an import's summary.
QString changesText(const HistoryEntry& entry);

// One line of the history for people: "2026-12-07 10:00:00 UTC ANI@ws1 update tbldetail
// 20240315000001/0001: bruto 10 -> 12".
QString describe(const HistoryEntry& entry);

} // namespace vastrel
