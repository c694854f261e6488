#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace vastrel {

class Database;

// How the bytes of a CSV file are read as text. Utf8OrLatin1 reads a file that is not valid
// UTF-8 as Latin-1, and refuses one that holds C1 control bytes, which no Latin-1 text does.
enum class CsvEncoding { Utf8, Windows1252, Utf8OrLatin1 };

// One row of a CSV file: the line where it starts and its values.
struct CsvRow {
    int line = 0;
    QStringList values;
};

// The rows of the CSV file at `path`; quoted values may hold commas, quotes ("") and
// line breaks, and empty lines are left out. Reading is checked as importCsv describes
// (byte-order mark, invalid UTF-8, NUL); a failure throws DbError with its place.
std::vector<CsvRow> readCsvRows(const QString& path, CsvEncoding encoding = CsvEncoding::Utf8);

// The same rows handed to `take` one by one as they are read, none kept.
using CsvRowTaker = std::function<void(const CsvRow&)>;
void forEachCsvRow(const QString& path, CsvEncoding encoding, const CsvRowTaker& take);

// Loads a CSV file into a table: the first row names the columns (any case),
// every later row is one record. Values are checked against the column's kind
// (finite numbers, -1/0 flags, dates as YYYY-MM-DD or dd-mm-yyyy, times as HH:MM).
// A UTF-8 file may start with a byte-order mark; invalid UTF-8 in a UTF-8 file, or
// a NUL character in any file, is refused with its line and column.
// All rows go in or none; a failure throws DbError with the file's line number and
// quotes at most the first 60 characters of a bad value.
// Returns the number of rows loaded.
int importCsv(Database& db, const QString& table, const QString& csvPath,
              CsvEncoding encoding = CsvEncoding::Utf8);

} // namespace vastrel
