#include "FlatFile.h"
#include "DemoData.h"
#include "DurableFile.h"
#include "Installation.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>

using namespace vastrel;
using namespace vastrel::test;

namespace {

const QString kKey = QString::fromLatin1(kDemoManifestKey);

// Lines written with "·" for each space, so the blanks of a record can be counted.
QStringList spaced(std::initializer_list<const char*> dotted) {
    QStringList lines;
    for (const char* line : dotted)
        lines << QString::fromUtf8(line).replace(u'·', u' ');
    return lines;
}

// The demo manifest: sea, inward, one POS with one goods line and one container.
const QStringList kDemoLines = spaced({
    "HDR0111ISSEA·BREEZE··········································012N·······················"
    "······20240315083000V30MEM31",
    "DTL01A1·00010000···SGSINSGSINIDTPPIDTPPOCEAN·STAR········································"
    "SBL0001·······················20240310MBL0009·······················20240309··"
    "000000000012345000000000000000123450000010000010000000000000000000000000000PK",
    "DTL02SNM01PT·CONTOH·EKSPOR",
    "DTL02SNA01JL·CONTOH·1·SINGAPORE",
    "DTL02CNM01PT·CONTOH·IMPOR",
    "DTL02CNA01JL·CONTOH·2·JAKARTA",
    "DTL02NNM01SAME·AS·CONSIGNEE",
    "DTL02NNA01",
    "DTL02SMR01NO·MARKS",
    "DTL02HSC01847130",
    "DTL02DES01PORTABLE·COMPUTERS",
    "CNT010000ABCU1234560··············40F··SEAL001········",
});

} // namespace

class FlatFileTest : public SchemaTest {
protected:
    void SetUp() override {
        SchemaTest::SetUp();
        addDemoData(db, false);
    }
    QStringList generate(const QString& jenis = "0") { return FlatFile(db, kKey, jenis).lines(); }
    // Positions `from` to `to` (1-based, inclusive) of the POS's DTL01 record.
    QString detailField(int from, int to, const QString& jenis = "0") {
        return generate(jenis).at(1).mid(from - 1, to - from + 1);
    }
    void update(const QString& table, const QString& assignments, Params params = {}) {
        db.exec("UPDATE " + table + " SET " + assignments + " WHERE nodaftar = ?", params << kKey);
    }
    void addDocument(const QString& noseq, const QString& pebno) {
        db.exec("INSERT INTO tblpeb VALUES (?, '0001', ?, 'PEB', '123400', ?, '2024-03-10')",
                {kKey, noseq, pebno});
    }
    QString refusal() {
        try {
            FlatFile(db, kKey, "0").CreateFlatFile(path("out.txt"));
        } catch (const FlatFileError& e) {
            return QString::fromUtf8(e.what());
        }
        return {};
    }
};

TEST_F(FlatFileTest, DemoManifestIsWrittenByteForByteAndOutwardAddsItsDocuments) {
    addDocument("0002", "654322");
    addDocument("0001", "654321");
    FlatFile(db, kKey, "0").CreateFlatFile(path("out.txt"));
    EXPECT_EQ(readFile("out.txt"), fileBytes(kDemoLines));

    update("tblheader", "jnsmanifest = 'Outward'");
    QStringList expected = kDemoLines;
    expected[0].replace(7, 2, "OS");
    expected.insert(11, "DOK01PEB00112340065432120240310");
    expected.insert(12, "DOK01PEB00212340065432220240310");
    EXPECT_EQ(generate(), expected);
}

TEST_F(FlatFileTest, AirManifestWritesMode2AndNoMotherVessel) {
    EXPECT_EQ(generate("1").at(0).mid(6, 3), "2IA");
    EXPECT_EQ(detailField(40, 79, "1"), QString(40, ' '));
    update("tblheader", "jnsmanifest = 'Outward'");
    EXPECT_EQ(generate("1").at(0).mid(6, 3), "2OA");
}

