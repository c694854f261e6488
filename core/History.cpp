#include "History.h"

#include "Schema.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSysInfo>

namespace vastrel {

namespace {

QStringList keyColumns(const QString& table) {
    if (table == QLatin1String("tblheader"))
        return {"nodaftar"};
    if (table == QLatin1String("tbldetail"))
        return {"nodaftar", "nopos"};
    return {"nodaftar", "nopos", "noseq"};
}

QString keyCondition(const QString& table) {
    return keyColumns(table).join(QLatin1String(" = ? AND ")) + " = ?";
}

QVariantMap rowOf(const RowSet& rows, int index) {
    QVariantMap row;
    for (int c = 0; c < rows.fieldCount(); ++c)
        row.insert(rows.fieldName(c).toLower(), rows.row(index).at(c));
    return row;
}

// The row of `table` with `key`, by column; empty when there is none.
QVariantMap currentRow(const Database& db, const QString& table, const Params& key) {
    const RowSet rows = db.query("SELECT * FROM " + table + " WHERE " + keyCondition(table), key);
    return rows.recordCount() == 0 ? QVariantMap() : rowOf(rows, 0);
}

bool sameValue(const QVariant& a, const QVariant& b) {
    return a.isNull() == b.isNull() && a.toString() == b.toString();
}

// column -> [before, after] for each column whose value changed.
QJsonObject changedColumns(const QVariantMap& before, const QVariantMap& after) {
    QJsonObject changes;
    QStringList columns = before.keys() + after.keys();
    columns.removeDuplicates();
    for (const QString& column : columns) {
        const QVariant was = before.value(column);
        const QVariant is = after.value(column);
        if (!sameValue(was, is))
            changes.insert(column,
                           QJsonArray{QJsonValue::fromVariant(was), QJsonValue::fromVariant(is)});
    }
    return changes;
}

void insertEntry(Database& db, const QString& table, const Params& key, const QString& action,
                 const QJsonObject& changes) {
    QStringList keyTexts;
    for (const QVariant& value : key)
        keyTexts << value.toString();
    db.exec(QStringLiteral("INSERT INTO tblhistory (changedat, username, host, tablename, "
                           "nodaftar, nopos, rowkey, action, changes) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {recordedNow(), recordedUser(db), QSysInfo::machineHostName(), table,
             key.value(0).toString(), key.value(1).toString(), keyTexts.join('/'), action,
             QString::fromUtf8(QJsonDocument(changes).toJson(QJsonDocument::Compact))});
}

} // namespace

QString recordedNow() {
    return QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString recordedUser(const Database& db) {
    if (!db.userName().isEmpty())
        return db.userName();
    return qEnvironmentVariable("USER", QStringLiteral("?"));
}

RowChange::RowChange(Database& db, const QString& table, const Params& key)
    : m_db(db), m_table(table), m_key(key), m_before(currentRow(db, table, key)) {}

void RowChange::record() {
    const QVariantMap after = currentRow(m_db, m_table, m_key);
    const QJsonObject changes = changedColumns(m_before, after);
    if (changes.isEmpty())
        return;
    const QString action = m_before.isEmpty() ? QStringLiteral("insert")
                           : after.isEmpty()  ? QStringLiteral("delete")
                                              : QStringLiteral("update");
    insertEntry(m_db, m_table, m_key, action, changes);
    m_before = after;
}

void recordDeletes(Database& db, const QString& table, const QString& where, const Params& params) {
    const RowSet rows = db.query("SELECT * FROM " + table + " WHERE " + where, params);
    for (int i = 0; i < rows.recordCount(); ++i) {
        const QVariantMap row = rowOf(rows, i);
        Params key;
        for (const QString& column : keyColumns(table))
            key << row.value(column);
        insertEntry(db, table, key, QStringLiteral("delete"), changedColumns(row, {}));
    }
}

void recordImport(Database& db, const QString& nodaftar, const QString& summary) {
    insertEntry(db, QStringLiteral("tblheader"), {nodaftar}, QStringLiteral("import"),
                QJsonObject{{QStringLiteral("summary"), summary}});
}

QList<HistoryEntry> readHistory(const Database& db, const QString& nodaftar, const QString& nopos) {
    const QString columns = QStringLiteral(
        "SELECT changedat, username, host, tablename, rowkey, action, changes FROM tblhistory ");
    const RowSet rows =
        nopos.isEmpty()
            ? db.query(columns + "WHERE nodaftar = ? ORDER BY idhistory DESC", {nodaftar})
            : db.query(columns + "WHERE nodaftar = ? AND nopos = ? ORDER BY idhistory DESC",
                       {nodaftar, nopos});
    QList<HistoryEntry> entries;
    for (int i = 0; i < rows.recordCount(); ++i) {
        const QVariantList& r = rows.row(i);
        entries.append({r[0].toString(), r[1].toString(), r[2].toString(), r[3].toString(),
                        r[4].toString(), r[5].toString(),
                        QJsonDocument::fromJson(r[6].toString().toUtf8()).object().toVariantMap()});
    }
    return entries;
}

QString changesText(const HistoryEntry& entry) {
    QStringList changes;
    for (auto it = entry.changes.constBegin(); it != entry.changes.constEnd(); ++it) {
        const QVariantList values = it.value().toList();
        changes << (values.size() == 2
                        ? it.key() + ' ' + values[0].toString() + " -> " + values[1].toString()
                        : it.value().toString());
    }
    return changes.join(", ");
}

QString describe(const HistoryEntry& entry) {
    return entry.changedAt + " UTC " + entry.user + '@' + entry.host + ' ' + entry.action + ' ' +
           entry.table + ' ' + entry.rowKey + ": " + changesText(entry);
}

} // namespace vastrel
