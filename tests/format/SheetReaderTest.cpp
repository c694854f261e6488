// Reading workbooks: XLSX written by libxlsxwriter and by hand, CSV folders, refusals.

#include "TestSupport.h"
#include "UserError.h"
#include "XlsxReader.h"

#include <QDir>
#include <QFile>

#include <xlsxwriter.h>
#include <zip.h>

#include <functional>
#include <map>

namespace vastrel {

// Readable cell values in failure messages.
inline void PrintTo(const CellValue& value, std::ostream* out) {
    static const char* kinds[] = {"text", "number", "date"};
    *out << kinds[static_cast<int>(value.kind)] << ' ' << value.toText().toStdString();
}

namespace {

using test::TempDirTest;
using Kind = CellValue::Kind;

// A cell as expected: where it stands, its kind and its value as text.
struct Expected {
    int row;
    const char* column;
    Kind kind;
    const char* text;
};

// Checks the cells of `sheet` against `expected`, which lists every cell there is.
void expectCells(const Sheet& sheet, const std::vector<Expected>& expected) {
    std::map<std::pair<int, QString>, CellValue> found;
    for (const SheetRow& row : sheet.rows) {
        for (const SheetCell& cell : row.cells)
            found[{row.number, columnLetters(cell.column)}] = cell.value;
    }
    EXPECT_EQ(found.size(), expected.size());
    for (const Expected& e : expected) {
        const auto cell = found.find({e.row, e.column});
        ASSERT_NE(cell, found.end()) << e.column << e.row;
        EXPECT_EQ(cell->second.kind, e.kind) << e.column << e.row;
        EXPECT_EQ(cell->second.toText(), QString::fromUtf8(e.text)) << e.column << e.row;
    }
}

// Writes a zip archive of `parts` (name and content) to `path`.
void writeZip(const QString& path, const std::map<std::string, QByteArray>& parts) {
    int error = 0;
    zip_t* archive =
        zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    for (const auto& [name, content] : parts) {
        zip_source_t* source = zip_source_buffer(archive, content.constData(), content.size(), 0);
        ASSERT_GE(zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE), 0);
    }
    ASSERT_EQ(zip_close(archive), 0);
}

const QByteArray kWorkbook = R"(<?xml version="1.0" encoding="UTF-8"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"
 xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">
 <workbookPr date1904="1"/><sheets><sheet name="POS" sheetId="1" r:id="rId1"/></sheets></workbook>)";

const QByteArray kRelations = R"(<?xml version="1.0" encoding="UTF-8"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
 <Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/xl/worksheets/data.xml"/>
</Relationships>)";

const QByteArray kSharedStrings =
    R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
 <si><t>nobl</t></si>
 <si><r><rPr><b/></rPr><t>SBL</t></r><r><t xml:space="preserve">0001</t></r><rPh><t>x</t></rPh></si>
 <si><t>A_x000D_B</t></si></sst>)";

const QByteArray kStyles =
    R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
 <numFmts><numFmt numFmtId="164" formatCode="dd/mm/yyyy"/><numFmt numFmtId="165" formatCode="0.0&quot; days&quot;"/>
 <numFmt numFmtId="166" formatCode="[Red]0"/></numFmts>
 <cellStyleXfs><xf numFmtId="14"/></cellStyleXfs>
 <cellXfs><xf numFmtId="0"/><xf numFmtId="164"/><xf numFmtId="165"/><xf numFmtId="166"/><xf numFmtId="20"/></cellXfs>
 <dxfs><dxf><numFmt numFmtId="164" formatCode="0"/></dxf></dxfs></styleSheet>)";

// A sheet with every kind of cell; cells B1 and row 2 are missing, row 4 and its second
// cell carry no reference.
const QByteArray kSheet =
    R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>
 <row r="1"><c r="A1" t="s"><v>0</v></c><c r="C1" t="inlineStr"><is><r><t>in</t></r><r><t>line</t></r></is></c></row>
 <row r="3"><c r="A3" t="s"><v>1</v></c><c r="B3" s="1"><v>1</v></c><c r="C3" s="2"><v>2.5</v></c>
  <c r="D3" s="3"><v>7</v></c><c r="E3" s="4"><v>0.354166666666667</v></c><c r="F3" t="b"><v>1</v></c></row>
 <row><c t="e"><v>#N/A</v></c><c t="str"><f>A1</f><v>nobl</v></c><c r="AA4" t="s"><v>2</v></c><c r="AB4"/></row>
</sheetData></worksheet>)";

std::map<std::string, QByteArray> handMadeParts() {
    return {{"xl/workbook.xml", kWorkbook},
            {"xl/_rels/workbook.xml.rels", kRelations},
            {"xl/sharedStrings.xml", kSharedStrings},
            {"xl/styles.xml", kStyles},
            {"xl/worksheets/data.xml", kSheet}};
}

class SheetReaderTest : public TempDirTest {};

