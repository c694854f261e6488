#include "DemoData.h"
#include "ManifestReports.h"
#include "TestSupport.h"

using namespace vastrel;
using namespace vastrel::test;

namespace {

const QString kKey = QString::fromLatin1(kDemoManifestKey);
const QDateTime kPrintedAt(QDate(2024, 4, 5), QTime(9, 7));

const QString kDemoParties = "Shipper Name: \nPT CONTOH EKSPOR\nShipper Address: \n"
                             "JL CONTOH 1 SINGAPORE\n\nConsignee Name: \nPT CONTOH IMPOR\n"
                             "Consignee Address: \nJL CONTOH 2 JAKARTA\n\nNotify Name: \n"
                             "SAME AS CONSIGNEE\nNotify Address: \n\n";
const QString kDemoPackages = "Jumlah Kemasan: 100\nSatuan Kemasan: PK - PACKAGE\n"
                              "Brutto: 1234.5 KGM\nVolume: 12.345 M3\nMark: NO MARKS";
const QString kDemoContainer = "No Kontainer: ABCU1234560\nUkuran: 40\nTipe: FCL\n";
const QString kDemoGoods = "HS: 847130\nUraian: PORTABLE COMPUTERS\n";

QString portBlock(const QString& label, const QString& code, const QString& name) {
    return label + "\nKode: " + code + "\nNama Pelabuhan: " + name + "\n\n";
}

// The demo POS's ports: from Singapore to `code`, under labels that begin with `word`.
QString demoPorts(const QString& word, const QString& code, const QString& name) {
    return portBlock(word + " Asal: ", "SGSIN", "SINGAPORE") +
           portBlock(word + " Muat: ", "SGSIN", "SINGAPORE") +
           portBlock(word + " Bongkar: ", code, name) + portBlock(word + " Akhir: ", code, name);
}

// `expected` names each label, followed by its text.
void expectLabels(const ReportContent& report, const QStringList& expected) {
    for (int i = 0; i + 1 < expected.size(); i += 2)
        EXPECT_EQ(report.label(expected[i]), expected[i + 1]) << expected[i].toStdString();
}

} // namespace

// The demo manifest (one POS, one goods line, one container in sea mode) as printed.
class ReportTextTest : public SchemaTest {
protected:
    void SetUp() override {
        SchemaTest::SetUp();
        addDemoData(db, air());
    }
    virtual bool air() const { return false; }
    ManifestReports reports() const { return {db, air() ? "1" : "0", "2.1", kPrintedAt}; }
    ReportContent detail() const { return reports().RptManifesDetil(kKey, "0001"); }
    ReportContent recap() const { return reports().RptManifesRekap(kKey); }
    void exec(const QString& sql, const Params& params = {}) { db.exec(sql, params); }
    void addContainer(const QString& pos, const QString& seq, const QString& number,
                      const QString& type) {
        exec("INSERT INTO tblcontainer VALUES (?, ?, ?, ?, '20', ?, 'S1')",
             {kKey, pos, seq, number, type});
    }
    void addPos(const QString& pos) {
        exec("INSERT INTO tbldetail (nodaftar, nopos, nobl, tglbl) VALUES (?, ?, ?, '2024-03-11')",
             {kKey, pos, "BL" + pos});
    }
};

class AirReportTextTest : public ReportTextTest {
protected:
    bool air() const override { return true; }
};

