#pragma once

#include "Database.h"

namespace vastrel {

// The stored values of one row as a screen showed them (or last saved them), to tell before
// a save whether another clerk changed or deleted the row since. Call inside the saving
// transaction, after the rows are locked.
class ShownRow {
public:
    // `where` selects the row by the key values each call passes; `table`, `columns` and
    // `where` are the program's own texts.
    ShownRow(QString table, QStringList columns, QString where);

    // The row as the current row of a list on screen holds it.
    void remember(const Params& key, const RowSet& shown);
    // The row as it is stored now (after a save).
    void remember(const Database& db, const Params& key);
    // Empty when the row is stored as it was shown; else what the clerk is told.
    QString changedSince(const Database& db, const Params& key) const;

private:
    QStringList stored(const Database& db, const Params& key) const;

    QStringList m_columns;
    QString m_sql;
    Params m_key;
    QStringList m_values;
};

} // namespace vastrel
