#include "XlsxReader.h"

#include "UserError.h"
#include "XlsxArchive.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>

namespace vastrel {

namespace {

constexpr int kMaxRow = 1'048'576;
constexpr int kMaxColumn = 16'383;            // XFD
constexpr double kLastDateSerial = 2'958'466; // the day after 9999-12-31 (1900 system)
constexpr qint64 kSecondsPerDay = 86'400;
const QDate kTimeOnlyDay(1899, 12, 30);

// What the reading of a workbook holds so far, against its limits; `file` is the one read.
struct Holding {
    QString file;
    WorkbookLimits limits;
    qint64 cells = 0;
    qint64 characters = 0;

    [[noreturn]] void fail(const QString& what) const {
        throw UserError(QStringLiteral("Cannot read %1: %2").arg(file, what));
    }
    // Counts one more cell or shared string, and the characters of its own text, against
    // the limits.
    void count(qsizetype ownCharacters) {
        if (++cells > limits.maxCells)
            fail(QStringLiteral("it holds more than %1 cells").arg(limits.maxCells));
        characters += ownCharacters;
        if (characters > limits.maxTextCharacters)
            fail(QStringLiteral("it holds more than %1 characters of text")
                     .arg(limits.maxTextCharacters));
    }
};

// The calendar and the parts of an XLSX file that every sheet needs.
struct WorkbookParts : Holding {
    QDate epoch = kTimeOnlyDay;
    QStringList sharedStrings;
    std::vector<bool> dateStyles; // per cell style (cellXfs index): numbers shown as dates
};

// The refusal of a cell longer than a spreadsheet cell may be.
QString tooLong(const WorkbookLimits& limits) {
    return QStringLiteral("a cell holds more than %1 characters").arg(limits.maxCellCharacters);
}

// The refusal of a sheet with more rows than any manifest fills.
QString tooManyRows(const QString& sheet, const WorkbookLimits& limits) {
    return QStringLiteral("the sheet %1 holds more than %2 rows")
        .arg(quotedValue(sheet))
        .arg(limits.maxRowsPerSheet);
}

// Reads the XML of one part as it inflates, failing with the part's name and line when it
// is malformed or too big. Every step starts a new stretch of the part.
class PartReader : public QXmlStreamReader {
public:
    PartReader(const XlsxArchive& zip, const QString& part, const WorkbookParts& book)
        : m_device(zip.open(part)), m_part(part), m_book(book) {
        setDevice(m_device.get());
    }