TEST_F(ReportTextTest, DetailOfOnePosPrintsEveryColumnAndDescribesManifestAndPos) {
    const ReportContent report = detail();
    EXPECT_EQ(report.caption, "Preview Detil Manifes");
    ASSERT_EQ(report.recordSet.records.size(), 1);
    const auto field = [&](const char* name) { return report.recordSet.value(0, name); };
    EXPECT_EQ(field("no_bl"), "NO B/L: SBL0001\nTgl B/L: 10-03-2024");
    EXPECT_EQ(field("mother_vessel"), "OCEAN STAR");
    EXPECT_EQ(field("shipper_consignee_notify"), kDemoParties);
    EXPECT_EQ(field("satuan_brutto"), kDemoPackages);
    EXPECT_EQ(field("kontainer_uraianbrg"), kDemoContainer + "\n" + kDemoGoods);
    EXPECT_EQ(field("pelabuhan"), demoPorts("Pelabuhan", "IDTPP", "TANJUNG PRIOK, JAKARTA"));
    expectLabels(report, {"lbljudul",      "Inward Manifest Laut",
                          "lbldaftar",     "No.Daftar 20240315000001",
                          "lblgroup",      "A1-BARANG IMPOR",
                          "lblkapal",      "SEA BREEZE",
                          "lblvoyage",     "012N",
                          "Label1",        "Tanggal Tiba",
                          "lbltgltiba",    "15-03-2024",
                          "lbljamtiba",    "08:30",
                          "lblPOS",        "0001",
                          "lblJmlCont",    "1",
                          "lblJmlKemasan", "1",
                          "Label19",       "No Master B/L",
                          "Label21",       "MBL0009",
                          "Label24",       "09-03-2024",
                          "Label13",       "B/L\nTgl. B/L",
                          "Label17",       "Pelabuhan Asal/Bongkar",
                          "Label16",       "Kontainer, Uraian Barang",
                          "lbldate",       "05-04-2024 09:07 Print Detail - Vastrel 2.1"});
    EXPECT_TRUE(report.hidden.isEmpty());
    EXPECT_EQ(report.widthsTwips.value("TxtPOS"), 1350);
}

TEST_F(ReportTextTest, OutwardPrintsDocumentsUnderTheBlAndDepartureCaptions) {
    exec("UPDATE tblheader SET jnsmanifest = 'Outward'");
    exec("INSERT INTO tblpeb VALUES (?, '0001', '0002', 'PEB', NULL, NULL, NULL)", {kKey});
    exec("INSERT INTO tblpeb VALUES (?, '0001', '0001', 'PEB', '123400', '654321', '2024-03-10')",
         {kKey});
    const ReportContent report = detail();
    EXPECT_EQ(report.recordSet.value(0, "no_bl"),
              "NO B/L: SBL0001\nTgl B/L: 10-03-2024\n\nKPBC: 123400\n\nNo PEB: 654321\n"
              "Tgl PEB: 10-03-2024\n\nKPBC: -\n\nNo PEB: -\nTgl PEB: -\n\n");
    EXPECT_EQ(report.label("lbljudul"), "Outward Manifest Laut");
    EXPECT_EQ(report.label("Label1"), "Tanggal Berangkat");
    EXPECT_EQ(report.label("Label6"), "Jam Berangkat");
    EXPECT_EQ(recap().label("Label1"), "Tanggal Berangkat");
}

TEST_F(ReportTextTest, MissingDataPrintsDashesOrBlanks) {
    exec("DELETE FROM tblcontainer");
    exec("DELETE FROM tblhs");
    exec("UPDATE tblheader SET no_master = NULL, tgl_master = NULL");
    exec("UPDATE tbldetail SET tglbl = NULL");
    const ReportContent report = detail();
    EXPECT_EQ(report.recordSet.value(0, "kontainer_uraianbrg"),
              "No Kontainer: - \nUkuran: - \nTipe: - \n\nHS: - \nUraian: - ");
    EXPECT_EQ(report.recordSet.value(0, "no_bl"), "NO B/L: SBL0001\nTgl B/L: ");
    EXPECT_EQ(report.label("Label21") + report.label("Label24"), "");
    EXPECT_EQ(report.label("lblJmlCont"), "0");
    EXPECT_EQ(reports().DocumentText(kKey, "0001"), "");
    // An outward POS without a B/L date prints a dash for it.
    exec("UPDATE tblheader SET jnsmanifest = 'Outward'");
    EXPECT_EQ(detail().recordSet.value(0, "no_bl"), "NO B/L: SBL0001\nTgl B/L: -\n\n");
    EXPECT_TRUE(reports().RptManifesDetil(kKey, "0099").recordSet.records.isEmpty());
    EXPECT_THROW(reports().RptManifesRekap("20990101000001"), ReportError);
}

TEST_F(ReportTextTest, ContainerTypesPrintAsLoadKindsInLineOrder) {
    exec("DELETE FROM tblcontainer");
    addContainer("0001", "0003", "EMPTY1", "E");
    addContainer("0001", "0001", "FULL1", "F");
    addContainer("0001", "0002", "LESS1", "L");
    EXPECT_EQ(reports().ContainerText(kKey, "0001"),
              "No Kontainer: FULL1\nUkuran: 20\nTipe: FCL\n"
              "No Kontainer: LESS1\nUkuran: 20\nTipe: LCL\n"
              "No Kontainer: EMPTY1\nUkuran: 20\nTipe: Empty Container\n");
}

