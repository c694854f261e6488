#include "SheetImport.h"

#include "DemoData.h"
#include "FlatFile.h"
#include "Installation.h"
#include "Readiness.h"
#include "TestSupport.h"

#include <QDir>
#include <QProcess>

#include <algorithm>
#include <map>

using namespace vastrel;
using namespace vastrel::test;

namespace {

const QDate kToday(2024, 6, 1);
const QString kNewKey = QStringLiteral("20240601000002");

// Sheets as text: a heading row, then the records.
using Tables = std::map<QString, QList<QStringList>>;

Tables seaTables() {
    return {{"Header",
             {{"jnsmanifest", "vessel", "voyage", "kdgrup", "arrivingdate", "arrivingtime",
               "no_master", "tgl_master"},
              {"Inward", "MV TEST", "V01", "A1", "15-03-2024", "0830", "MBL1", "2024-03-14"}}},
            {"POS",
             {{"nobl", "tglbl", "mot_vessel", "pasalcd", "pmuatcd", "pbongkarcd", "pakhircd", "snm",
               "cnm", "bruto", "volume", "jmlkemasan", "satuankemasan"},
              {"BL1", "14-03-2024", "MOTHER", "sgsin", "SGSIN", "IDTPP", "IDTPP", "SHIPPER", "CONS",
               "10.5", "1.25", "12", "PK"}}},
            {"Barang", {{"nobl", "hs", "uraian"}, {"BL1", "847130", "LAPTOPS"}}},
            {"Kontainer",
             {{"nobl", "nocountener", "ukuran", "tipe", "seal"},
              {"BL1", "CSQU3054384", "40", "FCL", "S1"}}}};
}

Tables airTables() {
    Tables tables = seaTables();
    tables.erase("Kontainer");
    tables["Header"][1] = {"Outward", "GARUDA", "GA880", "09E", "", "", "MAWB1", "14-03-2024"};
    tables["POS"][0].removeAt(2);
    tables["POS"][1].removeAt(2);
    tables["Dokumen"] = {{"nobl", "nopos", "jenispeb", "kpbc", "pebno", "pebtgl"},
                         {"BL1", "1", "peb", "040300", "123", "2024-03-13"}};
    return tables;
}

// Sets a column of a sheet's first record, adding the column when it is new.
void setValue(Tables& tables, const QString& sheet, const QString& column, const QString& value) {
    QList<QStringList>& rows = tables[sheet];
    const qsizetype at = rows[0].indexOf(column);
    if (at < 0) {
        rows[0] << column;
        rows[1] << value;
    } else {
        rows[1][at] = value;
    }
}

Workbook workbookOf(const Tables& tables) {
    Workbook book;
    for (const auto& [name, rows] : tables) {
        Sheet sheet{name, {}};
        for (int r = 0; r < rows.size(); ++r) {
            SheetRow row{r + 1, {}};
            for (int c = 0; c < rows[r].size(); ++c)
                if (!rows[r][c].isEmpty())
                    row.cells.push_back({c, CellValue::fromText(rows[r][c])});
            sheet.rows.push_back(row);
        }
        book.sheets.push_back(sheet);
    }
    return book;
}

QStringList texts(const ProblemList& problems) {
    QStringList all;
    for (const FlatFileProblem& problem : problems)
        all << problem.toString();
    return all;
}

struct BadValue {
    const char* sheet;
    const char* column;
    const char* value;
    const char* problem;
};

const BadValue kBadValues[] = {
    {"POS", "tglbl", "31-02-2024", "POS row 2: tglbl \"31-02-2024\" is not a date"},
    {"Header", "arrivingtime", "12.30",
     "Header row 2: arrivingtime \"12.30\" is not a time (HH:mm)"},
    {"POS", "bruto", "-1", "POS row 2: bruto \"-1\" is negative"},
    {"POS", "volume", "1e999", "POS row 2: volume \"1e999\" is not a number"},
    {"POS", "jmlkemasan", "2.5", "POS row 2: jmlkemasan \"2.5\" is not a whole number"},
    {"POS", "snm", "SHIPP\u4e2dR",
     "POS row 2: snm holds a character that cannot be stored at position 6"},
    {"Header", "voyage", "V0123456789", "Header row 2: voyage is longer than 10 characters"},
    {"POS", "pasalcd", "XXXXX", "POS row 2: pasalcd \"XXXXX\" is not a known port"},
    {"POS", "satuankemasan", "ZZ", "POS row 2: satuankemasan \"ZZ\" is not a known package unit"},
    {"Header", "no_master", "", "Header row 2: no_master is required"},
    {"Header", "kdgrup", "09E", "Header row 2: kdgrup \"09E\" is not a group of inward manifests"},
    {"Barang", "nobl", "BL9", "Barang row 2: nobl \"BL9\" names no POS row"},
    {"Kontainer", "ukuran", "30", "Kontainer row 2: ukuran \"30\" is not one of 20, 40, 45"},
    {"POS", "flagpartial", "E", "POS row 2: grandpackage 0 is less than jmlkemasan 12"},
    {"Header", "colour", "red", "Header row 1: unknown column \"colour\""},
    {"POS", "NOBL", "BL2", "POS row 1: the column \"nobl\" is named twice"},
    {"Barang", "", "X", "Barang row 2: a value in column D, which has no heading"},
};

} // namespace