    // The next token; fails on malformed XML.
    TokenType next() {
        const TokenType token = readNext();
        if (token == Invalid)
            failHere(errorString());
        m_device->startStretch();
        return token;
    }
    // Advances to the next start element; false at the end of the part.
    bool nextStart() {
        while (!atEnd()) {
            if (next() == StartElement)
                return true;
        }
        return false;
    }
    // Advances within the current element; false at its end.
    bool nextChild() {
        if (!readNextStartElement() && hasError())
            failHere(errorString());
        m_device->startStretch();
        return isStartElement();
    }
    // The text of the current element, which may hold no other element.
    QString text() {
        QString text = readElementText();
        if (hasError())
            failHere(errorString());
        m_device->startStretch();
        return text;
    }
    void skip() {
        skipCurrentElement();
        if (hasError())
            failHere(errorString());
        m_device->startStretch();
    }
    QString attribute(const char* name) const {
        return attributes().value(QLatin1StringView(name)).toString();
    }
    // A part that stopped early says why, rather than the XML's premature end.
    [[noreturn]] void failHere(const QString& what) const {
        const QString why = m_device->failure().isEmpty() ? what : m_device->failure();
        m_book.fail(QStringLiteral("%1, line %2: %3").arg(m_part).arg(lineNumber()).arg(why));
    }

private:
    std::unique_ptr<XlsxPart> m_device;
    QString m_part;
    const WorkbookParts& m_book;
};

// Characters a spreadsheet escapes as _xHHHH_ (control characters, mostly) restored.
QString unescaped(const QString& text) {
    static const QRegularExpression escape(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    QString result;
    qsizetype done = 0;
    for (auto it = escape.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        result += QStringView(text).mid(done, match.capturedStart() - done);
        result += QChar(match.captured(1).toUShort(nullptr, 16));
        done = match.capturedEnd();
    }
    result += QStringView(text).mid(done);
    return result;
}

// The text of a string item (<si> or <is>): its <t>, or its runs' <t> joined; phonetic
// hints (<rPh>) are left out. Ends on the item's end element.
QString readStringItem(PartReader& xml, const WorkbookLimits& limits) {
    QString text;
    for (int depth = 1; depth > 0;) {
        const QXmlStreamReader::TokenType token = xml.next();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
        } else if (token != QXmlStreamReader::StartElement) {
            continue;
        } else if (xml.name() == u"t") {
            text += xml.text();
            if (text.size() > limits.maxCellCharacters)
                xml.failHere(tooLong(limits));
        } else if (xml.name() == u"rPh") {
            xml.skip();
        } else {
            ++depth; // a run (<r>) or its properties
        }
    }
    return unescaped(text);
}

struct SheetEntry {
    QString name;
    QString relationId;
};

// The sheets of xl/workbook.xml in order; sets the calendar from workbookPr.
std::vector<SheetEntry> readSheetList(const XlsxArchive& zip, WorkbookParts& book) {
    const QString part = QStringLiteral("xl/workbook.xml");
    PartReader xml(zip, part, book);
    std::vector<SheetEntry> sheets;
    while (xml.nextStart()) {
        if (xml.name() == u"workbookPr") {
            const QString date1904 = xml.attribute("date1904");
            if (date1904 == u"1" || date1904 == u"true")
                book.epoch = QDate(1904, 1, 1);
        } else if (xml.name() == u"sheet") {
            QString id;
            for (const QXmlStreamAttribute& a : xml.attributes()) {
                if (a.name() == u"id" && !a.namespaceUri().isEmpty())
                    id = a.value().toString();
            }
            sheets.push_back({xml.attribute("name"), id});
        }
    }
    return sheets;
}

// The part a relationship target names, relative to the folder xl/.
QString partPath(const QString& target) {
    if (target.startsWith(u'/'))
        return QDir::cleanPath(target.mid(1));
    return QDir::cleanPath(QStringLiteral("xl/") + target);
}

// Relationship ids of xl/_rels/workbook.xml.rels to the parts they name.
QHash<QString, QString> readRelations(const XlsxArchive& zip, const WorkbookParts& book) {
    const QString part = QStringLiteral("xl/_rels/workbook.xml.rels");
    PartReader xml(zip, part, book);
    QHash<QString, QString> targets;
    while (xml.nextStart()) {
        if (xml.name() == u"Relationship" && xml.attribute("TargetMode") != u"External")
            targets.insert(xml.attribute("Id"), partPath(xml.attribute("Target")));
    }
    return targets;
}

void readSharedStrings(const XlsxArchive& zip, WorkbookParts& book) {
    const QString part = QStringLiteral("xl/sharedStrings.xml");
    if (!zip.contains(part))
        return;
    PartReader xml(zip, part, book);
    while (xml.nextStart()) {
        if (xml.name() == u"si") {
            book.sharedStrings << readStringItem(xml, book.limits);
            book.count(book.sharedStrings.back().size());
        }
    }
}

// Whether a number format code shows a date or time: a d, m, y, h or s outside quoted
// text, [brackets] (colours, conditions), escaped characters and padding.
bool isDateFormatCode(const QString& code) {
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i].toLower();
        if (c == u'"' || c == u'[') {
            i = code.indexOf(c == u'"' ? u'"' : u']', i + 1);
            if (i < 0)
                return false;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (QStringView(u"dmyhs").contains(c)) {
            return true;
        }
    }
    return false;
}

bool isBuiltInDateFormat(int id) {
    return (id >= 14 && id <= 22) || (id >= 45 && id <= 47);
}

void readStyles(const XlsxArchive& zip, WorkbookParts& book) {
    const QString part = QStringLiteral("xl/styles.xml");
    if (!zip.contains(part))
        return;
    PartReader xml(zip, part, book);
    QHash<int, bool> customIsDate;
    while (xml.nextStart()) {
        if (xml.name() == u"numFmts") {
            while (xml.nextChild()) {
                customIsDate.insert(xml.attribute("numFmtId").toInt(),
                                    isDateFormatCode(xml.attribute("formatCode")));
                xml.skip();
            }
        } else if (xml.name() == u"cellXfs") {
            while (xml.nextChild()) {
                const int id = xml.attribute("numFmtId").toInt();
                book.dateStyles.push_back(customIsDate.value(id, isBuiltInDateFormat(id)));
                xml.skip();
            }
        }
    }
}

// The date a serial number of the workbook's calendar names, to the nearest second; a
// time of day alone (a serial below 1) lies on 1899-12-30 in either calendar.
QDateTime dateFromSerial(double serial, QDate epoch) {
    const qint64 seconds = std::llround(serial * kSecondsPerDay);
    const QDate day = seconds < kSecondsPerDay ? kTimeOnlyDay : epoch;
    return QDateTime(day.addDays(seconds / kSecondsPerDay),
                     QTime(0, 0).addSecs(static_cast<int>(seconds % kSecondsPerDay)), Qt::UTC);
}

// Parses "C12"-style references: sets the column (0 = A); false when it is not one.
bool parseColumn(const QString& reference, int* column) {
    int value = 0;
    qsizetype letters = 0;
    while (letters < reference.size() && letters < 3 && reference[letters].isLetter() &&
           reference[letters].toUpper() >= u'A' && reference[letters].toUpper() <= u'Z') {
        value = value * 26 + (reference[letters].toUpper().unicode() - u'A' + 1);
        ++letters;
    }
    const QStringView digits = QStringView(reference).mid(letters);
    if (letters == 0 || value - 1 > kMaxColumn || digits.isEmpty() ||
        !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit(); }))
        return false;
    *column = value - 1;
    return true;
}

