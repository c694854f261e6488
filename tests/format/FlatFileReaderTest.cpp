#include "FlatFileReader.h"
#include "DemoData.h"
#include "FlatFile.h"
#include "FlatFileTestSupport.h"
#include "TestSupport.h"

#include <functional>

using namespace vastrel;
using namespace vastrel::test;

namespace {

using Lines = QStringList;

std::function<void(Lines&)> insert(int line, const QString& record) {
    return [=](Lines& lines) { lines.insert(line - 1, record); };
}

// One change to the demo file (lines: HDR01, DTL01, SNM, SNA, CNM, CNA, NNM, NNA, SMR, HSC,
// DES, CNT01) and the one problem it must cause.
struct Finding {
    const char* what;
    std::function<void(Lines&)> change;
    FlatFileProblem expected;
};

const QString kDocument = QStringLiteral("DOK01PEB00112340065432120240310");
const QString kOutward = QStringLiteral("O");

const Finding kFindings[] = {
    {"unknown record id", insert(3, "XYZ01"), {3, 1, "unknown record id \"XYZ01\""}},
    {"fixed record too long",
     [](Lines& l) { l[11] += 'X'; },
     {12, 55, "CNT01 record of 55 characters; it must have 54"}},
    {"container before any POS",
     insert(2, "CNT010000" + QString(45, ' ')),
     {2, 1, "CNT01 comes before any DTL01"}},
    {"second header",
     [](Lines& l) { l << l[0]; },
     {13, 1, "a second HDR01 (the first is on line 1)"}},
    {"header not first", [](Lines& l) { l.move(0, 1); }, {2, 1, "HDR01 must be the first record"}},
    {"no header", [](Lines& l) { l.removeFirst(); }, {1, 1, "the file has no HDR01 record"}},
    {"text kinds out of order",
     [](Lines& l) { l.removeAt(3); },
     {4, 1, "DTL02CNM out of order: it cannot follow DTL02SNM"}},
    {"not a date", put(2, 120, "20241310"), {2, 120, "\"20241310\" is not a date (yyyyMMdd)"}},
    {"not a time", put(1, 103, "086100"), {1, 103, "\"086100\" is not a time (HHmmss)"}},
    {"letter in a count", put(2, 212, "A"), {2, 212, "a count holds digits only"}},
    {"letter in a quantity", put(2, 170, "x"), {2, 170, "a quantity holds digits only"}},
    {"byte outside printable ASCII",
     put(3, 13, QStringLiteral("\u00e9")),
     {3, 13, "byte 0xE9 is not printable ASCII"}},
    {"header constant", put(1, 6, "2"), {1, 6, "expected \"1\""}},
    {"header version", put(1, 109, "V31"), {1, 109, "expected \"V30\""}},
    {"mode of transport", put(1, 7, "3"), {1, 7, "expected one of \"12\""}},
    {"kind letter against mode", put(1, 9, "A"), {1, 9, "expected \"S\" for mode of transport 1"}},
    {"blank field", put(2, 19, "X"), {2, 19, "expected blanks"}},
    {"container count",
     put(2, 204, "00002"),
     {2, 204, "container count 2 does not match the 1 CNT01 records"}},
    {"text piece number", put(3, 9, "02"), {3, 9, "piece 02 out of order: expected 01"}},
    {"text piece number 00",
     put(3, 9, "00"),
     {3, 9, "a text piece number runs from 01 to 99, not \"00\""}},
    {"text piece too long",
     [](Lines& l) { l[10] += QString(200, 'D'); },
     {11, 211, "a text piece holds at most 200 characters"}},
    {"short piece before another",
     insert(10, "DTL02SMR02MORE"),
     {9, 19, "a text piece followed by another holds 200 characters"}},
    {"container sequence",
     put(12, 6, "0001"),
     {12, 6, "sequence 0001 out of order: expected 0000"}},
    {"document in an inward manifest",
     insert(12, kDocument),
     {12, 1, "an inward manifest has no DOK01 records"}},
    {"document sequence",
     [](Lines& l) {
         put(1, 8, kOutward)(l);
         insert(12, kDocument)(l);
         insert(13, QString(kDocument).replace(8, 3, "003"))(l);
     },
     {13, 9, "sequence 003 out of order: expected 002"}},
    {"POS number blank", put(2, 9, "    "), {2, 9, "the POS number is blank"}},
    {"POS number with letters",
     put(2, 9, "AB12"),
     {2, 9, "the POS number \"AB12\" is not four digits from 0001 to 9998"}},
    {"POS number of letters only",
     put(2, 9, "ABCD"),
     {2, 9, "the POS number \"ABCD\" is not four digits from 0001 to 9998"}},
    {"POS number 0000",
     put(2, 9, "0000"),
     {2, 9, "the POS number \"0000\" is not four digits from 0001 to 9998"}},
    {"POS number 9999",
     put(2, 9, "9999"),
     {2, 9, "the POS number \"9999\" is not four digits from 0001 to 9998"}},
    {"POS number short",
     put(2, 12, " "),
     {2, 9, "the POS number \"000\" is not four digits from 0001 to 9998"}},
    {"POS number repeated",
     [](Lines& l) { l += l.mid(1); },
     {13, 9, "POS 0001 does not come after POS 0001"}},
    {"group differs between POS",
     [](Lines& l) { l += l.mid(1).replaceInStrings("DTL01A1 0001", "DTL01A2 0002"); },
     {13, 6, "\"A2\" differs from the first DTL01's \"A1\""}},
    {"file ends inside a POS",
     [](Lines& l) { l = l.mid(0, 4); },
     {4, 1, "the file ends inside POS 0001 after DTL02SNA"}},
    {"air manifest with a mother vessel",
     put(1, 7, "2IA"),
     {2, 40, "an air manifest has no mother vessel"}},
};

} // namespace

