#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

namespace vastrel {

// Which columns of the database's tables may hold null: table -> column -> may be null, both
// in lower case, as the server's catalog names them.
using ColumnNulls = QHash<QByteArray, QHash<QByteArray, bool>>;

// The program's one SQL as the server reads it, with the file's meaning:
// - $1, $2, ... for `?`, and the column "user", a reserved word there, quoted;
// - `x [NOT] LIKE ?` as `x::text [NOT] ILIKE $n ESCAPE ''`: case-insensitive as citext is,
//   without the server's escape character `\`, and served by a text's trigram index;
// - each ORDER BY term that may be null given the file's place for nulls (first ascending,
//   last descending); a column that is never null is left as it is, so that its index
//   still serves the order.
// Nothing inside quotes changes. Throws DbError for a LIKE whose pattern is not a single `?`
// or quoted text: its escape could not be carried over faithfully.
QByteArray serverStatement(const QString& sql, const ColumnNulls& nulls);

// The schema's column kinds as the server spells them: texts compared without regard to
// case, and numbered keys.
QString serverDefinition(QString sql);

} // namespace vastrel