class SheetImportTest : public SchemaTest {
protected:
    SheetReading read(const Tables& tables, bool air, const QString& into = {}) {
        return readManifestSheets(db, air, workbookOf(tables), into);
    }
    FlatFileImportPlan plan(const Tables& tables, bool air, const QString& into = {}) {
        SheetReading sheets = read(tables, air, into);
        return planFlatFileImport(db, air, std::move(sheets.reading), into, kToday);
    }
    QString stored(const QString& sql) { return db.scalar(sql, {kNewKey}).toString(); }
};

TEST_F(SheetImportTest, EveryKindOfBadValueIsReportedAtItsRow) {
    addDemoData(db, false);
    for (const BadValue& bad : kBadValues) {
        SCOPED_TRACE(bad.problem);
        Tables tables = seaTables();
        setValue(tables, bad.sheet, bad.column, QString::fromUtf8(bad.value));
        const ProblemList problems = read(tables, false).reading.problems;
        EXPECT_EQ(texts(problems), QStringList{bad.problem});
        EXPECT_NE(problems.listed().value(0).indonesian, problems.listed().value(0).message);
    }
}

TEST_F(SheetImportTest, ValuesTheScreensTakeAreTaken) {
    addDemoData(db, false);
    const struct {
        const char* sheet;
        const char* column;
        const char* value;
        const char* read;    // the POS's value as read
        const char* warning; // empty: none
    } accepted[] = {
        {"POS", "tglbl", "10/03/2024", "2024-03-10", ""},
        {"POS", "snm", "SOCI\u00c9T\u00c9 G\u00c9N\u00c9RALE", "SOCIETE GENERALE",
         "POS row 2: snm \"SOCI\u00c9T\u00c9 G\u00c9N\u00c9RALE\" is written plain: \"SOCIETE "
         "GENERALE\""},
    };
    for (const auto& a : accepted) {
        SCOPED_TRACE(a.value);
        Tables tables = seaTables();
        tables.erase("Kontainer");
        setValue(tables, a.sheet, a.column, QString::fromUtf8(a.value));
        const SheetReading sheets = read(tables, false);
        EXPECT_TRUE(sheets.reading.problems.isEmpty())
            << texts(sheets.reading.problems).join('\n').toStdString();
        const FlatFilePos& pos = sheets.reading.manifest.pos.value(0);
        EXPECT_EQ(QString(a.column) == "tglbl" ? pos.tglbl.toString() : pos.snm, a.read);
        EXPECT_EQ(sheets.warnings,
                  *a.warning ? QStringList{QString::fromUtf8(a.warning)} : QStringList());
    }
}

TEST_F(SheetImportTest, POSBeyondWhatAManifestHoldsAreNotRead) {
    addDemoData(db, false);
    Tables tables = seaTables();
    tables.erase("Barang");
    tables.erase("Kontainer");
    QList<QStringList>& pos = tables["POS"];
    const QStringList first = pos[1];
    for (int n = 2; n <= kLastPos + 2; ++n)
        pos << first;
    for (int n = 1; n < pos.size(); ++n)
        pos[n][0] = QStringLiteral("BL%1").arg(n);
    const SheetReading sheets = read(tables, false);
    EXPECT_EQ(texts(sheets.reading.problems),
              QStringList{"POS row 10000: a manifest holds at most 9998 POS; the rows from here "
                          "on are not read"});
    EXPECT_EQ(sheets.reading.manifest.pos.size(), kLastPos);
}

TEST_F(SheetImportTest, AGoodSeaWorkbookIsImportedWithAWarningForTheCheckDigit) {
    addDemoData(db, false);
    QList<qint64> progress;
    const SheetReading sheets =
        readManifestSheets(db, false, workbookOf(seaTables()), {}, [&](qint64 done, qint64 total) {
            progress = {done, total};
        });
    EXPECT_EQ(progress, QList<qint64>({4, 4})) << "rows checked of the four sheets' rows";
    EXPECT_TRUE(sheets.reading.problems.isEmpty())
        << texts(sheets.reading.problems).join('\n').toStdString();
    EXPECT_EQ(sheets.warnings, QStringList{"Kontainer row 2: nocountener \"CSQU3054384\" has a "
                                           "wrong check digit"});
    FlatFileImportPlan p = plan(seaTables(), false);
    ASSERT_TRUE(p.canImport()) << p.refusals.join("; ").toStdString();
    importSheet(db, p);
    EXPECT_EQ(
        stored("SELECT arrivingdate || ' ' || arrivingtime FROM tblheader WHERE nodaftar = ?"),
        "2024-03-15 08:30:00");
    EXPECT_EQ(stored("SELECT nopos || pasalcd || tglbl FROM tbldetail WHERE nodaftar = ?"),
              "0001SGSIN2024-03-14");
    EXPECT_EQ(stored("SELECT tipe || ukuran FROM tblcontainer WHERE nodaftar = ?"), "F40");
    EXPECT_EQ(GetStatus(db, kNewKey), "Y");
}