class FlatFileReaderTest : public SchemaTest {
protected:
    void SetUp() override {
        SchemaTest::SetUp();
        addDemoData(db, false);
        demo = FlatFile(db, QString::fromLatin1(kDemoManifestKey), "0").lines();
    }
    Lines demo;
};

TEST_F(FlatFileReaderTest, EveryFindingIsReportedAtItsLineAndColumn) {
    ASSERT_TRUE(readFlatFile(fileBytes(demo)).problems.isEmpty());
    for (const Finding& finding : kFindings) {
        SCOPED_TRACE(finding.what);
        Lines lines = demo;
        finding.change(lines);
        const QList<FlatFileProblem> problems = readFlatFile(fileBytes(lines)).problems.listed();
        ASSERT_EQ(problems.size(), 1) << problems.value(1).toString().toStdString();
        EXPECT_EQ(problems[0].toString(), finding.expected.toString());
        EXPECT_FALSE(problems[0].indonesian.isEmpty());
        EXPECT_NE(problems[0].indonesian, problems[0].message);
    }
}

TEST_F(FlatFileReaderTest, LineEndsMustBeCrLf) {
    const QByteArray unix = withBareLineFeeds(demo);
    const FlatFileReading reading = readFlatFile(unix.chopped(1));
    ASSERT_EQ(reading.problems.count(), demo.size());
    EXPECT_EQ(reading.problems.listed()[0].toString(), "1:117: the line does not end in CR LF");
    EXPECT_EQ(readFlatFile({}).problems.listed().value(0).toString(), "1:1: the file is empty");
}

TEST_F(FlatFileReaderTest, ReadsValuesInTheFormsTheDatabaseStores) {
    const QByteArray bytes = fileBytes(demo);
    QList<qint64> progress;
    const auto seen = [&](qint64 done, qint64 total) { progress = {done, total}; };
    const FlatFileManifest m = readFlatFile(bytes, seen).manifest;
    EXPECT_EQ(progress, QList<qint64>({bytes.size(), bytes.size()}));
    EXPECT_EQ(m.summary(), "sea, inward: 1 POS, 1 goods line, 1 container, 0 documents");
    EXPECT_EQ(m.header.arrivingdate, QVariant("2024-03-15"));
    EXPECT_EQ(m.header.arrivingtime, QVariant("08:30:00"));
    EXPECT_EQ(m.header.tglMaster, QVariant("2024-03-09"));
    const FlatFilePos& pos = m.pos.at(0);
    EXPECT_EQ(pos.bruto, 1234.5);
    EXPECT_EQ(pos.volume, 12.345);
    EXPECT_EQ(pos.jmlkemasan, 100);
    EXPECT_EQ(pos.nna, "");
    EXPECT_EQ(pos.goods.at(0), (FlatFileGoods{"847130", "PORTABLE COMPUTERS"}));
    EXPECT_EQ(pos.containers.at(0).seal, "SEAL001");
}
