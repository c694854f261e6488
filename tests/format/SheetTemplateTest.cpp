// The import workbook: written from the schema, read back, and through vastrel-admin.

#include "DurableFile.h"
#include "TestSupport.h"
#include "XlsxReader.h"
#include "XlsxTemplate.h"

#include <QFile>
#include <QProcess>

namespace vastrel {
namespace {

using test::TempDirTest;

// The heading row of a sheet as text.
QStringList headings(const Sheet& sheet) {
    QStringList names;
    if (sheet.rows.empty() || sheet.rows.front().number != 1)
        return names;
    for (const SheetCell& cell : sheet.rows.front().cells)
        names << cell.value.toText();
    return names;
}

struct KindCase {
    const char* name;
    ManifestKind kind;
    QStringList sheets;
    bool motherVessel;
};

class SheetTemplateTest : public TempDirTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(SheetTemplateTest, ReadsBackAsTheColumnNames) {
    writeSheetTemplate(path("template.xlsx"), GetParam().kind);
    const Workbook book = readWorkbook(path("template.xlsx"));
    const std::vector<TemplateSheet> expected = templateSheets(GetParam().kind);
    QStringList names;
    for (const Sheet& sheet : book.sheets)
        names << sheet.name;
    EXPECT_EQ(names, GetParam().sheets);
    ASSERT_EQ(book.sheets.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Sheet& sheet = book.sheets[i];
        EXPECT_EQ(headings(sheet), expected[i].columns) << sheet.name.toStdString();
        EXPECT_EQ(sheet.rows.size(), 1u);
        EXPECT_FALSE(expected[i].columns.contains("nodaftar"));
        if (i >= 2) { // the child sheets
            EXPECT_EQ(expected[i].columns.mid(0, 3), (QStringList{"nobl", "nopos", "noseq"}));
        }
    }
    EXPECT_EQ(headings(book.sheet("POS")).contains("mot_vessel"), GetParam().motherVessel);
    EXPECT_EQ(headings(book.sheet("Header")),
              (QStringList{"jnsmanifest", "vessel", "voyage", "kdgrup", "arrivingdate",
                           "arrivingtime", "no_master", "tgl_master"}));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SheetTemplateTest,
    ::testing::Values(
        KindCase{
            "Sea", ManifestKind::Sea, {"Header", "POS", "Barang", "Kontainer", "Dokumen"}, true},
        KindCase{"Air", ManifestKind::Air, {"Header", "POS", "Barang", "Dokumen"}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SheetTemplateTest, FailureLeavesTheTargetAlone) {
    writeFile("kept.xlsx", "before");
    EXPECT_THROW(writeSheetTemplate(path("missing/new.xlsx"), ManifestKind::Sea), FileWriteError);
    EXPECT_FALSE(QFile::exists(path("missing/new.xlsx")));
    EXPECT_EQ(readFile("kept.xlsx"), "before");
}

class TemplateCommandTest : public TempDirTest {
protected:
    int run(const QStringList& args) {
        QProcess process;
        process.start(VASTREL_ADMIN_BIN, QStringList{"template"} + args);
        process.waitForFinished();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
};

TEST_F(TemplateCommandTest, WritesTheWorkbookOrRefuses) {
    EXPECT_EQ(run({"--kind", "air", "-o", path("air.xlsx")}), 0);
    EXPECT_EQ(readWorkbook(path("air.xlsx")).sheets.size(), 4u);
    EXPECT_EQ(run({"--kind", "boat", "-o", path("boat.xlsx")}), 1);
    EXPECT_EQ(run({"--kind", "sea"}), 1);
    EXPECT_FALSE(QFile::exists(path("boat.xlsx")));
}

} // namespace
} // namespace vastrel