// One <c> element being read.
struct RawCell {
    QString type;
    int style = 0;
    QString value;
    bool inlineText = false;
};

// The value a cell holds; an empty text when it holds nothing.
CellValue cellValue(const RawCell& raw, const WorkbookParts& book, PartReader& xml) {
    if (raw.inlineText || raw.type == u"str" || raw.type == u"inlineStr")
        return CellValue::fromText(raw.value);
    if (raw.value.isEmpty())
        return {};
    if (raw.type == u"s") {
        bool ok = false;
        const int index = raw.value.toInt(&ok);
        if (!ok || index < 0 || index >= book.sharedStrings.size())
            xml.failHere(QStringLiteral("no shared string %1").arg(quotedValue(raw.value)));
        return CellValue::fromText(book.sharedStrings[index]);
    }
    if (raw.type == u"b")
        return CellValue::fromText(raw.value == u"1" ? QStringLiteral("TRUE")
                                                     : QStringLiteral("FALSE"));
    if (raw.type == u"e")
        return CellValue::fromText(raw.value);
    if (raw.type == u"d") {
        QDateTime date = QDateTime::fromString(raw.value, Qt::ISODate);
        date.setTimeSpec(Qt::UTC);
        return date.isValid() ? CellValue::fromDateTime(date) : CellValue::fromText(raw.value);
    }
    bool ok = false;
    const double number = raw.value.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        xml.failHere(QStringLiteral("%1 is not a number").arg(quotedValue(raw.value)));
    const bool date = raw.style >= 0 && static_cast<size_t>(raw.style) < book.dateStyles.size() &&
                      book.dateStyles[raw.style];
    if (date && number >= 0 && number < kLastDateSerial)
        return CellValue::fromDateTime(dateFromSerial(number, book.epoch));
    return CellValue::fromNumber(number);
}

// Reads a <c> element to its end.
RawCell readRawCell(PartReader& xml, const WorkbookLimits& limits) {
    RawCell raw{xml.attribute("t"), xml.attribute("s").toInt(), {}, false};
    while (xml.nextChild()) {
        if (xml.name() == u"v") {
            raw.value = xml.text();
            if (raw.value.size() > limits.maxCellCharacters)
                xml.failHere(tooLong(limits));
        } else if (xml.name() == u"is") {
            raw.value = readStringItem(xml, limits);
            raw.inlineText = true;
        } else {
            xml.skip();
        }
    }
    return raw;
}

