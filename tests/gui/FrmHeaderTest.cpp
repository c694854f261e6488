#include "FrmHeader.h"
#include "GuiTestSupport.h"

#include "KeyGuard.h"
#include "Schema.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

using namespace vastrel;
using namespace vastrel::test;

namespace {

const QString kToday = QDate::currentDate().toString("yyyyMMdd");
const QString kStoredKey = "20240301000007";

// Stands in for the main window: records the command states and moves the
// screen's lists the way the navigation toolbar does.
class FakeHost : public CommandHost {
public:
    AppState* state = nullptr;
    FrmHeader* screen = nullptr;
    QStringList states;
    bool navigationShown = false;

    void ControlToolBar(const QString& s) override { states << s; }
    void showNavigation(bool visible) override { navigationShown = visible; }
    void NavigateHeader(const QString& key) override {
        RowSet& list = state->entry.StrPart == "header" ? screen->RsHeader() : screen->RsDetail();
        if (list.bof() || list.eof())
            return;
        if (key == "first")
            list.moveFirst();
        else if (key == "last")
            list.moveLast();
        else if (key == "prev") {
            list.movePrevious();
            if (list.bof())
                list.moveFirst();
        }
        screen->showCurrent(key);
    }
};

} // namespace

class FrmHeaderTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<AppState> state;
    FakeHost host;
    std::unique_ptr<FrmHeader> screen;

    Database& db() { return state->Conn; }
    int count(const QString& sql, const Params& params = {}) {
        return db().scalar(sql, params).toInt();
    }
    QString stored(const QString& sql, const Params& params = {}) {
        return db().scalar(sql, params).toString();
    }
    template <typename T = QLineEdit> T* field(const QString& name) {
        return child<T>(screen.get(), name);
    }
    void set(const QString& name, const QString& value) {
        if (auto* plain = screen->findChild<QPlainTextEdit*>(name))
            plain->setPlainText(value);
        else if (auto* check = screen->findChild<QCheckBox*>(name))
            check->setChecked(value == "1");
        else
            field(name)->setText(value);
    }
    // The one message the last action showed (or a record listing all of them).
    Messages::Record onlyMessage() {
        const auto log = Messages::takeLog();
        if (log.size() == 1)
            return log.first();
        QStringList texts;
        for (const Messages::Record& shown : log)
            texts << shown.text;
        Messages::Record summary;
        summary.text = QString("%1 messages: %2").arg(log.size()).arg(texts.join(" | "));
        return summary;
    }

    void openScreen(const QString& jenis) {
        screen.reset();
        state->StrJenis = jenis;
        state->entry = EntryState{};
        screen = std::make_unique<FrmHeader>(*state, host);
        host.state = state.get();
        host.screen = screen.get();
        host.states.clear();
        screen->show();
    }

    // ---- the main window's commands, as it drives the screen ----
    void newManifest() {
        state->entry.StrMode = "new";
        screen->prepareNewManifest();
        state->entry.VarHeaderOpen = true;
    }
    void openManifests() {
        state->entry.StrMode = "open";
        state->entry.VarHeaderOpen = true;
        screen->openFirst();
    }
    void edit() {
        state->entry.StrMode = "edit";
        screen->beginEdit();
    }
    bool saveHeader() {
        if (!screen->SaveToHeader())
            return false;
        screen->afterSaveHeader();
        state->entry.StrMode = "save";
        return true;
    }
    bool savePos() {
        if (!screen->SaveToDetail())
            return false;
        screen->afterSaveDetail();
        state->entry.StrMode = "save";
        return true;
    }
    void newPos() {
        state->entry.StrMode = "new";
        screen->prepareNewDetail();
    }
    void selectGroup(const QString& code) {
        auto* group = field<QComboBox>("CmbGroup");
        group->setCurrentIndex(group->findText(code + " - ", Qt::MatchStartsWith));
    }
    void fillHeader() {
        set("TxtKapal", "SEA BREEZE");
        set("TxtNoVoy", "012N");
        set("TxtDate", "15-03-2024");
        set("TxtTime", "08:30");
        set("TxtMasterNoBL", "MBL01");
        set("TxtMasterTglBL", "10-03-2024");
    }
    void fillPos(const QString& nobl) {
        set("TxtNoBL1", nobl);
        set("TxtNoBL2", "10-03-2024");
        set("TxtMotherVessel", "OCEAN STAR");
        for (const char* port : {"TxtAsal", "TxtMuat", "TxtBongkar", "TxtAkhir"})
            set(port, "SGSIN");
        set("TxtShipperNm", "SHIPPER");
        set("TxtConsigneeNm", "CONSIGNEE");
        set("TxtNotifyNm", "NOTIFY");
        set("TxtJmlKemasan", "8");
        set("TextSatuanKemasan", "PK");
        set("TxtBerat", "1234.5");
        set("TxtVolume", "12.345");
    }
    void storeHeader(const QString& key, const QString& group = "A1",
                     const QString& direction = "Inward") {
        db().exec("INSERT INTO tblheader VALUES (?, ?, 'SEA BREEZE', '012N', ?, '2024-03-01', "
                  "'08:30:00', 'N', 'MBL01', '2024-02-28')",
                  {key, direction, group});
    }
    void storePos(const QString& key, const QString& nopos) {
        db().exec("INSERT INTO tbldetail (nodaftar, nopos, mot_vessel, nobl, tglbl, pasalcd, "
                  "pmuatcd, pbongkarcd, pakhircd, jmlkemasan, satuankemasan, bruto, volume, "
                  "flagconsolidate, flagpartial) VALUES (?, ?, 'OCEAN STAR', ?, '2024-02-28', "
                  "'SGSIN', 'SGSIN', 'IDTPP', 'IDTPP', 8, 'PK', 1, 1, '', '')",
                  {key, nopos, "BL" + nopos});
    }
    // Opens the stored manifest's POS list.
    void enterDetail() {
        openManifests();
        field<QPushButton>("CmdDetail")->click();
        Messages::takeLog();
    }

