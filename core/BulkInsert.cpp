#include "BulkInsert.h"

#include <algorithm>

namespace vastrel {

namespace {

// SQLite 3.15 binds at most 999 values in one statement.
constexpr qsizetype kMaxBoundValues = 999;

QString insertStatement(const QString& table, const QStringList& columns, qsizetype rowCount) {
    const QString marks = '(' + QStringList(columns.size(), QStringLiteral("?")).join(',') + ')';
    return "INSERT INTO " + table + " (" + columns.join(',') + ") VALUES " +
           QStringList(rowCount, marks).join(',');
}

} // namespace

void insertRows(Database& db, const QString& table, const QStringList& columns,
                const std::vector<Params>& rows) {
    const qsizetype perStatement = std::max<qsizetype>(1, kMaxBoundValues / columns.size());
    const auto total = static_cast<qsizetype>(rows.size());
    QString fullBatch;
    for (qsizetype first = 0; first < total; first += perStatement) {
        const qsizetype count = std::min(perStatement, total - first);
        if (count == perStatement && fullBatch.isEmpty())
            fullBatch = insertStatement(table, columns, count);
        Params values;
        values.reserve(count * columns.size());
        for (qsizetype r = first; r < first + count; ++r)
            values << rows[static_cast<size_t>(r)];
        db.exec(count == perStatement ? fullBatch : insertStatement(table, columns, count), values);
    }
}

} // namespace vastrel