// Reads a <row> element to its end; cells without a reference follow the one before.
SheetRow readRow(PartReader& xml, int number, WorkbookParts& book) {
    SheetRow row{number, {}};
    int column = -1;
    while (xml.nextChild()) {
        if (xml.name() != u"c") {
            xml.skip();
            continue;
        }
        const QString reference = xml.attribute("r");
        if (reference.isEmpty())
            ++column;
        else if (!parseColumn(reference, &column))
            xml.failHere(QStringLiteral("%1 is not a cell reference").arg(quotedValue(reference)));
        if (column > kMaxColumn)
            xml.failHere(QStringLiteral("a cell lies beyond column XFD"));
        const RawCell raw = readRawCell(xml, book.limits);
        const CellValue value = cellValue(raw, book, xml);
        if (value.isEmpty())
            continue;
        // A shared string's characters are counted once, with the shared strings.
        book.count(raw.type == u"s" ? 0 : raw.value.size());
        row.cells.push_back({column, value});
    }
    std::sort(row.cells.begin(), row.cells.end(),
              [](const SheetCell& a, const SheetCell& b) { return a.column < b.column; });
    return row;
}

Sheet readSheet(const XlsxArchive& zip, const QString& part, const QString& name,
                WorkbookParts& book) {
    PartReader xml(zip, part, book);
    Sheet sheet{name, {}};
    int number = 0;
    while (xml.nextStart()) {
        if (xml.name() != u"row")
            continue;
        const QString given = xml.attribute("r");
        number = given.isEmpty() ? number + 1 : given.toInt();
        if (number < 1 || number > kMaxRow)
            xml.failHere(QStringLiteral("%1 is not a row number").arg(quotedValue(given)));
        SheetRow row = readRow(xml, number, book);
        if (row.cells.empty())
            continue;
        if (static_cast<qint64>(sheet.rows.size()) == book.limits.maxRowsPerSheet)
            book.fail(tooManyRows(name, book.limits));
        sheet.rows.push_back(std::move(row));
    }
    std::stable_sort(sheet.rows.begin(), sheet.rows.end(),
                     [](const SheetRow& a, const SheetRow& b) { return a.number < b.number; });
    return sheet;
}

Workbook readXlsx(const QString& path, const WorkbookLimits& limits) {
    const XlsxArchive zip(path, limits.maxPartBytes, limits.maxItemBytes);
    WorkbookParts book;
    book.file = path;
    book.limits = limits;
    const std::vector<SheetEntry> entries = readSheetList(zip, book);
    const QHash<QString, QString> parts = readRelations(zip, book);
    readSharedStrings(zip, book);
    readStyles(zip, book);
    Workbook workbook;
    for (const SheetEntry& entry : entries) {
        const QString part = parts.value(entry.relationId);
        if (part.isEmpty())
            book.fail(QStringLiteral("the sheet %1 has no part").arg(quotedValue(entry.name)));
        workbook.sheets.push_back(readSheet(zip, part, entry.name, book));
    }
    return workbook;
}

// A CSV file as a sheet: every value is text, lines give the row numbers.
Sheet readCsvSheet(const QFileInfo& file, CsvEncoding encoding, Holding& holding) {
    holding.file = file.filePath();
    const WorkbookLimits& limits = holding.limits;
    if (file.size() > limits.maxPartBytes)
        holding.fail(QStringLiteral("it is bigger than %1 MB").arg(limits.maxPartBytes >> 20));
    Sheet sheet{file.completeBaseName(), {}};
    forEachCsvRow(file.filePath(), encoding, [&](const CsvRow& csv) {
        SheetRow row{csv.line, {}};
        for (qsizetype c = 0; c < csv.values.size(); ++c) {
            const QString& value = csv.values[c];
            if (value.isEmpty())
                continue;
            if (value.size() > limits.maxCellCharacters)
                holding.fail(QStringLiteral("line %1: %2").arg(csv.line).arg(tooLong(limits)));
            holding.count(value.size());
            row.cells.push_back({static_cast<int>(c), CellValue::fromText(value)});
        }
        if (row.cells.empty())
            return;
        if (static_cast<qint64>(sheet.rows.size()) == limits.maxRowsPerSheet)
            holding.fail(tooManyRows(sheet.name, limits));
        sheet.rows.push_back(std::move(row));
    });
    return sheet;
}