private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        state = std::make_unique<AppState>();
        state->Conn = Database::create(dir->filePath("test.db"), "pw");
        db().exec("PRAGMA synchronous = OFF");
        schema::create(db());
        db().exec("INSERT INTO tblsetting (nama, jenis_manifest, nodaftarauto) "
                  "VALUES ('PT TEST', '0', '000041')");
        db().exec("INSERT INTO tblGrup VALUES ('A1', 'BARANG IMPOR', -1, 0, 1), "
                  "('08X', 'KAPAL TANPA MUATAN', -1, -1, 3), ('09E', 'BARANG EKSPOR', 0, -1, 4)");
        db().exec("INSERT INTO tblpelabuhan VALUES ('SGSIN', 'SINGAPORE'), "
                  "('IDTPP', 'TANJUNG PRIOK')");
        db().exec("INSERT INTO tblkemasan VALUES ('PK', 'PACKAGE'), ('CT', 'CARTON')");
        Messages::startRecording();
        openScreen("0");
    }
    void cleanup() {
        screen.reset();
        Messages::stopRecording();
    }

    // ---- header ----

    void headerChecksComeInOrderAndWriteNothing() {
        newManifest();
        const QList<std::tuple<QString, QString, QString, Messages::Icon>> steps = {
            {"TxtTime", "8:30", "Silahkan isi No Master B/L", Messages::Icon::Information},
            {"TxtMasterNoBL", "MBL01", "Silahkan isi Tanggal Master B/L",
             Messages::Icon::Information},
            {"TxtMasterTglBL", "31-02-2024", "Tanggal Master B/L tidak valid",
             Messages::Icon::Information},
            {"TxtMasterTglBL", "100324", "Format Waktu HH:mm", Messages::Icon::Exclamation},
            {"TxtTime", "", "Silahkan isi Tanggal Tiba (dd-mm-yyyy)", Messages::Icon::Exclamation},
            {"TxtDate", "32-01-2024", "Invalid Date (dd-mm-yyyy)", Messages::Icon::Exclamation},
            {"TxtDate", "15-03-2024", "Silahkan isi Jam Tiba (HH:mm)", Messages::Icon::Exclamation},
        };
        for (const auto& [name, value, message, icon] : steps) {
            set(name, value);
            QVERIFY(!saveHeader());
            const Messages::Record shown = onlyMessage();
            QCOMPARE(shown.text, message);
            QCOMPARE(shown.title, QString("Information"));
            QVERIFY(shown.icon == icon);
        }
        QCOMPARE(field("TxtMasterTglBL")->text(), QString("10-03-2024"));
        QCOMPARE(count("SELECT count(*) FROM tblheader"), 0);
    }

    void arrivalTime_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected"); // empty: refused
        QTest::newRow("four digits") << "0830"
                                     << "08:30:00";
        QTest::newRow("last minute") << "23:59"
                                     << "23:59:00";
        QTest::newRow("one-digit hour") << "8:30"
                                        << "";
        QTest::newRow("hour 24") << "24:00"
                                 << "";
        QTest::newRow("minute 60") << "12:60"
                                   << "";
        QTest::newRow("three digits") << "830"
                                      << "";
        QTest::newRow("all digits") << "12345"
                                    << "";
    }
    void arrivalTime() {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        newManifest();
        fillHeader();
        set("TxtTime", typed);
        QCOMPARE(saveHeader(), !expected.isEmpty());
        if (expected.isEmpty()) {
            QCOMPARE(onlyMessage().text, QString("Format Waktu HH:mm"));
            QCOMPARE(count("SELECT count(*) FROM tblheader"), 0);
        } else {
            QCOMPARE(stored("SELECT arrivingtime FROM tblheader"), expected);
        }
    }

    void emptyVesselAndVoyageAreAccepted() {
        newManifest();
        fillHeader();
        set("TxtKapal", "");
        set("TxtNoVoy", "");
        QVERIFY(saveHeader());
        QCOMPARE(stored("SELECT vessel FROM tblheader"), QString(""));
        QCOMPARE(count("SELECT count(*) FROM tblkapal WHERE nmkapal = ''"), 1);
    }

    void newHeaderIsInsertedThenUpdatedAndTheCounterMovesOnce() {
        newManifest();
        QCOMPARE(field("TextNoDaftar")->text(), QString("000042"));
        fillHeader();
        QVERIFY(saveHeader());
        const QString key = kToday + "000042";
        QCOMPARE(stored("SELECT nodaftarauto FROM tblsetting"), QString("000042"));
        QCOMPARE(stored("SELECT status FROM tblheader WHERE nodaftar = ?", {key}), QString("N"));
        QCOMPARE(stored("SELECT arrivingdate FROM tblheader"), QString("2024-03-15"));
        QCOMPARE(host.states.last(), QString("open"));
        QVERIFY(field<QPushButton>("CmdDetail")->isEnabled());
        QVERIFY(KeyGuard::isLocked(field("TxtKapal")));

        edit();
        set("TxtNoVoy", "013N");
        QVERIFY(saveHeader());
        QCOMPARE(count("SELECT count(*) FROM tblheader"), 1);
        QCOMPARE(stored("SELECT voyage FROM tblheader WHERE nodaftar = ?", {key}), QString("013N"));
        QCOMPARE(stored("SELECT nodaftarauto FROM tblsetting"), QString("000042"));
        QCOMPARE(count("SELECT count(*) FROM tblkapal WHERE nmkapal = 'SEA BREEZE'"), 1);
    }

    void group08XClearsDocumentsAndUnitsOnUpdateOnly() {
        // Leftovers carrying the key a new header will take must survive its insert.
        const QString newKey = kToday + "000042";
        db().exec("INSERT INTO tblpeb VALUES (?, '0001', '0001', 'PEB', '040300', '1', "
                  "'2024-03-01')",
                  {newKey});
        newManifest();
        fillHeader();
        selectGroup("08X");
        QVERIFY(saveHeader());
        QCOMPARE(count("SELECT count(*) FROM tblpeb WHERE nodaftar = ?", {newKey}), 1);

        storeHeader(kStoredKey);
        storePos(kStoredKey, "0001");
        db().exec("INSERT INTO tblpeb VALUES (?, '0001', '0001', 'PEB', '040300', '1', "
                  "'2024-03-01')",
                  {kStoredKey});
        openManifests();
        host.NavigateHeader("first");
        QCOMPARE(field("TextNoDaftar")->text(), QString("000007"));
        edit();
        selectGroup("08X");
        QVERIFY(saveHeader());
        QCOMPARE(count("SELECT count(*) FROM tblpeb WHERE nodaftar = ?", {kStoredKey}), 0);
        QCOMPARE(stored("SELECT satuankemasan FROM tbldetail WHERE nodaftar = ?", {kStoredKey}),
                 QString(""));
        QCOMPARE(stored("SELECT kdgrup FROM tblheader WHERE nodaftar = ?", {kStoredKey}),
                 QString("08X"));
    }

    void outwardRelabelsAndListsOutwardGroups() {
        newManifest();
        auto* direction = field<QComboBox>("CmbManifest");
        direction->setFocus();
        QTest::keyClick(direction, Qt::Key_Down);
        QCOMPARE(direction->currentText(), QString("Outward"));
        QCOMPARE(field<QLabel>("Label3")->text(), QString("Tanggal Berangkat"));
        QCOMPARE(field<QLabel>("Label25")->text(), QString("Jam Berangkat"));
        QCOMPARE(field<QComboBox>("CmbGroup")->itemText(1), QString("09E - BARANG EKSPOR"));
        QTest::keyClicks(direction, "i");
        QCOMPARE(direction->currentText(), QString("Outward"));
    }

    void kindCaptions_data() {
        QTest::addColumn<QString>("jenis");
        QTest::addColumn<QStringList>(
            "captions"); // Label2, Label4, Label6, Label32, Frame2, LvMaster 1
        QTest::addColumn<QString>("masterMessage");
        QTest::newRow("sea") << "0" << QStringList{"Kapal",         "No Voyage", "No B/L",
                                                   "No Master B/L", "Pelabuhan", "No B/L"}
                             << "Silahkan isi No Master B/L";
        QTest::newRow("air") << "1" << QStringList{"Airlines",      "No Flight", "No AWB",
                                                   "No Master AWB", "Airport",   "No AWB"}
                             << "Silahkan isi No Master AWB";
    }
    void kindCaptions() {
        QFETCH(QString, jenis);
        QFETCH(QStringList, captions);
        QFETCH(QString, masterMessage);
        openScreen(jenis);
        const bool sea = jenis == "0";
        QCOMPARE(field<QLabel>("Label2")->text(), captions[0]);
        QCOMPARE(field<QLabel>("Label4")->text(), captions[1]);
        QCOMPARE(field<QLabel>("Label6")->text(), captions[2]);
        QCOMPARE(field<QLabel>("Label32")->text(), captions[3]);
        QCOMPARE(field<QGroupBox>("Frame2")->title(), captions[4]);
        QCOMPARE(field<QTableView>("LvMaster")->model()->headerData(0, Qt::Horizontal).toString(),
                 captions[5]);
        for (const char* seaOnly :
             {"TxtMotherVessel", "Label9", "CmdKontainer", "TxtNoContainer", "TextTotContainer"})
            QCOMPARE(field<QWidget>(seaOnly)->isVisibleTo(field<QWidget>("FrameDetail")), sea);
        QCOMPARE(field<QPushButton>("CmdSatuanKemasan")->isEnabled(), sea);

        newManifest();
        QVERIFY(!saveHeader());
        QCOMPARE(onlyMessage().text, masterMessage);
    }

    void deletingTheLastHeaderStartsANewOne() {
        storeHeader(kStoredKey);
        storePos(kStoredKey, "0001");
        openManifests();
        QVERIFY(screen->DeleteToHeader());
        screen->afterDeleteHeader();
        QCOMPARE(count("SELECT count(*) FROM tbldetail"), 0);
        QCOMPARE(state->entry.StrMode, QString("new"));
        QCOMPARE(host.states.last(), QString("new"));
        QCOMPARE(field("TextNoDaftar")->text(), QString("000042"));
        QVERIFY(!KeyGuard::isLocked(field("TxtKapal")));
    }

    // ---- detail ----

    void posChecksComeInOrder() {
        storeHeader(kStoredKey);
        enterDetail();
        // Two containers recorded for the POS about to be entered.
        for (const char* seq : {"0001", "0002"})
            db().exec("INSERT INTO tblcontainer VALUES (?, '0001', ?, 'C', '20', 'F', 'S')",
                      {kStoredKey, seq});
        newPos();
        QCOMPARE(field("TextPos")->text(), QString("0001"));
        QCOMPARE(field("TextTotContainer")->text(), QString("2"));
        const QList<std::pair<QStringList, QString>> steps = {
            {{}, "Silahkan isi No B/L"},
            {{"TxtNoBL1", "HBL1"}, "Invalid format tanggal (dd-mm-yyyy)"},
            {{"TxtNoBL2", "100324"}, "Silahkan isi Mother Vessel"},
            {{"TxtMotherVessel", "OCEAN STAR"}, "Kode pelabuhan asal tidak valid"},
            {{"TxtAsal", "SGSIN"}, "Kode pelabuhan muat tidak valid"},
            {{"TxtMuat", "SGSIN"}, "Kode pelabuhan bongkar tidak valid"},
            {{"TxtBongkar", "XXXXX"}, "Kode pelabuhan bongkar tidak valid"},
            {{"TxtBongkar", "IDTPP"}, "Kode pelabuhan akhir tidak valid"},
            {{"TxtAkhir", "IDTPP", "TxtJmlKemasan", "x"}, "Data jumlah kemasan tidak valid"},
            {{"TxtJmlKemasan", "8", "TxtBerat", ""}, "Data bruto tidak valid"},
            {{"TxtBerat", "1.5", "TxtVolume", "1.2.3"}, "Data volume tidak valid"},
            {{"TxtVolume", "2"}, "Kode satuan kemasan"},
            {{"TextSatuanKemasan", "ZZ"}, "Kode satuan kemasan"},
            {{"TextSatuanKemasan", "CT", "ChkPartialShipment", "1", "TxtNoPackage", "x"},
             "Data total kemasan tidak valid"},
            {{"TxtNoPackage", "5", "TxtNoContainer", ""}, "Data total kontainer tidak valid"},
            {{"TxtNoContainer", "3"}, "Total kemasan harus lebih besar dari jumlah kemasan"},
            {{"TxtNoPackage", "8"}, "Total kontainer harus lebih besar dari part kontainer"},
            {{"TxtNoContainer", "2"}, "Data berhasil disimpan"},
        };
        for (const auto& [settings, message] : steps) {
            for (int i = 0; i + 1 < settings.size(); i += 2)
                set(settings[i], settings[i + 1]);
            savePos();
            QCOMPARE(onlyMessage().text, message);
        }
        QCOMPARE(stored("SELECT tglbl FROM tbldetail"), QString("2024-03-10"));
        QCOMPARE(stored("SELECT flagpartial || grandpackage || '/' || grandcontainer FROM "
                        "tbldetail"),
                 QString("E8/2"));
        QVERIFY(host.navigationShown);
    }

    void emptyBlDateHasItsOwnBox() {
        storeHeader(kStoredKey);
        enterDetail();
        fillPos("HBL1");
        set("TxtNoBL2", "");
        QVERIFY(!savePos());
        const Messages::Record shown = onlyMessage();
        QCOMPARE(shown.text, QString("Invalid format tanggal (dd-mm-yyyy)"));
        QCOMPARE(shown.title, Messages::kDefaultTitle);
        QVERIFY(shown.icon == Messages::Icon::None);
    }

    void airPosIsSavedWithoutMotherVesselAndContainers() {
        openScreen("1");
        storeHeader(kStoredKey);
        enterDetail();
        QCOMPARE(field("TextSatuanKemasan")->text(), QString("PK"));
        QCOMPARE(field("TextUraian")->text(), QString("Package"));
        set("TxtAsal", "XXXXX");
        set("TxtNoBL1", "HAWB1");
        set("TxtNoBL2", "10-03-2024");
        QVERIFY(!savePos());
        QCOMPARE(onlyMessage().text, QString("Kode airport asal tidak valid"));
        fillPos("HAWB1");
        set("ChkPartialShipment", "1");
        set("TxtNoPackage", "9");
        set("TxtNoContainer", "5");
        QVERIFY(savePos());
        QCOMPARE(stored("SELECT mot_vessel || '/' || grandcontainer || '/' || grandpackage FROM "
                        "tbldetail"),
                 QString("/0/9"));
    }

    void posNumbersAreNotReusedAfterADelete() {
        storeHeader(kStoredKey);
        for (const char* pos : {"0001", "0002", "0003"})
            storePos(kStoredKey, pos);
        db().exec("INSERT INTO tblhs VALUES (?, '0002', '0001', '847130', 'X')", {kStoredKey});
        db().exec("INSERT INTO tblcontainer VALUES (?, '0002', '0001', 'C', '20', 'F', 'S')",
                  {kStoredKey});
        enterDetail();
        QCOMPARE(field("TextPos")->text(), QString("0003"));
        host.NavigateHeader("prev");
        QCOMPARE(field("TextPos")->text(), QString("0002"));
        QCOMPARE(field<QPushButton>("CmdBarang")->text(), QString("Barang (1)"));
        QVERIFY(screen->DeleteToDetail());
        screen->afterDeleteDetail();
        QCOMPARE(count("SELECT count(*) FROM tbldetail WHERE nopos = '0002'"), 0);
        QCOMPARE(count("SELECT count(*) FROM tblhs"), 0);
        QCOMPARE(count("SELECT count(*) FROM tblcontainer"), 0);
        newPos();
        QCOMPARE(field("TextPos")->text(), QString("0004"));
    }

    void undoAfterNewPosReturnsToTheList() {
        storeHeader(kStoredKey);
        storePos(kStoredKey, "0001");
        storePos(kStoredKey, "0002");
        enterDetail();
        newPos();
        QCOMPARE(field("TextPos")->text(), QString("0003"));
        QVERIFY(!field<QPushButton>("CmdHeader")->isEnabled());
        screen->undoNew();
        QCOMPARE(field("TextPos")->text(), QString("0002"));
        QCOMPARE(field("TxtNoBL1")->text(), QString("BL0002"));
        QVERIFY(field<QPushButton>("CmdHeader")->isEnabled());
        QCOMPARE(host.states.last(), QString("open"));
        QCOMPARE(state->entry.StrPart, QString("detail"));
    }

    void readinessFollowsASave() {
        storeHeader(kStoredKey, "08X");
        enterDetail();
        QCOMPARE(field<QLabel>("LblStatus")->text(), QString("Not Ready"));
        QVERIFY(!field("TextSatuanKemasan")->isEnabled());
        fillPos("HBL1");
        QVERIFY(savePos());
        QCOMPARE(field<QLabel>("LblStatus")->text(), QString("Ready"));
        QVERIFY(!field<QLabel>("ImgReady")->isHidden());
        QVERIFY(field<QLabel>("ImgNotReady")->isHidden());
        QCOMPARE(stored("SELECT satuankemasan FROM tbldetail"), QString(""));
    }

    void quotesAreStoredAsTyped() {
        newManifest();
        fillHeader();
        set("TxtKapal", "");
        typeInto(field("TxtKapal"), "o'neil's");
        QVERIFY(saveHeader());
        QCOMPARE(stored("SELECT vessel FROM tblheader"), QString("O'NEIL'S"));
        field<QPushButton>("CmdDetail")->click();
        fillPos("BL'1");
        set("TxtShipperNm", "PT O'BRIEN");
        set("TxtMark", "A'B\nC");
        QVERIFY(savePos());
        QCOMPARE(stored("SELECT nobl || snm || mark FROM tbldetail"),
                 QString("BL'1PT O'BRIENA'B\nC"));
        QCOMPARE(count("SELECT count(*) FROM tblparties WHERE NamaParties = 'PT O''BRIEN'"), 1);
    }

    void consolidationFlagIsStoredOnInsertAndUpdate() {
        storeHeader(kStoredKey);
        enterDetail();
        fillPos("HBL1");
        set("ChkConsildate", "1");
        QVERIFY(savePos());
        QCOMPARE(stored("SELECT flagconsolidate FROM tbldetail"), QString("C"));
        QVERIFY(field<QCheckBox>("ChkConsildate")->isChecked());
        edit();
        set("ChkConsildate", "0");
        QVERIFY(savePos());
        QCOMPARE(stored("SELECT flagconsolidate FROM tbldetail"), QString(""));
    }

    void aNewWithATakenKeyIsRefused() {
        db().exec("UPDATE tblsetting SET nodaftarauto = '999998'");
        storeHeader(kToday + "000001");
        newManifest();
        QCOMPARE(field("TextNoDaftar")->text(), QString("000001"));
        fillHeader();
        set("TxtKapal", "OTHER");
        QVERIFY(!saveHeader());
        QCOMPARE(onlyMessage().text, QString("No Dokumen 000001 sudah ada"));
        QCOMPARE(stored("SELECT vessel FROM tblheader"), QString("SEA BREEZE"));
        QCOMPARE(stored("SELECT nodaftarauto FROM tblsetting"), QString("999998"));

        storeHeader(kStoredKey);
        storePos(kStoredKey, "0001");
        storePos(kStoredKey, "9998");
        screen->openManifest(kStoredKey);
        field<QPushButton>("CmdDetail")->click();
        newPos();
        QCOMPARE(field("TextPos")->text(), QString("0001"));
        fillPos("OTHER");
        QVERIFY(!savePos());
        QCOMPARE(onlyMessage().text, QString("No Pos 0001 sudah ada"));
        QCOMPARE(stored("SELECT nobl FROM tbldetail WHERE nopos = '0001'"), QString("BL0001"));
    }

    void aFailingStatementWritesNothingAndSaysWhy() {
        db().exec("DROP TABLE tblkapal");
        newManifest();
        fillHeader();
        QVERIFY(!saveHeader());
        const Messages::Record shown = onlyMessage();
        QVERIFY(shown.text.contains("tblkapal"));
        QCOMPARE(shown.title, QString("Information"));
        QCOMPARE(count("SELECT count(*) FROM tblheader"), 0);
        QCOMPARE(stored("SELECT nodaftarauto FROM tblsetting"), QString("000041"));
        QVERIFY(!KeyGuard::isLocked(field("TxtKapal")));

        db().exec("DROP TABLE tblparties");
        storeHeader(kStoredKey);
        screen->openManifest(kStoredKey);
        field<QPushButton>("CmdDetail")->click();
        fillPos("HBL1");
        QVERIFY(!savePos());
        QVERIFY(onlyMessage().text.contains("tblparties"));
        QCOMPARE(count("SELECT count(*) FROM tbldetail"), 0);
    }

    void goodsScreenRefreshesTheCountWhenItCloses() {
        storeHeader(kStoredKey);
        storePos(kStoredKey, "0001");
        enterDetail();
        db().exec("INSERT INTO tblhs VALUES (?, '0001', '0001', '847130', 'X')", {kStoredKey});
        QTimer::singleShot(0, [] {
            if (QWidget* dialog = QApplication::activeModalWidget())
                dialog->close();
        });
        field<QPushButton>("CmdBarang")->click();
        QCOMPARE(field<QPushButton>("CmdBarang")->text(), QString("Barang (1)"));
    }

    void returningToTheHeaderShowsTheHeaderLeft() {
        storeHeader("20240301000001");
        storeHeader(kStoredKey);
        storeHeader("20240302000008");
        openManifests();
        host.NavigateHeader("prev");
        QCOMPARE(field("TextNoDaftar")->text(), QString("000007"));
        field<QPushButton>("CmdDetail")->click();
        QCOMPARE(state->entry.HeaderPosition, 2);
        field<QPushButton>("CmdHeader")->setEnabled(true);
        field<QPushButton>("CmdHeader")->click();
        QCOMPARE(field("TextNoDaftar")->text(), QString("000007"));
        QCOMPARE(state->entry.StrPart, QString("header"));
        QVERIFY(KeyGuard::isLocked(field("TxtKapal")));
    }

    // Draws both halves next to the test for a person to look at.
    void screenshotOfBothHalves() {
        storeHeader(kStoredKey);
        storePos(kStoredKey, "0001");
        openManifests();
        const QString folder = QCoreApplication::applicationDirPath();
        QVERIFY(screen->grab().save(folder + "/entry-header.png"));
        field<QPushButton>("CmdDetail")->click();
        QVERIFY(screen->grab().save(folder + "/entry-detail.png"));
    }

    void closingTheScreenReturnsToTheStartState() {
        state->entry.VarHeaderOpen = state->entry.VarNavigate = true;
        screen->close();
        QVERIFY(!state->entry.VarHeaderOpen);
        QVERIFY(!state->entry.VarNavigate);
        QCOMPARE(host.states.last(), QString("awal"));
    }
};

QTEST_MAIN(FrmHeaderTest)
#include "FrmHeaderTest.moc"
