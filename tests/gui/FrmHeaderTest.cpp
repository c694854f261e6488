#include "FrmHeader.h"
#include "KeyGuard.h"
#include "ReferenceTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>

#include <memory>

using namespace vastrel;
using namespace vastrel::test;

namespace {

const QString kToday = QDate::currentDate().toString("yyyyMMdd");
const QString kStoredKey = "20240301000007";
using Icon = Messages::Icon;

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
        if (key == "first")
            list.moveFirst();
        else if (key == "prev" && list.absolutePosition() > 1)
            list.movePrevious();
        screen->showCurrent(key);
    }
};

} // namespace

class FrmHeaderTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestInstallation> inst;
    AppState* state = nullptr;
    FakeHost host;
    std::unique_ptr<FrmHeader> screen;

    int count(const QString& sql, const Params& params = {}) {
        return inst->scalar(sql, params).toInt();
    }
    QString stored(const QString& sql, const Params& params = {}) {
        return inst->scalar(sql, params).toString();
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
    // Sets boxes from a list of names, each followed by its text.
    void setAll(const QStringList& settings) {
        for (int i = 0; i + 1 < settings.size(); i += 2)
            set(settings[i], settings[i + 1]);
    }
    void openScreen(const QString& jenis) {
        screen.reset();
        state->StrJenis = jenis;
        state->entry = EntryState{};
        screen = std::make_unique<FrmHeader>(*state, host);
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
    bool save(bool (FrmHeader::*write)(), void (FrmHeader::*after)()) {
        if (!(screen.get()->*write)())
            return false;
        (screen.get()->*after)();
        state->entry.StrMode = "save";
        return true;
    }
    bool saveHeader() { return save(&FrmHeader::SaveToHeader, &FrmHeader::afterSaveHeader); }
    bool savePos() { return save(&FrmHeader::SaveToDetail, &FrmHeader::afterSaveDetail); }
    void newPos() {
        state->entry.StrMode = "new";
        screen->prepareNewDetail();
    }
    void selectGroup(const QString& code) {
        auto* group = field<QComboBox>("CmbGroup");
        group->setCurrentIndex(group->findText(code + " - ", Qt::MatchStartsWith));
    }
    void fillHeader() {
        setAll({"TxtKapal", "SEA BREEZE", "TxtNoVoy", "012N", "TxtDate", "15-03-2024", "TxtTime",
                "08:30", "TxtMasterNoBL", "MBL01", "TxtMasterTglBL", "10-03-2024"});
    }
    void fillPos(const QString& nobl) {
        setAll({"TxtNoBL1",        nobl,         "TxtNoBL2",          "10-03-2024",
                "TxtMotherVessel", "OCEAN STAR", "TxtAsal",           "SGSIN",
                "TxtMuat",         "SGSIN",      "TxtBongkar",        "SGSIN",
                "TxtAkhir",        "SGSIN",      "TxtShipperNm",      "SHIPPER",
                "TxtConsigneeNm",  "CONSIGNEE",  "TxtNotifyNm",       "NOTIFY",
                "TxtJmlKemasan",   "8",          "TextSatuanKemasan", "PK",
                "TxtBerat",        "1234.5",     "TxtVolume",         "12.345"});
    }
    void storeHeader(const QString& key, const QString& group = "A1",
                     const QString& direction = "Inward") {
        inst->exec("INSERT INTO tblheader VALUES (?, ?, 'SEA BREEZE', '012N', ?, "
                   "'2024-03-01', '08:30:00', 'N', 'MBL01', '2024-02-28')",
                   {key, direction, group});
    }
    void storePos(const QString& key, const QString& nopos) {
        inst->exec("INSERT INTO tbldetail (nodaftar, nopos, mot_vessel, nobl, tglbl, pasalcd, "
                   "pmuatcd, pbongkarcd, pakhircd, jmlkemasan, satuankemasan, bruto, volume, "
                   "flagconsolidate, flagpartial) VALUES (?, ?, 'OCEAN STAR', ?, '2024-02-28', "
                   "'SGSIN', 'SGSIN', 'IDTPP', 'IDTPP', 8, 'PK', 1, 1, '', '')",
                   {key, nopos, "BL" + nopos});
    }
    void storeDocument(const QString& key) {
        inst->exec("INSERT INTO tblpeb VALUES (?, '0001', '0001', 'PEB', '040300', '1', "
                   "'2024-03-01')",
                   {key});
    }
    // Opens the stored manifests on the POS list of the newest.
    void enterDetail() {
        openManifests();
        field<QPushButton>("CmdDetail")->click();
        Messages::takeLog();
    }

private slots:
    void init() {
        inst = std::make_unique<TestInstallation>();
        state = &inst->state;
        host.state = state;
        inst->exec("INSERT INTO tblsetting (nama, jenis_manifest, nodaftarauto) "
                   "VALUES ('PT TEST', '0', '000041')");
        inst->exec("INSERT INTO tblGrup VALUES ('A1', 'BARANG IMPOR', -1, 0, 1), "
                   "('08X', 'KAPAL TANPA MUATAN', -1, -1, 3), ('09E', 'BARANG EKSPOR', 0, -1, 4)");
        inst->exec("INSERT INTO tblpelabuhan VALUES ('SGSIN', 'SINGAPORE'), "
                   "('IDTPP', 'TANJUNG PRIOK')");
        inst->exec("INSERT INTO tblkemasan VALUES ('PK', 'PACKAGE'), ('CT', 'CARTON')");
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
        const struct {
            const char* name;
            const char* value;
            const char* message;
            Icon icon;
            const char* title = "Information";
        } steps[] = {
            {"TxtTime", "8:30", "Silahkan isi No Master B/L", Icon::Information},
            {"TxtMasterNoBL", "MBL\t01", "Posisi 4 [\t]", Icon::Exclamation,
             "Invalid Character - No Master B/L"},
            {"TxtMasterNoBL", "MBL01", "Silahkan isi Tanggal Master B/L", Icon::Information},
            {"TxtMasterTglBL", "31-02-2024", "Tanggal Master B/L tidak valid", Icon::Information},
            {"TxtMasterTglBL", "100324", "Format Waktu HH:mm", Icon::Exclamation},
            {"TxtTime", "", "Silahkan isi Tanggal Tiba (dd-mm-yyyy)", Icon::Exclamation},
            {"TxtDate", "32-01-2024", "Invalid Date (dd-mm-yyyy)", Icon::Exclamation},
            {"TxtDate", "15-03-2024", "Silahkan isi Jam Tiba (HH:mm)", Icon::Exclamation},
        };
        for (const auto& step : steps) {
            set(step.name, step.value);
            QVERIFY(!saveHeader());
            const QList<Messages::Record> log = Messages::takeLog();
            QCOMPARE(textsOf(log), QStringList{step.message});
            QCOMPARE(log[0].title, QString(step.title));
            QVERIFY(log[0].icon == step.icon);
        }
        QCOMPARE(field("TxtMasterTglBL")->text(), QString("10-03-2024"));
        QCOMPARE(count("SELECT count(*) FROM tblheader"), 0);
    }

    void anEmptyGroupListIsSaidWithHowToFillIt() {
        inst->exec("DELETE FROM tblGrup");
        openScreen("0");
        newManifest();
        auto* said = field<QLabel>("LblGroupEmpty");
        QVERIFY(said->isVisible());
        QVERIFY(said->text().contains("grup manifes masih kosong"));
        QVERIFY(said->text().contains("reference load"));
        fillHeader();
        QVERIFY(!saveHeader());
        QCOMPARE(textsOf(Messages::takeLog()), QStringList{said->text()});
        inst->exec("INSERT INTO tblGrup VALUES ('A1', 'BARANG IMPOR', -1, 0, 1)");
        openScreen("0");
        newManifest();
        QVERIFY(!field<QLabel>("LblGroupEmpty")->isVisible());
    }

    void arrivalTimeIsNormalisedOrRefused() {
        const struct {
            const char* typed;
            const char* stored; // empty: refused
        } cases[] = {{"0830", "08:30:00"}, {"23:59", "23:59:00"}, {"8:30", ""}, {"24:00", ""},
                     {"12:60", ""},        {"830", ""},           {"12345", ""}};
        for (const auto& c : cases) {
            inst->exec("DELETE FROM tblheader");
            newManifest();
            fillHeader();
            set("TxtTime", c.typed);
            const bool refused = QString(c.stored).isEmpty();
            QCOMPARE(saveHeader(), !refused);
            QCOMPARE(shownTexts(), refused ? QStringList{"Format Waktu HH:mm"} : QStringList{});
            QCOMPARE(stored("SELECT arrivingtime FROM tblheader"), QString(c.stored));
        }
    }

    void emptyVesselAndVoyageAreAccepted() {
        newManifest();
        fillHeader();
        setAll({"TxtKapal", "", "TxtNoVoy", ""});
        QVERIFY(saveHeader());
        QCOMPARE(stored("SELECT vessel || voyage FROM tblheader"), QString(""));
        QCOMPARE(count("SELECT count(*) FROM tblkapal WHERE nmkapal = ''"), 1);
    }

    void newHeaderIsInsertedThenUpdatedAndTheCounterMovesOnce() {
        newManifest();
        QCOMPARE(field("TextNoDaftar")->text(), QString("000042"));
        fillHeader();
        QVERIFY(saveHeader());
        const QString key = kToday + "000042";
        QCOMPARE(stored("SELECT nodaftarauto FROM tblsetting"), QString("000042"));
        QCOMPARE(stored("SELECT status || arrivingdate FROM tblheader WHERE nodaftar = ?", {key}),
                 QString("N2024-03-15"));
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
        storeDocument(newKey);
        newManifest();
        fillHeader();
        selectGroup("08X");
        QVERIFY(saveHeader());
        QCOMPARE(count("SELECT count(*) FROM tblpeb WHERE nodaftar = ?", {newKey}), 1);

        storeHeader(kStoredKey);
        storePos(kStoredKey, "0001");
        storeDocument(kStoredKey);
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

    void goodsBelongToAPosOutside08XAndDocumentsToAnOutwardOne() {
        const struct {
            const char* direction;
            const char* group;
            bool goods;
            bool documents;
        } cases[] = {{"Inward", "A1", true, false},
                     {"Outward", "09E", true, true},
                     {"Inward", "08X", false, false},
                     {"Outward", "08X", false, false}};
        for (const auto& c : cases) {
            inst->exec("DELETE FROM tbldetail");
            inst->exec("DELETE FROM tblheader");
            storeHeader(kStoredKey, c.group, c.direction);
            storePos(kStoredKey, "0001");
            enterDetail();
            const QString row = QString(c.direction) + " " + c.group;
            QVERIFY2(field<QPushButton>("CmdBarang")->isEnabled() == c.goods, qPrintable(row));
            QVERIFY2(field<QPushButton>("CmdPeb")->isEnabled() == c.documents, qPrintable(row));
        }
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

    void captionsAndMessagesFollowTheKind() {
        // Label2, Label4, Label6, Label32, Frame2, the first column of LvMaster, the message
        // for a missing master number.
        const std::pair<const char*, QStringList> kinds[] = {
            {"0",
             {"Kapal", "No Voyage", "No B/L", "No Master B/L", "Pelabuhan", "No B/L",
              "Silahkan isi No Master B/L"}},
            {"1",
             {"Airlines", "No Flight", "No AWB", "No Master AWB", "Airport", "No AWB",
              "Silahkan isi No Master AWB"}},
        };
        for (const auto& [jenis, expected] : kinds) {
            openScreen(jenis);
            const bool sea = QString(jenis) == "0";
            QStringList captions;
            for (const char* label : {"Label2", "Label4", "Label6", "Label32"})
                captions << field<QLabel>(label)->text();
            auto* list = field<QTableView>("LvMaster");
            captions << field<QGroupBox>("Frame2")->title()
                     << list->model()->headerData(0, Qt::Horizontal).toString();
            for (const char* seaOnly : {"TxtMotherVessel", "Label9", "CmdKontainer",
                                        "TxtNoContainer", "TextTotContainer"})
                QCOMPARE(field<QWidget>(seaOnly)->isVisibleTo(field<QWidget>("FrameDetail")), sea);
            QCOMPARE(field<QPushButton>("CmdSatuanKemasan")->isEnabled(), sea);
            newManifest();
            QVERIFY(!saveHeader());
            QCOMPARE(captions << shownTexts(), expected);
        }
    }

    void deletingTheLastHeaderStartsANewOne() {
        storeHeader(kStoredKey);
        storePos(kStoredKey, "0001");
        openManifests();
        QVERIFY(screen->DeleteToHeader());
        screen->afterDeleteHeader();
        QCOMPARE(count("SELECT count(*) FROM tbldetail"), 0);
        QCOMPARE(state->entry.StrMode + host.states.last(), QString("newnew"));
        QCOMPARE(field("TextNoDaftar")->text(), QString("000042"));
        QVERIFY(!KeyGuard::isLocked(field("TxtKapal")));
    }

    // ---- detail ----

    void posChecksComeInOrder() {
        storeHeader(kStoredKey);
        enterDetail();
        // The partial totals wait for Part Shipment to be ticked.
        QVERIFY(!field("TxtNoContainer")->isEnabled() && !field("TxtNoPackage")->isEnabled());
        // Two containers recorded for the POS about to be entered.
        for (const char* seq : {"0001", "0002"})
            inst->exec("INSERT INTO tblcontainer VALUES (?, '0001', ?, 'C', '20', 'F', 'S')",
                       {kStoredKey, seq});
        newPos();
        QCOMPARE(field("TextPos")->text() + "/" + field("TextTotContainer")->text(), "0001/2");
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
            {{"TxtJmlKemasan", "12.5"}, "Data jumlah kemasan tidak valid"},
            {{"TxtJmlKemasan", "8", "TxtBerat", ""}, "Data bruto tidak valid"},
            {{"TxtBerat", "-1"}, "Data bruto tidak valid"},
            {{"TxtBerat", "1.5", "TxtVolume", "1.2.3"}, "Data volume tidak valid"},
            {{"TxtVolume", "-0.5"}, "Data volume tidak valid"},
            {{"TxtVolume", "2"}, "Kode satuan kemasan"},
            {{"TextSatuanKemasan", "ZZ"}, "Kode satuan kemasan"},
            {{"TextSatuanKemasan", "CT", "ChkPartialShipment", "1", "TxtNoPackage", "x"},
             "Data total kemasan tidak valid"},
            {{"TxtNoPackage", "12.5"}, "Data total kemasan tidak valid"},
            {{"TxtNoPackage", "5", "TxtNoContainer", ""}, "Data total kontainer tidak valid"},
            {{"TxtNoContainer", "3"}, "Total kemasan harus lebih besar dari jumlah kemasan"},
            {{"TxtNoPackage", "8"}, "Total kontainer harus lebih besar dari part kontainer"},
            {{"TxtNoContainer", "2"}, "Data berhasil disimpan"},
        };
        for (const auto& [settings, message] : steps) {
            setAll(settings);
            savePos();
            const QList<Messages::Record> log = Messages::takeLog();
            QCOMPARE(textsOf(log), QStringList{message});
            if (settings.value(0) == "TxtNoBL1") { // the empty B/L date has a box of its own
                QCOMPARE(log[0].title, Messages::kDefaultTitle);
                QVERIFY(log[0].icon == Icon::None);
            }
        }
        QCOMPARE(stored("SELECT tglbl || flagpartial || grandpackage || '/' || grandcontainer "
                        "FROM tbldetail"),
                 QString("2024-03-10E8/2"));
        QVERIFY(host.navigationShown);
    }

    void airPosIsSavedWithoutMotherVesselAndContainers() {
        openScreen("1");
        storeHeader(kStoredKey);
        enterDetail();
        QCOMPARE(field("TextSatuanKemasan")->text() + field("TextUraian")->text(), "PKPackage");
        QVERIFY(field<QPushButton>("CmdSatuanKemasan")->isEnabled());
        setAll({"TxtAsal", "XXXXX", "TxtNoBL1", "HAWB1", "TxtNoBL2", "10-03-2024"});
        QVERIFY(!savePos());
        QCOMPARE(shownTexts(), QStringList{"Kode airport asal tidak valid"});
        fillPos("HAWB1");
        setAll({"ChkPartialShipment", "1", "TxtNoPackage", "9", "TxtNoContainer", "5"});
        QVERIFY(savePos());
        QCOMPARE(stored("SELECT mot_vessel || '/' || grandcontainer || '/' || grandpackage FROM "
                        "tbldetail"),
                 QString("/0/9"));
    }

    void quantitiesAreStoredAsNumbers() {
        storeHeader(kStoredKey);
        enterDetail();
        fillPos("HBL1");
        const struct {
            const char* packages;
            const char* bruto;
            const char* stored; // jmlkemasan, bruto, as the numbers they are (a text adds as 0)
        } cases[] = {{"1,200", "1,234.56785", "1200 1234.5678"}, {"15", "0.00015", "15 0.0002"}};
        for (const auto& c : cases) {
            setAll({"TxtJmlKemasan", c.packages, "TxtBerat", c.bruto});
            QVERIFY(savePos());
            QCOMPARE(stored("SELECT (jmlkemasan + 0) || ' ' || (bruto + 0) FROM tbldetail"),
                     QString(c.stored));
        }
    }

    void posNumbersAreNotReusedAfterADeleteAndUndoReturnsToTheList() {
        storeHeader(kStoredKey);
        for (const char* pos : {"0001", "0002", "0003"})
            storePos(kStoredKey, pos);
        inst->exec("INSERT INTO tblhs VALUES (?, '0002', '0001', '847130', 'X')", {kStoredKey});
        inst->exec("INSERT INTO tblcontainer VALUES (?, '0002', '0001', 'C', '20', 'F', 'S')",
                   {kStoredKey});
        enterDetail();
        QCOMPARE(field("TextPos")->text(), QString("0003"));
        host.NavigateHeader("prev");
        QCOMPARE(field("TextPos")->text(), QString("0002"));
        QCOMPARE(field<QPushButton>("CmdBarang")->text(), QString("Barang (1)"));
        QVERIFY(screen->DeleteToDetail());
        screen->afterDeleteDetail();
        QCOMPARE(count("SELECT count(*) FROM tbldetail WHERE nopos = '0002'"), 0);
        QCOMPARE(count("SELECT (SELECT count(*) FROM tblhs) + count(*) FROM tblcontainer"), 0);

        const QString shown = field("TextPos")->text();
        newPos();
        QCOMPARE(field("TextPos")->text(), QString("0004"));
        QVERIFY(!field<QPushButton>("CmdHeader")->isEnabled());
        screen->undoNew();
        QCOMPARE(field("TextPos")->text() + " " + field("TxtNoBL1")->text(), shown + " BL" + shown);
        QVERIFY(field<QPushButton>("CmdHeader")->isEnabled());
        QCOMPARE(host.states.last(), QString("open"));
        QCOMPARE(state->entry.StrPart, QString("detail"));
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
        setAll({"TxtShipperNm", "PT O'BRIEN", "TxtMark", "A'B\nC"});
        QVERIFY(savePos());
        QCOMPARE(stored("SELECT nobl || snm || mark FROM tbldetail"),
                 QString("BL'1PT O'BRIENA'B\nC"));
        QCOMPARE(count("SELECT count(*) FROM tblparties WHERE NamaParties = 'PT O''BRIEN'"), 1);
    }

    void aSaveShowsTheReadinessAndStoresTheConsolidationFlag() {
        storeHeader(kStoredKey, "08X");
        enterDetail();
        QCOMPARE(field<QLabel>("LblStatus")->text(), QString("Not Ready"));
        QVERIFY(!field("TextSatuanKemasan")->isEnabled());
        fillPos("HBL1");
        set("ChkConsildate", "1");
        QVERIFY(savePos());
        QCOMPARE(field<QLabel>("LblStatus")->text(), QString("Ready"));
        QVERIFY(!field<QLabel>("ImgReady")->isHidden() && field<QLabel>("ImgNotReady")->isHidden());
        QCOMPARE(stored("SELECT flagconsolidate || '/' || satuankemasan FROM tbldetail"),
                 QString("C/"));
        QVERIFY(field<QCheckBox>("ChkConsildate")->isChecked());
        edit();
        set("ChkConsildate", "0");
        QVERIFY(savePos());
        QCOMPARE(stored("SELECT flagconsolidate FROM tbldetail"), QString(""));
    }

    void aNewWithATakenKeyIsRefused() {
        inst->exec("UPDATE tblsetting SET nodaftarauto = '999998'");
        storeHeader(kToday + "000001");
        newManifest();
        QCOMPARE(field("TextNoDaftar")->text(), QString("000001"));
        fillHeader();
        set("TxtKapal", "OTHER");
        QVERIFY(!saveHeader());
        QCOMPARE(shownTexts(), QStringList{"No Dokumen 000001 sudah ada; nomor berikutnya "
                                           "000002, silahkan simpan lagi"});
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
        QCOMPARE(shownTexts(),
                 QStringList{"No Pos 0001 sudah ada; nomor berikutnya 0002, silahkan simpan lagi"});
        QCOMPARE(stored("SELECT nobl FROM tbldetail WHERE nopos = '0001'"), QString("BL0001"));
        // The typed values stay; saved again, the POS takes the number offered.
        QVERIFY(savePos());
        QCOMPARE(stored("SELECT nobl FROM tbldetail WHERE nopos = '0002'"), QString("OTHER"));
    }

    // Another clerk (another connection) changes, then deletes, the POS on screen: the save
    // says so and overwrites nothing, and the typed values stay.
    void aPosChangedOrDeletedByAnotherClerkIsNotOverwritten() {
        storeHeader(kStoredKey);
        storePos(kStoredKey, "0001");
        screen->openManifest(kStoredKey);
        field<QPushButton>("CmdDetail")->click();
        edit();
        set("TxtNoBL1", "MINE");
        Database other = inst->store.connectAgain();
        const Params pos = {kStoredKey};
        other.exec("UPDATE tbldetail SET nobl = 'THEIRS' WHERE nodaftar = ?", pos);
        QVERIFY(!savePos());
        QVERIFY(shownTexts().value(0).startsWith("Data telah diubah oleh user lain"));
        QCOMPARE(stored("SELECT nobl FROM tbldetail"), QString("THEIRS"));
        QCOMPARE(field("TxtNoBL1")->text(), QString("MINE"));
        other.exec("DELETE FROM tbldetail WHERE nodaftar = ?", pos);
        QVERIFY(!savePos());
        QVERIFY(shownTexts().value(0).startsWith("Data telah dihapus oleh user lain"));
        QCOMPARE(count("SELECT count(*) FROM tbldetail"), 0);

        // The same for the header; the clerk's own saves in a row are no conflict.
        field<QPushButton>("CmdHeader")->click();
        edit();
        set("TxtNoVoy", "V1");
        QVERIFY(saveHeader());
        edit();
        set("TxtNoVoy", "V2");
        QVERIFY(saveHeader());
        other.exec("UPDATE tblheader SET voyage = 'THEIRS'");
        edit();
        set("TxtNoVoy", "V3");
        QVERIFY(!saveHeader());
        QVERIFY(shownTexts().value(0).startsWith("Data telah diubah oleh user lain"));
        QCOMPARE(stored("SELECT voyage FROM tblheader"), QString("THEIRS"));
    }

    void aFailingStatementWritesNothingAndSaysWhy() {
        inst->exec("DROP TABLE tblkapal");
        newManifest();
        fillHeader();
        QVERIFY(!saveHeader());
        const QList<Messages::Record> log = Messages::takeLog();
        QVERIFY(log.size() == 1 && log[0].text.contains("tblkapal"));
        QCOMPARE(log[0].title, QString("Information"));
        QCOMPARE(count("SELECT count(*) FROM tblheader"), 0);
        QCOMPARE(stored("SELECT nodaftarauto FROM tblsetting"), QString("000041"));
        QVERIFY(!KeyGuard::isLocked(field("TxtKapal")));

        inst->exec("DROP TABLE tblparties");
        storeHeader(kStoredKey);
        screen->openManifest(kStoredKey);
        field<QPushButton>("CmdDetail")->click();
        fillPos("HBL1");
        QVERIFY(!savePos());
        QVERIFY(Messages::lastText().contains("tblparties"));
        QCOMPARE(count("SELECT count(*) FROM tbldetail"), 0);
    }
};

QTEST_MAIN(FrmHeaderTest)
#include "FrmHeaderTest.moc"
