#include "CsvImport.h"

#include "Database.h"
#include "Problems.h"
#include "Schema.h"

#include <QDate>
#include <QFile>
#include <QStringDecoder>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <vector>

namespace vastrel {

namespace {

[[noreturn]] void fail(const QString& file, const QString& place, const QString& what) {
    throw DbError(QStringLiteral("%1 %2: %3").arg(file, place, what).toStdString());
}

[[noreturn]] void failAt(const QString& file, int line, const QString& what) {
    fail(file, QStringLiteral("line %1").arg(line), what);
}

// Fails at the character `index` of `text` with its line and column, both counted from 1.
[[noreturn]] void failAtCharacter(const QString& file, const QString& text, qsizetype index,
                                  const QString& what) {
    const QStringView before = QStringView(text).left(index);
    const qsizetype lineStart = before.lastIndexOf(u'\n') + 1;
    fail(file,
         QStringLiteral("line %1, column %2")
             .arg(before.count(u'\n') + 1)
             .arg(before.mid(lineStart).toUcs4().size() + 1),
         what);
}

// Bytes of the well-formed UTF-8 sequence that starts at `at`; 0 when none starts there.
int utf8SequenceLength(QByteArrayView bytes, qsizetype at) {
    const auto byte = [&](qsizetype i) {
        return i < bytes.size() ? static_cast<uchar>(bytes[i]) : uchar(0);
    };
    const uchar lead = byte(at);
    if (lead < 0x80)
        return 1;
    // The lead byte fixes the length and the range of the second byte, which rules out
    // overlong forms, surrogates and code points above U+10FFFF.
    struct Form {
        uchar leadLow, leadHigh;
        int length;
        uchar secondLow, secondHigh;
    };
    static constexpr Form kForms[] = {
        {0xC2, 0xDF, 2, 0x80, 0xBF}, {0xE0, 0xE0, 3, 0xA0, 0xBF}, {0xE1, 0xEC, 3, 0x80, 0xBF},
        {0xED, 0xED, 3, 0x80, 0x9F}, {0xEE, 0xEF, 3, 0x80, 0xBF}, {0xF0, 0xF0, 4, 0x90, 0xBF},
        {0xF1, 0xF3, 4, 0x80, 0xBF}, {0xF4, 0xF4, 4, 0x80, 0x8F},
    };
    for (const Form& form : kForms) {
        if (lead < form.leadLow || lead > form.leadHigh)
            continue;
        if (byte(at + 1) < form.secondLow || byte(at + 1) > form.secondHigh)
            return 0;
        for (int i = 2; i < form.length; ++i) {
            if ((byte(at + i) & 0xC0) != 0x80)
                return 0;
        }
        return form.length;
    }
    return 0;
}

// Offset of the first byte that is not part of well-formed UTF-8; -1 when there is none.
qsizetype firstInvalidUtf8(QByteArrayView bytes) {
    for (qsizetype at = 0; at < bytes.size();) {
        const int length = utf8SequenceLength(bytes, at);
        if (length == 0)
            return at;
        at += length;
    }
    return -1;
}

// Latin-1 text; C1 control bytes mean the file is in some other encoding.
QString latin1Text(const QByteArray& bytes, const QString& file) {
    const auto control = std::find_if(bytes.begin(), bytes.end(), [](char c) {
        return static_cast<uchar>(c) >= 0x80 && static_cast<uchar>(c) < 0xA0;
    });
    if (control != bytes.end()) {
        const QString before = QString::fromLatin1(bytes.left(control - bytes.begin()));
        failAtCharacter(file, before, before.size(),
                        QStringLiteral("the text is neither UTF-8 nor Latin-1"));
    }
    return QString::fromLatin1(bytes);
}

// The file's text in `encoding`; a UTF-8 byte-order mark is dropped.
QString decodedText(QByteArray bytes, CsvEncoding encoding, const QString& file) {
    if (encoding == CsvEncoding::Windows1252) {
        QStringDecoder decoder("windows-1252");
        if (!decoder.isValid())
            throw DbError("Windows-1252 text cannot be read on this system");
        return decoder.decode(bytes);
    }
    if (bytes.startsWith("\xEF\xBB\xBF")) // the byte-order mark spreadsheet programs write
        bytes.remove(0, 3);
    const qsizetype bad = firstInvalidUtf8(bytes);
    if (bad >= 0 && encoding == CsvEncoding::Utf8OrLatin1)
        return latin1Text(bytes, file);
    if (bad >= 0) {
        const QString before = QString::fromUtf8(bytes.left(bad));
        failAtCharacter(file, before, before.size(),
                        QStringLiteral("the text is not valid UTF-8 (save the file as UTF-8, or "
                                       "use --encoding windows-1252)"));
    }
    return QString::fromUtf8(bytes);
}

// The text of the file at `path`, refused when it holds a NUL character.
QString readText(const QString& path, CsvEncoding encoding) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw DbError(("Cannot read " + path + ": " + file.errorString()).toStdString());
    const QString text = decodedText(file.readAll(), encoding, path);
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0)
        failAtCharacter(path, text, nul, QStringLiteral("the file holds a NUL character"));
    return text;
}

// Splits CSV text into rows, each handed to `take`; quoted values may hold commas, quotes
// ("") and line breaks.
void parseCsv(const QString& text, const QString& file, const CsvRowTaker& take) {
    CsvRow row{1, {}};
    QString value;
    bool quoted = false;
    int line = 1;
    auto endRow = [&] {
        row.values << value;
        value.clear();
        if (!(row.values.size() == 1 && row.values[0].isEmpty()))
            take(row);
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
        if (ok && std::isfinite(number))
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
                   QStringLiteral("%1 has no column %2").arg(table, quotedValue(name.trimmed())));
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

void forEachCsvRow(const QString& path, CsvEncoding encoding, const CsvRowTaker& take) {
    parseCsv(readText(path, encoding), path, take);
}

std::vector<CsvRow> readCsvRows(const QString& path, CsvEncoding encoding) {
    std::vector<CsvRow> rows;
    forEachCsvRow(path, encoding, [&rows](const CsvRow& row) { rows.push_back(row); });
    return rows;
}

int importCsv(Database& db, const QString& table, const QString& csvPath, CsvEncoding encoding) {
    if (schema::columnNames(table).isEmpty())
        throw DbError(("Unknown table " + table).toStdString());
    const std::vector<CsvRow> rows = readCsvRows(csvPath, encoding);
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
                       QStringLiteral("%1 in column %2 is %3")
                           .arg(quotedValue(row.values[c]), columns[c], error));
        }
        try {
            db.exec(sql, params);
        } catch (const DbError& e) {
            failAt(csvPath, row.line, QString::fromUtf8(e.what()));
        }
    }
    if (const QString numbered = schema::numberedColumn(table); columns.contains(numbered))
        db.resumeNumbering(table, numbered);
    tx.commit();
    return static_cast<int>(rows.size()) - 1;
}

} // namespace vastrel
