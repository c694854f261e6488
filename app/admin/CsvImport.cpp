#include "CsvImport.h"

#include "Database.h"
#include "Schema.h"

#include <QDate>
#include <QFile>
#include <QTime>

#include <algorithm>
#include <vector>

namespace vastrel {

namespace {

struct CsvRow {
    int line = 0; // line of the file where the row starts
    QStringList values;
};

[[noreturn]] void failAt(const QString& file, int line, const QString& what) {
    throw DbError(QStringLiteral("%1 line %2: %3").arg(file).arg(line).arg(what).toStdString());
}

// Splits CSV text into rows; quoted values may hold commas, quotes ("") and line breaks.
std::vector<CsvRow> parseCsv(const QString& text, const QString& file) {
    std::vector<CsvRow> rows;
    CsvRow row{1, {}};
    QString value;
    bool quoted = false;
    int line = 1;
    auto endRow = [&] {
        row.values << value;
        value.clear();
        if (!(row.values.size() == 1 && row.values[0].isEmpty()))
            rows.push_back(row);
        row = CsvRow{line, {}};
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                value += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                if (c == '\n')
                    ++line;
                value += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row.values << value;
            value.clear();
        } else if (c == '\n') {
            ++line;
            endRow();
        } else if (c != '\r') {
            value += c;
        }
    }
    if (quoted)
        failAt(file, row.line, QStringLiteral("a quoted value is not closed"));
    if (!value.isEmpty() || !row.values.isEmpty())
        endRow();
    return rows;
}

QVariant parseDate(const QString& text) {
    for (const char* format : {"yyyy-MM-dd", "dd-MM-yyyy"}) {
        const QDate date = QDate::fromString(text, QLatin1String(format));
        if (date.isValid())
            return date.toString(QStringLiteral("yyyy-MM-dd"));
    }
    return {};
}

QVariant parseTime(const QString& text) {
    for (const char* format : {"HH:mm:ss", "HH:mm"}) {
        const QTime time = QTime::fromString(text, QLatin1String(format));
        if (time.isValid())
            return time.toString(QStringLiteral("HH:mm:00"));
    }
    return {};
}

// The value to store for `text` in a column of `kind`; null and `*error` set when invalid.
QVariant convert(const QString& text, schema::ColumnKind kind, QString* error) {
    const QString t = text.trimmed();
    if (kind == schema::ColumnKind::Text)
        return text;
    if (t.isEmpty())
        return kind == schema::ColumnKind::Boolean ? QVariant(0) : QVariant();
    QVariant result;
    switch (kind) {
    case schema::ColumnKind::Number: {
        bool ok = false;
        const double number = t.toDouble(&ok);
        if (ok)
            result = number;
        *error = QStringLiteral("not a number");
        break;
    }
    case schema::ColumnKind::Boolean: {
        const QString lower = t.toLower();
        if (QStringList{"-1", "1", "true", "yes", "y"}.contains(lower))
            result = -1;
        else if (QStringList{"0", "false", "no", "n"}.contains(lower))
            result = 0;
        *error = QStringLiteral("not a yes/no value (-1 or 0)");
        break;
    }
    case schema::ColumnKind::Date:
        result = parseDate(t);
        *error = QStringLiteral("not a date (YYYY-MM-DD or dd-mm-yyyy)");
        break;
    case schema::ColumnKind::Time:
        result = parseTime(t);
        *error = QStringLiteral("not a time (HH:MM)");
        break;
    case schema::ColumnKind::Text:
        break;
    }
    if (result.isValid())
        error->clear();
    return result;
}

// The table's own spelling of each header name; throws on unknown or missing columns.
QStringList resolveColumns(const QString& table, const CsvRow& header, const QString& file) {
    const QStringList known = schema::columnNames(table);
    QStringList columns;
    for (const QString& name : header.values) {
        const auto match = std::find_if(known.begin(), known.end(), [&](const QString& k) {
            return k.compare(name.trimmed(), Qt::CaseInsensitive) == 0;
        });
        if (match == known.end())
            failAt(file, header.line,
                   QStringLiteral("%1 has no column \"%2\"").arg(table, name.trimmed()));
        if (columns.contains(*match))
            failAt(file, header.line, QStringLiteral("column \"%1\" named twice").arg(*match));
        columns << *match;
    }
    for (const QString& required : schema::requiredColumns(table)) {
        if (!columns.contains(required))
            failAt(file, header.line, QStringLiteral("column \"%1\" is missing").arg(required));
    }
    return columns;
}

} // namespace

int importCsv(Database& db, const QString& table, const QString& csvPath) {
    if (schema::columnNames(table).isEmpty())
        throw DbError(("Unknown table " + table).toStdString());
    QFile file(csvPath);
    if (!file.open(QIODevice::ReadOnly))
        throw DbError(("Cannot read " + csvPath + ": " + file.errorString()).toStdString());
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF))) // the byte-order mark spreadsheet programs write
        text.remove(0, 1);
    const std::vector<CsvRow> rows = parseCsv(text, csvPath);
    if (rows.empty())
        failAt(csvPath, 1, QStringLiteral("no header row"));
    const QStringList columns = resolveColumns(table, rows.front(), csvPath);

    QStringList marks(columns.size(), QStringLiteral("?"));
    const QString sql =
        "INSERT INTO " + table + " (" + columns.join(',') + ") VALUES (" + marks.join(',') + ")";
    Transaction tx(db);
    for (size_t r = 1; r < rows.size(); ++r) {
        const CsvRow& row = rows[r];
        if (row.values.size() != columns.size())
            failAt(csvPath, row.line,
                   QStringLiteral("expected %1 values, found %2")
                       .arg(columns.size())
                       .arg(row.values.size()));
        Params params;
        for (qsizetype c = 0; c < columns.size(); ++c) {
            QString error;
            params << convert(row.values[c], schema::columnKind(columns[c]), &error);
            if (!error.isEmpty())
                failAt(csvPath, row.line,
                       QStringLiteral("\"%1\" in column %2 is %3")
                           .arg(row.values[c], columns[c], error));
        }
        try {
            db.exec(sql, params);
        } catch (const DbError& e) {
            failAt(csvPath, row.line, QString::fromUtf8(e.what()));
        }
    }
    tx.commit();
    return static_cast<int>(rows.size()) - 1;
}

} // namespace vastrel