TEST_F(FlatFileTest, FixedFieldsArePaddedCutOrBlank) {
    update("tblheader", "vessel = ?, kdgrup = NULL, no_master = NULL, tgl_master = NULL",
           {QString(45, 'V')});
    update("tbldetail", "tglbl = NULL, nobl = ?, pasalcd = 'ABCDEFG'", {"B/L\r\n\tX"});
    const QStringList lines = generate();
    EXPECT_EQ(lines[0].size(), 116);
    EXPECT_EQ(lines[0].mid(9, 41), QString(40, 'V') + ' ');
    EXPECT_EQ(lines[1].size(), 244);
    EXPECT_EQ(detailField(6, 8), "   ");
    EXPECT_EQ(detailField(90, 96), "B/L   X");
    EXPECT_EQ(detailField(120, 127), QString(8, ' '));
    EXPECT_EQ(detailField(128, 165), QString(38, ' '));
    EXPECT_EQ(detailField(20, 24), "ABCDE");
}

TEST_F(FlatFileTest, NullTextsAreWrittenEmptyAndNullNumbersAsZero) {
    update("tbldetail", "mot_vessel = NULL, nobl = NULL, snm = NULL, mark = NULL, bruto = NULL, "
                        "volume = NULL, jmlkemasan = NULL");
    update("tblhs", "hs = NULL, uraian = NULL");
    update("tblheader", "vessel = NULL, voyage = NULL");
    const QStringList lines = generate();
    EXPECT_EQ(lines[0].size(), 116);
    EXPECT_EQ(lines[1].mid(167, 49), QString(36, '0') + "00001" + QString(8, '0'));
    EXPECT_EQ(lines[2], "DTL02SNM01");
    EXPECT_EQ(lines[8], "DTL02SMR01");
    EXPECT_EQ(lines[9], "DTL02HSC01");
    EXPECT_EQ(lines[10], "DTL02DES01");
}

TEST_F(FlatFileTest, PackageBlockFollowsThePartialShipmentFlag) {
    const struct {
        const char* flag; // nullptr stores NULL
        int containers;
        const char* block; // positions 204-242, a blank between fields
    } cases[] = {
        {"", 2, "00002 00000120 00000 00000000 00000 00000000"},
        {"E", 1, "00003 00000120 00000 00000000 00001 00000500"},
        {"e", 1, "00001 00000120 00000 00000000 00000 00000000"},
        {nullptr, 1, "00003 00000120 00000 00000000 00001 00000500"},
    };
    db.exec("INSERT INTO tblcontainer VALUES (?, '0001', '0002', 'ABCU7654321', '20', 'L', '')",
            {kKey});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flag ? c.flag : "NULL");
        db.exec("DELETE FROM tblcontainer WHERE noseq > ?", {zeroPadded(c.containers, 4)});
        update("tbldetail",
               "flagpartial = ?, grandcontainer = 3, grandpackage = 500, jmlkemasan = 120",
               {c.flag ? QVariant(c.flag) : QVariant()});
        EXPECT_EQ(detailField(204, 242), QString(c.block).remove(' '));
        EXPECT_EQ(detailField(18, 18), QString(c.flag).leftJustified(1));
    }
}

TEST_F(FlatFileTest, RecordsFollowPosAndLineOrderAndSequencesRestartPerPos) {
    db.exec("INSERT INTO tbldetail (nodaftar, nopos, snm, flagpartial) "
            "SELECT nodaftar, '0002', 'SECOND', '' FROM tbldetail");
    db.exec("INSERT INTO tblhs VALUES (?, '0001', '0000', '851712', 'PHONES')", {kKey});
    // Lines of POS that do not exist, before, between and after the POS, are not written.
    for (const char* orphan : {"0000", "00015", "0009"})
        db.exec("INSERT INTO tblhs VALUES (?, ?, '0001', '999999', 'NO SUCH POS')", {kKey, orphan});
    db.exec("INSERT INTO tblcontainer VALUES (?, '0002', '0002', 'SECOND2', '20', 'F', '')",
            {kKey});
    db.exec("INSERT INTO tblcontainer VALUES (?, '0002', '0001', 'SECOND1', '20', 'F', '')",
            {kKey});
    const QStringList lines = generate();
    ASSERT_EQ(lines.size(), 24);
    EXPECT_EQ(lines[9], "DTL02HSC01851712");
    EXPECT_EQ(lines[11], "DTL02HSC01847130");
    EXPECT_EQ(lines[14].mid(8, 4), "0002");
    EXPECT_EQ(lines[14].mid(203, 5), "00002");
    EXPECT_EQ(lines[15], "DTL02SNM01SECOND");
    EXPECT_EQ(lines[22].left(16), "CNT010000SECOND1");
    EXPECT_EQ(lines[23].left(16), "CNT010001SECOND2");
}