TEST_F(SheetImportTest, AGoodAirWorkbookTakesDateAndTimeCells) {
    addDemoData(db, true);
    Workbook book = workbookOf(airTables());
    const auto named = [](const Sheet& sheet) { return sheet.name == "Header"; };
    std::vector<SheetCell>& header =
        std::find_if(book.sheets.begin(), book.sheets.end(), named)->rows[1].cells;
    const auto at = [](const QDate& day, const QTime& time) {
        return CellValue::fromDateTime(QDateTime(day, time, Qt::UTC));
    };
    const std::vector<SheetCell> cells = {{4, at({2024, 3, 15}, {0, 0})},
                                          {5, at({1899, 12, 30}, {21, 5})}};
    header.insert(header.begin() + 4, cells.begin(), cells.end());
    SheetReading sheets = readManifestSheets(db, true, book);
    ASSERT_TRUE(sheets.reading.problems.isEmpty())
        << texts(sheets.reading.problems).join('\n').toStdString();
    FlatFileImportPlan p = planFlatFileImport(db, true, std::move(sheets.reading), {}, kToday);
    importSheet(db, p);
    EXPECT_EQ(
        stored("SELECT arrivingdate || ' ' || arrivingtime FROM tblheader WHERE nodaftar = ?"),
        "2024-03-15 21:05:00");
    EXPECT_EQ(stored("SELECT jenispeb || kpbc || pebno || pebtgl FROM tblpeb WHERE nodaftar = ?"),
              "PEB0403000001232024-03-13");
    EXPECT_EQ(GetStatus(db, kNewKey), "Y");
}

TEST_F(SheetImportTest, IntoAppendsToAManifestWhoseHeaderStands) {
    addDemoData(db, false);
    Tables tables = seaTables();
    tables["Header"].removeLast();
    const QString demo = QString::fromLatin1(kDemoManifestKey);
    FlatFileImportPlan p = plan(tables, false, demo);
    ASSERT_TRUE(p.canImport()) << p.refusals.join("; ").toStdString();
    EXPECT_EQ(p.posNumbers, QStringList{"0002"});
    importSheet(db, p);
    EXPECT_EQ(count("tbldetail", "nodaftar = ?", {demo}), 2);
    EXPECT_EQ(count("tblheader"), 1);
}

TEST_F(SheetImportTest, ARefusedWorkbookWritesNothing) {
    addDemoData(db, false);
    Tables tables = seaTables();
    setValue(tables, "POS", "pakhircd", "");
    const int before = count("tbldetail") + count("tblparties") + count("tblkapal");
    FlatFileImportPlan p = plan(tables, false);
    EXPECT_EQ(p.refusals, QStringList{"1 problem in the file"});
    EXPECT_THROW(importSheet(db, p), FlatFileError);
    EXPECT_EQ(count("tbldetail") + count("tblparties") + count("tblkapal"), before);
    EXPECT_EQ(count("tblheader"), 1);
}

TEST_F(SheetImportTest, AdminRefusesABadWorkbookWritingNothingThenImportsTheGoodOne) {
    TestStore home;
    initInstallation(home.onEngine({path("home"), kTestPassword, false, true}));
    const auto admin = [&](const Tables& tables, QString* out, QString* err) {
        QDir().mkpath(path("book"));
        for (const auto& [name, rows] : tables) {
            QByteArray csv;
            for (const QStringList& row : rows)
                csv += row.join(',').toUtf8() + '\n';
            writeFile("book/" + name + ".csv", csv);
        }
        QProcess process;
        process.start(VASTREL_ADMIN_BIN, {"import-sheet", "--home", path("home"), path("book")});
        process.waitForFinished();
        *out = QString::fromUtf8(process.readAllStandardOutput());
        *err = QString::fromUtf8(process.readAllStandardError());
        return process.exitCode();
    };
    Tables tables = seaTables();
    setValue(tables, "POS", "tglbl", "31-02-2024");
    setValue(tables, "Barang", "nobl", "BL9");
    setValue(tables, "Barang", "HS", "640299");
    QString out, err;
    EXPECT_EQ(admin(tables, &out, &err), 1);
    EXPECT_TRUE(err.startsWith("Barang row 1: the column \"hs\" is named twice\n"
                               "POS row 2: tglbl \"31-02-2024\" is not a date\n"
                               "Barang row 2: nobl \"BL9\" names no POS row\n"
                               "vastrel-admin: The workbook cannot be imported: 3 problems"))
        << err.toStdString();
    EXPECT_TRUE(out.isEmpty());
    EXPECT_EQ(admin(seaTables(), &out, &err), 0) << err.toStdString();
    EXPECT_TRUE(err.startsWith("warning: Kontainer row 2: nocountener")) << err.toStdString();
    EXPECT_TRUE(out.startsWith("Imported manifest ")) << out.toStdString();
    EXPECT_TRUE(out.contains("(new): 1 POS (0001-0001), 1 goods line, 1 container"));
}
