#include "ShownRow.h"

namespace vastrel {

ShownRow::ShownRow(QString table, QStringList columns, QString where)
    : m_columns(columns),
      m_sql("SELECT " + columns.join(QStringLiteral(", ")) + " FROM " + table + " WHERE " + where) {
}

QStringList ShownRow::stored(const Database& db, const Params& key) const {
    const RowSet rs = db.query(m_sql, key);
    QStringList values;
    for (int c = 0; !rs.eof() && c < rs.fieldCount(); ++c)
        values << rs.value(c).toString();
    return values;
}

void ShownRow::remember(const Params& key, const RowSet& shown) {
    m_key = key;
    m_values.clear();
    for (const QString& column : m_columns)
        m_values << shown.text(column);
}

void ShownRow::remember(const Database& db, const Params& key) {
    m_key = key;
    m_values = stored(db, key);
}

QString ShownRow::changedSince(const Database& db, const Params& key) const {
    const QStringList now = stored(db, key);
    if (now.isEmpty())
        return QStringLiteral("Data telah dihapus oleh user lain, tidak disimpan");
    if (key == m_key && now != m_values)
        return QStringLiteral("Data telah diubah oleh user lain sejak ditampilkan, tidak "
                              "disimpan; buka kembali data ini untuk melihatnya");
    return {};
}

} // namespace vastrel