TEST(FlatFileText, LongTextsAreSplitInto200CharacterPiecesUpTo99) {
    const QString text200 = QString(199, 'A') + 'B';
    EXPECT_EQ(textRecords(text200, "SNM"), QStringList{"DTL02SNM01" + text200});
    EXPECT_EQ(textRecords(text200 + 'C', "SNM"),
              (QStringList{"DTL02SNM01" + text200, "DTL02SNM02C"}));
    const QStringList records = textRecords(QString(20000, 'X'), "DES");
    ASSERT_EQ(records.size(), 99);
    EXPECT_EQ(records[8].left(10), "DTL02DES09");
    EXPECT_EQ(records[98], "DTL02DES99" + QString(200, 'X'));
    EXPECT_EQ(textRecords("", "NNA"), QStringList{"DTL02NNA01"});
}

TEST(FlatFileText, TextIsCleanedToPrintableCharacters) {
    const struct {
        QString in;
        QString out;
    } cases[] = {
        {"FIRST LINE\r\nSECOND", "DTL02SMR01FIRST LINE  SECOND"},
        {QString::fromUtf8("CAF\u00c9\tNOIR"), "DTL02SMR01CAF  NOIR"},
        {"\t  MARKS  \t", "DTL02SMR01MARKS"},
        {QString::fromUtf8("\u20ac \u0101 \U0001F600"), "DTL02SMR01? ??"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(textRecords(c.in, "SMR"), QStringList{c.out});
    EXPECT_EQ(CleanText("  A\r\nB\t "), "A  B\t");
    EXPECT_EQ(RemoveInvalidChar(QString::fromUtf8("\x7f\r\n~\u00e9")), " \r\n~ ");
    EXPECT_EQ(toAnsi(QString::fromUtf8("\u00e9\u20ac\u0101\U0001F600")), "\xe9\x80???");
}

TEST(FlatFileText, FormatDecimalRoundsHalfToEvenAtFourDecimals) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {1234.5, "000000000012345000"},
        {12.345, "000000000000123450"},
        {0, "000000000000000000"},
        {0.00005, "000000000000000000"},
        {0.00015, "000000000000000002"},
        {1.00025, "000000000000010002"},
        {1.000251, "000000000000010003"},
        {12.344999999999999, "000000000000123450"},
        {123449.99999999999, "000000001234500000"},
        {123456789012.3456, "001234567890123460"},
        {1e15, "10000000000000000000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDecimal(18, c.value), c.text) << c.value;
}

TEST_F(FlatFileTest, ValuesThatDoNotFitRefuseTheWholeFile) {
    const struct {
        const char* table;
        const char* assignments;
        const char* message;
    } cases[] = {
        {"tbldetail", "jmlkemasan = 123456789",
         "POS 0001: Jumlah Kemasan 123456789 does not fit in 8 digits"},
        {"tbldetail", "bruto = 1e15", "POS 0001: Berat Bruto 1e+15 does not fit in 18 digits"},
        {"tbldetail", "volume = -1", "POS 0001: Volume -1 is negative"},
        {"tbldetail", "flagpartial = 'E', grandcontainer = 123456",
         "POS 0001: Part Kontainer 123456 does not fit in 5 digits"},
        {"tbldetail", "flagpartial = 'E', grandpackage = 123456789",
         "POS 0001: Total Kemasan 123456789 does not fit in 8 digits"},
        {"tbldetail", "bruto = 'ABC'", "POS 0001: Berat Bruto ABC is not a number"},
        {"tbldetail", "tglbl = '10-03-2024'", "POS 0001: Tanggal BL 10-03-2024 is not a date"},
        {"tblheader", "arrivingtime = '25:00:00'", "Jam Tiba/Berangkat 25:00:00 is not a time"},
    };
    writeFile("out.txt", "EARLIER FILE");
    for (const auto& c : cases) {
        if (onTestServer() && QByteArray(c.assignments).contains("'ABC'"))
            continue; // only the file can hold a text in a number column
        Transaction tx(db);
        update(c.table, c.assignments);
        EXPECT_EQ(refusal(), c.message);
    }
    EXPECT_EQ(readFile("out.txt"), "EARLIER FILE");
    QStringList files = QDir(folder()).entryList(QDir::Files);
    files.removeOne("test.db");
    EXPECT_EQ(files, QStringList{"out.txt"});
}

TEST_F(FlatFileTest, ThousandDocumentsOverflowTheirSequence) {
    update("tblheader", "jnsmanifest = 'Outward'");
    Transaction tx(db);
    for (int i = 1; i <= 1000; ++i)
        addDocument(zeroPadded(i, 4), "1");
    EXPECT_EQ(refusal(), "POS 0001: Urutan Dokumen 1000 does not fit in 3 digits");
    EXPECT_FALSE(QFile::exists(path("out.txt")));
}

TEST_F(FlatFileTest, MissingHeaderOrUnwritablePathIsReported) {
    EXPECT_THROW(FlatFile(db, "20240101000009", "0").lines(), FlatFileError);
    EXPECT_THROW(FlatFile(db, kKey, "0").CreateFlatFile(path("missing/out.txt")), FileWriteError);
}

class FlatFileCommandTest : public TempDirTest {
protected:
    void SetUp() override { initInstallation({path("home"), kTestPassword, false, true}); }
    int run(const QString& nodaftar, QString* errors = nullptr) {
        QProcess process;
        process.start(VASTREL_ADMIN_BIN,
                      {"flatfile", "--home", path("home"), nodaftar, "-o", path("out.txt")});
        process.waitForFinished();
        if (errors)
            *errors = QString::fromUtf8(process.readAllStandardError());
        return process.exitCode();
    }
};

TEST_F(FlatFileCommandTest, WritesTheDemoManifestRecordByRecord) {
    ASSERT_EQ(run(kKey), 0);
    QList<QByteArray> records = readFile("out.txt").split('\n');
    ASSERT_EQ(records.takeLast(), ""); // the last line ends like every other
    ASSERT_EQ(records.size(), kDemoLines.size());
    const QMap<QByteArray, int> fixedLengths = {
        {"HDR01", 117}, {"DTL01", 245}, {"DOK01", 32}, {"CNT01", 55}};
    for (qsizetype i = 0; i < records.size(); ++i) {
        const QByteArray& line = records[i];
        SCOPED_TRACE(line.toStdString());
        EXPECT_TRUE(line.endsWith('\r'));
        EXPECT_EQ(line.left(10), kDemoLines[i].left(10).toLatin1());
        EXPECT_EQ(line.size(), fixedLengths.value(line.left(5), line.size()));
        EXPECT_EQ(line.chopped(1), kDemoLines[i].toLatin1());
    }
}

TEST_F(FlatFileCommandTest, RefusesAManifestThatIsNotReady) {
    openInstallation(path("home")).exec("UPDATE tblheader SET status = 'N'");
    QString errors;
    EXPECT_EQ(run(kKey, &errors), 1);
    EXPECT_TRUE(errors.contains("Kode dokumen tersebut tidak memiliki uraian barang"))
        << errors.toStdString();
    EXPECT_EQ(run("20240101000009", &errors), 1);
    EXPECT_TRUE(errors.contains("Data header tidak ditemukan")) << errors.toStdString();
    EXPECT_FALSE(QFile::exists(path("out.txt")));
}

TEST_F(FlatFileCommandTest, AFullDiskFailsLoudlyAndKeepsTheEarlierFile) {
    writeFile("out.txt", "EARLIER FILE");
    QString errors;
    {
        FileSizeLimit fullDisk(200); // the demo manifest's file is larger
        EXPECT_EQ(run(kKey, &errors), 1);
    }
    EXPECT_TRUE(errors.contains("File too large")) << errors.toStdString();
    EXPECT_FALSE(errors.contains("telah dibuat"));
    EXPECT_EQ(readFile("out.txt"), "EARLIER FILE");
}
