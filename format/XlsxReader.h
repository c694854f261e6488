#pragma once

#include "CsvImport.h"
#include "FlatFileReader.h"

#include <QDateTime>
#include <QMap>
#include <QString>
#include <QStringList>

#include <vector>

namespace vastrel {

// A cell's value as the spreadsheet holds it: text, a number, or a date (with time).
struct CellValue {
    enum class Kind { Text, Number, Date };
    Kind kind = Kind::Text;
    QString text;       // Kind::Text
    double number = 0;  // Kind::Number
    QDateTime dateTime; // Kind::Date, in UTC; a time of day alone lies on 1899-12-30

    static CellValue fromText(const QString& text);
    static CellValue fromNumber(double number);
    static CellValue fromDateTime(const QDateTime& dateTime);

    bool isEmpty() const { return kind == Kind::Text && text.isEmpty(); }
    // The value as text: numbers as the shortest exact decimal ("12.5", "1"), dates
    // "YYYY-MM-DD", times of day "HH:MM:SS", both "YYYY-MM-DD HH:MM:SS".
    QString toText() const;
    bool operator==(const CellValue&) const = default;
};

// A cell that holds something; column 0 is A.
struct SheetCell {
    int column = 0;
    CellValue value;
    bool operator==(const SheetCell&) const = default;
};

// A row with at least one cell; `number` as the spreadsheet shows it (the first row is 1,
// a CSV file gives the line where the row starts). Cells ascend by column; blank cells
// are left out.
struct SheetRow {
    int number = 0;
    std::vector<SheetCell> cells;
};

struct Sheet {
    QString name;
    std::vector<SheetRow> rows;
};

struct Workbook {
    std::vector<Sheet> sheets; // in the workbook's order (CSV files: by file name)

    // The sheet called `name`, in any case; null when there is none.
    const Sheet* find(const QString& name) const;
    // The same, throwing UserError when the workbook has no such sheet.
    const Sheet& sheet(const QString& name) const;
};

// What a workbook may make the reader hold, so that a crafted file cannot exhaust memory:
// a bigger part (or CSV file), a longer cell, more rows in a sheet, more cells (shared
// strings included) or more text in all are refused. A part is read as it inflates; one
// item of its XML (a tag, a cell's text) may not be longer than maxItemBytes.
struct WorkbookLimits {
    qint64 maxPartBytes = 64LL * 1024 * 1024;
    qint64 maxCells = 600'000;
    qint64 maxItemBytes = 1024 * 1024;
    qint64 maxCellCharacters = 32'767; // what a spreadsheet program lets a cell hold
    qint64 maxRowsPerSheet = 200'000;
    qint64 maxTextCharacters = 24LL * 1024 * 1024;
};

// Reads an XLSX workbook, or a folder of CSV files each of which is one sheet named after
// the file (POS.csv is the sheet "POS"; `encoding` applies to them). Throws UserError when
// the file is not a workbook, a part is missing or damaged, or a limit is exceeded, and
// DbError for a CSV file that cannot be read, each naming the file and the place.
Workbook readWorkbook(const QString& path, CsvEncoding encoding = CsvEncoding::Utf8,
                      const WorkbookLimits& limits = {});

// A row under the heading row, by column name; blank cells are absent.
struct SheetRecord {
    int row = 0;
    QMap<QString, CellValue> values;
};

// A sheet read as a table: its first row names the columns.
struct SheetTable {
    QString sheet;
    int headingRow = 0;  // 0 when the sheet is empty
    QStringList columns; // the headings, trimmed and in lower case, left to right, each once
    std::vector<SheetRecord> records;
    // A heading given twice (its later columns are left out), a column without a heading
    // that holds a value (at its first row; left out too).
    ProblemList problems;
};

// The sheet as a table.
SheetTable sheetTable(const Sheet& sheet);

// The letters of a column as a spreadsheet shows them: 0 is "A", 26 is "AA".
QString columnLetters(int column);

} // namespace vastrel