TEST_F(SheetReaderTest, ReadsHandMadeWorkbookWithEveryKindOfCell) {
    writeZip(path("hand.xlsx"), handMadeParts());
    const Workbook book = readWorkbook(path("hand.xlsx"));
    ASSERT_EQ(book.sheets.size(), 1u);
    expectCells(book.sheet("pos"), {{1, "A", Kind::Text, "nobl"},
                                    {1, "C", Kind::Text, "inline"},
                                    {3, "A", Kind::Text, "SBL0001"},
                                    {3, "B", Kind::Date, "1904-01-02"},
                                    {3, "C", Kind::Number, "2.5"},
                                    {3, "D", Kind::Number, "7"},
                                    {3, "E", Kind::Date, "08:30:00"},
                                    {3, "F", Kind::Text, "TRUE"},
                                    {4, "A", Kind::Text, "#N/A"},
                                    {4, "B", Kind::Text, "nobl"},
                                    {4, "AA", Kind::Text, "A\rB"}});
}

// Writes with libxlsxwriter; in constant-memory mode it writes inline strings.
void writeWithLibrary(const QString& path, bool inlineStrings) {
    lxw_workbook_options options{};
    options.constant_memory = inlineStrings;
    lxw_workbook* book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Barang");
    lxw_format* date = workbook_add_format(book);
    format_set_num_format(date, "dd-mm-yyyy");
    lxw_format* builtInDate = workbook_add_format(book);
    format_set_num_format_index(builtInDate, 14);
    lxw_format* decimals = workbook_add_format(book);
    format_set_num_format(decimals, "#,##0.00");
    lxw_datetime day = {2024, 3, 15, 0, 0, 0};
    lxw_datetime stamp = {2024, 3, 15, 8, 30, 0};
    worksheet_write_string(sheet, 0, 0, "uraian", nullptr);
    worksheet_write_string(sheet, 0, 2, "Kopi “Arabika”", nullptr);
    worksheet_write_number(sheet, 3, 0, 1234.5, decimals);
    worksheet_write_number(sheet, 3, 1, 1000000, nullptr);
    worksheet_write_datetime(sheet, 3, 2, &day, date);
    worksheet_write_datetime(sheet, 3, 3, &stamp, builtInDate);
    ASSERT_EQ(workbook_close(book), LXW_NO_ERROR);
}

class LibraryWorkbookTest : public SheetReaderTest, public ::testing::WithParamInterface<bool> {};

TEST_P(LibraryWorkbookTest, ReadsStringsNumbersAndDates) {
    writeWithLibrary(path("lib.xlsx"), GetParam());
    const Workbook book = readWorkbook(path("lib.xlsx"));
    expectCells(book.sheet("Barang"), {{1, "A", Kind::Text, "uraian"},
                                       {1, "C", Kind::Text, "Kopi “Arabika”"},
                                       {4, "A", Kind::Number, "1234.5"},
                                       {4, "B", Kind::Number, "1000000"},
                                       {4, "C", Kind::Date, "2024-03-15"},
                                       {4, "D", Kind::Date, "2024-03-15 08:30:00"}});
}

INSTANTIATE_TEST_SUITE_P(SharedAndInlineStrings, LibraryWorkbookTest, ::testing::Bool());

TEST_F(SheetReaderTest, ReadsFolderOfCsvFilesAsSheets) {
    writeFile("Header.csv", "\xEF\xBB\xBFvessel,voyage\nSEA BREEZE,012N\n");
    writeFile("POS.csv", "NOBL,mark\n\nSBL0001,\"two\nlines\"\nSBL0002,\n");
    writeFile("notes.txt", "not a sheet");
    const Workbook book = readWorkbook(folder());
    ASSERT_EQ(book.sheets.size(), 2u);
    expectCells(book.sheet("Header"), {{1, "A", Kind::Text, "vessel"},
                                       {1, "B", Kind::Text, "voyage"},
                                       {2, "A", Kind::Text, "SEA BREEZE"},
                                       {2, "B", Kind::Text, "012N"}});
    const SheetTable pos = sheetTable(book.sheet("POS"));
    EXPECT_EQ(pos.columns, (QStringList{"nobl", "mark"}));
    ASSERT_EQ(pos.records.size(), 2u);
    EXPECT_EQ(pos.records[0].row, 3);
    EXPECT_EQ(pos.records[0].values.value("mark").text, "two\nlines");
    EXPECT_EQ(pos.records[1].row, 5);
    EXPECT_FALSE(pos.records[1].values.contains("mark"));
}

TEST(SheetTableTest, MapsRowsByTheirHeadings) {
    const Sheet sheet{
        "Barang",
        {{2, {{0, CellValue::fromText(" NOBL ")}, {2, CellValue::fromText("hs")}}},
         {5, {{0, CellValue::fromText("SBL1")}, {2, CellValue::fromNumber(847130)}}}}};
    const SheetTable table = sheetTable(sheet);
    EXPECT_EQ(table.headingRow, 2);
    EXPECT_EQ(table.columns, (QStringList{"nobl", "hs"}));
    ASSERT_EQ(table.records.size(), 1u);
    EXPECT_EQ(table.records[0].row, 5);
    EXPECT_EQ(table.records[0].values.value("hs").toText(), "847130");
}

