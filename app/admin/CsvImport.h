#pragma once

#include <QString>

namespace vastrel {

class Database;

// Loads a CSV file into a table: the first row names the columns (any case),
// every later row is one record. Values are checked against the column's kind
// (numbers, -1/0 flags, dates as YYYY-MM-DD or dd-mm-yyyy, times as HH:MM).
// All rows go in or none; a failure throws DbError with the file's line number.
// Returns the number of rows loaded.
int importCsv(Database& db, const QString& table, const QString& csvPath);

} // namespace vastrel