Workbook readCsvFolder(const QString& path, CsvEncoding encoding, const WorkbookLimits& limits) {
    Workbook workbook;
    Holding holding{path, limits};
    const QFileInfoList files = QDir(path).entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo& file : files) {
        if (file.suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0)
            workbook.sheets.push_back(readCsvSheet(file, encoding, holding));
    }
    if (workbook.sheets.empty())
        throw UserError(QStringLiteral("Cannot read %1: the folder holds no CSV file").arg(path));
    return workbook;
}

} // namespace

CellValue CellValue::fromText(const QString& text) {
    return {Kind::Text, text, 0, {}};
}

CellValue CellValue::fromNumber(double number) {
    return {Kind::Number, {}, number, {}};
}

CellValue CellValue::fromDateTime(const QDateTime& dateTime) {
    return {Kind::Date, {}, 0, dateTime};
}

QString CellValue::toText() const {
    switch (kind) {
    case Kind::Text:
        return text;
    case Kind::Number:
        return QString::number(number, 'f', QLocale::FloatingPointShortest);
    case Kind::Date:
        break;
    }
    const QString date = dateTime.date().toString(QStringLiteral("yyyy-MM-dd"));
    const QString time = dateTime.time().toString(QStringLiteral("HH:mm:ss"));
    if (dateTime.date() == kTimeOnlyDay)
        return time;
    return dateTime.time() == QTime(0, 0) ? date : date + ' ' + time;
}

const Sheet* Workbook::find(const QString& name) const {
    const auto found = std::find_if(sheets.begin(), sheets.end(), [&](const Sheet& s) {
        return s.name.compare(name, Qt::CaseInsensitive) == 0;
    });
    return found == sheets.end() ? nullptr : &*found;
}

const Sheet& Workbook::sheet(const QString& name) const {
    if (const Sheet* found = find(name))
        return *found;
    throw UserError(QStringLiteral("The workbook has no sheet \"%1\"").arg(name));
}

Workbook readWorkbook(const QString& path, CsvEncoding encoding, const WorkbookLimits& limits) {
    const QFileInfo info(path);
    if (!info.exists())
        throw UserError(QStringLiteral("Cannot read %1: no such file or folder").arg(path));
    return info.isDir() ? readCsvFolder(path, encoding, limits) : readXlsx(path, limits);
}

SheetTable sheetTable(const Sheet& sheet) {
    SheetTable table{sheet.name, 0, {}, {}, {}};
    if (sheet.rows.empty())
        return table;
    const SheetRow& heading = sheet.rows.front();
    table.headingRow = heading.number;
    const auto problem = [&](int row, const Wording& what) {
        table.problems.append({row, 0, what, sheet.name});
    };
    QHash<int, QString> names; // by column
    QSet<QString> twice;
    QSet<int> told; // columns left out whose problem is told
    for (const SheetCell& cell : heading.cells) {
        const QString name = cell.value.toText().trimmed().toLower();
        if (name.isEmpty())
            continue;
        if (!table.columns.contains(name)) {
            table.columns << name;
            names.insert(cell.column, name);
            continue;
        }
        told.insert(cell.column);
        if (!twice.contains(name)) {
            twice.insert(name);
            problem(heading.number,
                    worded({"the column %1 is named twice", "kolom %1 ditulis dua kali"},
                           quotedValue(name)));
        }
    }
    for (auto row = sheet.rows.begin() + 1; row != sheet.rows.end(); ++row) {
        SheetRecord record{row->number, {}};
        for (const SheetCell& cell : row->cells) {
            const QString name = names.value(cell.column);
            if (!name.isEmpty()) {
                record.values.insert(name, cell.value);
            } else if (!told.contains(cell.column)) {
                told.insert(cell.column);
                problem(row->number, worded({"a value in column %1, which has no heading",
                                             "kolom %1 berisi nilai tetapi tidak memiliki judul"},
                                            columnLetters(cell.column)));
            }
        }
        table.records.push_back(std::move(record));
    }
    return table;
}

QString columnLetters(int column) {
    QString letters;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    return letters;
}

} // namespace vastrel