struct TableProblem {
    const char* name;
    Sheet sheet;
    const char* message;
};

class SheetTableProblemTest : public ::testing::TestWithParam<TableProblem> {};

TEST_P(SheetTableProblemTest, NamesSheetAndRow) {
    const SheetTable table = sheetTable(GetParam().sheet);
    ASSERT_EQ(table.problems.count(), 1);
    EXPECT_EQ(table.problems.listed()[0].toString(), GetParam().message);
    EXPECT_EQ(table.columns, QStringList{"nobl"});
}

INSTANTIATE_TEST_SUITE_P(
    Problems, SheetTableProblemTest,
    ::testing::Values(
        TableProblem{"HeadingTwice",
                     {"POS",
                      {{1,
                        {{0, CellValue::fromText("nobl")},
                         {1, CellValue::fromText("NOBL")},
                         {2, CellValue::fromText("Nobl")}}},
                       {2, {{0, CellValue::fromText("SBL1")}, {1, CellValue::fromText("SBL2")}}}}},
                     "POS row 1: the column \"nobl\" is named twice"},
        TableProblem{
            "ValueWithoutHeading",
            {"POS",
             {{1, {{0, CellValue::fromText("nobl")}}}, {4, {{27, CellValue::fromNumber(1)}}}}},
            "POS row 4: a value in column AB, which has no heading"}),
    [](const auto& info) { return std::string(info.param.name); });

// A workbook that must be refused, and words the refusal must hold.
struct Refusal {
    const char* name;
    std::function<void(const QString& path)> make;
    const char* message;
    WorkbookLimits limits = {};
};

std::map<std::string, QByteArray> handMadeWith(const std::string& part, const QByteArray& content) {
    std::map<std::string, QByteArray> parts = handMadeParts();
    if (content.isNull())
        parts.erase(part);
    else
        parts[part] = content;
    return parts;
}

class WorkbookRefusalTest : public SheetReaderTest,
                            public ::testing::WithParamInterface<Refusal> {};

TEST_P(WorkbookRefusalTest, ThrowsUserError) {
    const QString target = path("book.xlsx");
    GetParam().make(target);
    try {
        readWorkbook(target, CsvEncoding::Utf8, GetParam().limits);
        FAIL() << "no error";
    } catch (const UserError& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
    }
}

void writeText(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, WorkbookRefusalTest,
    ::testing::Values(
        Refusal{"NotAZip", [](const QString& p) { writeText(p, "nobl,mark\n"); },
                "not an XLSX workbook (not a zip archive)"},
        Refusal{"EmptyFile", [](const QString& p) { writeText(p, ""); }, "not an XLSX workbook"},
        Refusal{"NoSuchFile", [](const QString&) {}, "no such file or folder"},
        Refusal{"NoWorkbookPart",
                [](const QString& p) { writeZip(p, handMadeWith("xl/workbook.xml", {})); },
                "the part xl/workbook.xml is missing"},
        Refusal{"NoSheetPart",
                [](const QString& p) { writeZip(p, handMadeWith("xl/worksheets/data.xml", {})); },
                "the part xl/worksheets/data.xml is missing"},
        Refusal{"BadXml",
                [](const QString& p) {
                    writeZip(p, handMadeWith("xl/worksheets/data.xml", "<worksheet><row>"));
                },
                "xl/worksheets/data.xml, line 1:"},
        Refusal{"NoSuchSharedString",
                [](const QString& p) {
                    writeZip(p,
                             handMadeWith("xl/sharedStrings.xml", "<sst><si><t>x</t></si></sst>"));
                },
                "no shared string \"1\""},
        Refusal{"BadCellReference",
                [](const QString& p) {
                    writeZip(p,
                             handMadeWith("xl/worksheets/data.xml",
                                          "<worksheet><sheetData><row r=\"1\"><c r=\"1A\"><v>1</v>"
                                          "</c></row></sheetData></worksheet>"));
                },
                "\"1A\" is not a cell reference"},
        Refusal{"PartOverCap",
                [](const QString& p) {
                    writeZip(
                        p, handMadeWith("xl/worksheets/data.xml",
                                        "<worksheet>" + QByteArray(100'000, ' ') + "</worksheet>"));
                },
                "the part xl/worksheets/data.xml is bigger than",
                {50'000, 1000}},
        Refusal{"TooManyCells",
                [](const QString& p) { writeZip(p, handMadeParts()); },
                "it holds more than 5 cells",
                {1'000'000, 5}},
        Refusal{"EmptyFolder", [](const QString& p) { QDir().mkdir(p); },
                "the folder holds no CSV file"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SheetReaderTest, MissingSheetIsRefusedByName) {
    writeZip(path("hand.xlsx"), handMadeParts());
    const Workbook book = readWorkbook(path("hand.xlsx"));
    try {
        book.sheet("Kontainer");
        FAIL() << "no error";
    } catch (const UserError& e) {
        EXPECT_STREQ(e.what(), "The workbook has no sheet \"Kontainer\"");
    }
}

} // namespace

} // namespace vastrel
