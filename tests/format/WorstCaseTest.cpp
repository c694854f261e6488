// The admin tool on inputs built to exhaust it: it answers within its memory bound, lists
// at most 100 problems and quotes no value whole.

#include "Installation.h"
#include "TestSupport.h"

#include <QFile>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <vector>

namespace vastrel {

namespace {

using test::TempDirTest;

constexpr long kMemoryBoundKb = 500 * 1024;
// Far more than any bounded run takes, so that an unbounded one fails at once.
constexpr rlim_t kAddressSpaceBytes = 3ULL * 1024 * 1024 * 1024;
constexpr qint64 kListedLines = 100 + 2; // the problems, "and N more", the verdict

struct AdminRun {
    int exitCode = -1;
    long peakKb = 0;
    QByteArray output; // standard output and error together
};

// Runs vastrel-admin with `args` in a child process under an address-space cap.
AdminRun runAdmin(const QStringList& args, const QString& outputPath) {
    std::vector<std::string> words{VASTREL_ADMIN_BIN};
    for (const QString& arg : args)
        words.push_back(arg.toStdString());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const rlimit cap{kAddressSpaceBytes, kAddressSpaceBytes};
        setrlimit(RLIMIT_AS, &cap);
        const int out =
            open(QFile::encodeName(outputPath).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, STDOUT_FILENO);
        dup2(out, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    AdminRun run;
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakKb = usage.ru_maxrss;
    QFile output(outputPath);
    if (output.open(QIODevice::ReadOnly))
        run.output = output.readAll();
    return run;
}

// A workbook with one sheet, POS, of `sheetXml`; its shared strings are "nobl" and "x".
void writeWorkbook(const QString& path, const QByteArray& sheetXml) {
    const QByteArray workbook =
        R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
        R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
        R"(<sheets><sheet name="POS" sheetId="1" r:id="rId1"/></sheets></workbook>)";
    const QByteArray relations =
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
        R"(<Relationship Id="rId1" Target="worksheets/sheet1.xml"/></Relationships>)";
    const QByteArray shared = "<sst><si><t>nobl</t></si><si><t>x</t></si></sst>";
    int error = 0;
    zip_t* archive =
        zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    for (const auto& [name, content] : {std::pair{"xl/workbook.xml", &workbook},
                                        {"xl/_rels/workbook.xml.rels", &relations},
                                        {"xl/sharedStrings.xml", &shared},
                                        {"xl/worksheets/sheet1.xml", &sheetXml}}) {
        zip_source_t* source = zip_source_buffer(archive, content->constData(), content->size(), 0);
        ASSERT_GE(zip_file_add(archive, name, source, ZIP_FL_OVERWRITE), 0);
        zip_set_file_compression(archive, zip_name_locate(archive, name, 0), ZIP_CM_DEFLATE, 1);
    }
    ASSERT_EQ(zip_close(archive), 0);
}

QByteArray sheetOf(const QByteArray& rows) {
    return "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>" + rows +
           "</sheetData></worksheet>";
}

class WorstCaseTest : public TempDirTest {
protected:
    AdminRun importSheet(const QString& book) {
        if (!QFile::exists(path("home")))
            initInstallation({path("home"), test::kTestPassword, false, false});
        return runAdmin({"import-sheet", "--home", path("home"), book}, path("output.txt"));
    }
};

TEST_F(WorstCaseTest, APosSheetOfAMillionRowsIsRefusedWithinTheBound) {
    QByteArray rows;
    for (int row = 2; row <= 1'048'576; ++row)
        rows += "<row r=\"" + QByteArray::number(row) + "\"><c t=\"s\"><v>1</v></c></row>";
    writeWorkbook(path("rows.xlsx"), sheetOf(rows));
    const AdminRun run = importSheet(path("rows.xlsx"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_LT(run.peakKb, kMemoryBoundKb);
    EXPECT_TRUE(run.output.contains("the sheet \"POS\" holds more than 200000 rows"))
        << run.output.left(500).toStdString();
}

TEST_F(WorstCaseTest, AHugeCellIsRefusedWithinTheBound) {
    const QByteArray cell(50'000'000, 'A');
    writeWorkbook(path("cell.xlsx"), sheetOf("<row r=\"2\"><c t=\"inlineStr\"><is><t>" + cell +
                                             "</t></is></c></row>"));
    const AdminRun run = importSheet(path("cell.xlsx"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_LT(run.peakKb, kMemoryBoundKb);
    EXPECT_TRUE(run.output.contains("a cell or tag is bigger than 1024 KB"))
        << run.output.left(500).toStdString();
    EXPECT_LT(run.output.size(), 500);
}

TEST_F(WorstCaseTest, AFlatFileOfMillionsOfProblemsListsAHundred) {
    writeFile("junk.txt", QByteArray("XYZ01\r\n").repeated(2'000'000));
    const AdminRun run = runAdmin({"check", path("junk.txt")}, path("output.txt"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_LT(run.peakKb, kMemoryBoundKb);
    EXPECT_EQ(run.output.count('\n'), kListedLines);
    EXPECT_TRUE(run.output.contains("\nand 1999901 more\n")) << run.output.right(300).toStdString();
}

TEST_F(WorstCaseTest, AFlatFileBeyondTheCapIsRefusedUnread) {
    QFile file(path("big.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(200LL * 1024 * 1024)); // sparse: no disk taken
    file.close();
    const AdminRun run = runAdmin({"check", path("big.txt")}, path("output.txt"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_LT(run.peakKb, kMemoryBoundKb);
    EXPECT_TRUE(run.output.contains("is bigger than 64 MB")) << run.output.toStdString();
}

} // namespace

} // namespace vastrel