TEST_F(ReportTextTest, RecapPrintsEveryPosInOrderWithItsOwnCounts) {
    addPos("0003");
    addPos("0002");
    addContainer("0001", "0002", "SECOND1", "F");
    const ReportContent report = recap();
    EXPECT_EQ(report.caption, "Preview Rekap Manifes");
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(report.recordSet.value(row, "no_pos"), QString("000%1").arg(row + 1));
    EXPECT_EQ(report.recordSet.value(0, "kontainer_uraianbrg"),
              "Kontainer: (2)\n" + kDemoContainer +
                  "No Kontainer: SECOND1\nUkuran: 20\nTipe: FCL\n\nBarang: (1)\n" + kDemoGoods);
    EXPECT_EQ(report.recordSet.value(1, "kontainer_uraianbrg"),
              "Kontainer: (0)\nNo Kontainer: - \nUkuran: - \nTipe: - \n\nBarang: (0)\n"
              "HS: - \nUraian: - ");
    EXPECT_EQ(report.recordSet.value(2, "no_bl"), "NO B/L: BL0003\nTgl B/L: 11-03-2024");
    EXPECT_EQ(report.label("LblJmlPos"), "3");
    EXPECT_EQ(report.label("lblJmlCont"), "2");
    EXPECT_EQ(report.label("lblJmlKemasan"), "1");
    EXPECT_EQ(report.label("Label3"), "Nama kapal");
    EXPECT_EQ(report.label("Label17"), "Pel Asal/Pel Bongkar");
    EXPECT_EQ(report.label("lbldate"), "05-04-2024 09:07 Print Header - Vastrel 2.1");
    EXPECT_EQ(report.widthsTwips.value("Text5"), 900);
}

TEST_F(AirReportTextTest, AirDetailHasNoContainersNorMotherVessel) {
    exec("UPDATE tbldetail SET mot_vessel = 'IGNORED'");
    const ReportContent report = detail();
    EXPECT_EQ(report.recordSet.value(0, "no_bl"), "NO AWB: HAWB0001\nTgl AWB: 10-03-2024");
    EXPECT_EQ(report.recordSet.value(0, "mother_vessel"), "");
    EXPECT_EQ(report.recordSet.value(0, "kontainer_uraianbrg"), kDemoGoods);
    EXPECT_EQ(report.recordSet.value(0, "pelabuhan"),
              demoPorts("Airport", "IDCGK", "SOEKARNO-HATTA, JAKARTA"));
    expectLabels(report, {"lbljudul",   "Inward Manifest Udara",
                          "Label5",     "No Flight",
                          "Label3",     "Nama Airlines",
                          "Label17",    "Airport Asal/Bongkar",
                          "Label20",    "Airport Muat/Akhir",
                          "Label19",    "No Master AWB",
                          "Label23",    "Tgl Master AWB",
                          "Label13",    "AWB\nTgl. AWB",
                          "Label16",    "Barang",
                          "lblJmlCont", "",
                          "Label9",     "",
                          "Label27",    ""});
    EXPECT_EQ(report.hidden, QSet<QString>({"Label8"}));
    EXPECT_EQ(report.widthsTwips.value("TxtPOS"), 2970);
}

TEST_F(AirReportTextTest, AirRecapHidesContainerCountButKeepsPortWords) {
    const ReportContent report = recap();
    EXPECT_EQ(report.hidden, QSet<QString>({"Label9", "Label27", "lblJmlCont", "Label4"}));
    EXPECT_EQ(report.recordSet.value(0, "kontainer_uraianbrg"), "Barang: (1)\n" + kDemoGoods);
    EXPECT_EQ(report.recordSet.value(0, "pelabuhan"),
              demoPorts("Pelabuhan", "IDCGK", "SOEKARNO-HATTA, JAKARTA"));
    expectLabels(report, {"Label3", "Nama Airlines", "Label5", "Flight No", "Label11",
                          "AWB\nTgl. AWB", "Label17", "Airport Asal/Airport Bongkar"});
    EXPECT_EQ(report.widthsTwips.value("Text5"), 2500);
}
