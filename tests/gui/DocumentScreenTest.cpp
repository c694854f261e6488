#include "FrmPeb.h"
#include "GuiTestSupport.h"
#include "KeyGuard.h"
#include "PosLineFixture.h"
#include "Readiness.h"

#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>

using namespace vastrel;
using namespace vastrel::test;

class DocumentScreenTest : public QObject, ScreenDriver<FrmPeb> {
    Q_OBJECT

    QComboBox* kind() { return field<QComboBox>("CmbJenis"); }
    QTableView* list() { return field<QTableView>("LvPeb"); }
    // Types an office code and leaves the box, as the user does.
    void enterOffice(const QString& code) {
        field("TxtKPBCKd")->clear();
        typeInto(field("TxtKPBCKd"), code);
        field("TxtPEBNo")->setFocus();
    }
    QStringList storedDocuments() {
        return f->column("SELECT noseq || ' ' || jenispeb || ' ' || kpbc || ' ' || pebno || ' ' || "
                         "pebtgl FROM tblpeb WHERE nodaftar = ? ORDER BY noseq",
                         {f->nodaftar()});
    }

private slots:
    void init() { start("Outward", "09E", {"0001"}); }
    void cleanup() { finish(); }

    void opensWithTheOfferedKindsAndNewFocusesTheLookup() {
        open();
        QCOMPARE(screen->windowTitle(), QString("Dokumen"));
        QCOMPARE(kind()->count(), 3);
        QCOMPARE(kind()->currentText(), QString("PEB (BC3.0)"));
        QCOMPARE(kind()->itemText(2), QString("SAD (Single Administratif Document)"));
        QVERIFY(!field<QPushButton>("CmdKpbc")->isEnabled() && !field("TxtPEBTgl")->isEnabled());
        click("CmdNew");
        QCOMPARE(QApplication::focusWidget(), field<QPushButton>("CmdKpbc"));
        QVERIFY(field("TxtPEBNo")->isEnabled());
        QVERIFY(KeyGuard::isLocked(field("TxtKPBCNm")));
    }

    void leavingTheOfficeCodeShowsItsName() {
        open();
        click("CmdNew");
        enterOffice("040300");
        QCOMPARE(field("TxtKPBCNm")->text(), QString("KPU TANJUNG PRIOK"));
        enterOffice("XXXX");
        QCOMPARE(texts(Messages::takeLog()), QStringList{"Kode KPBC tidak valid"});
        QVERIFY(field("TxtKPBCNm")->text().isEmpty());
        enterOffice("");
        QCOMPARE(texts(Messages::takeLog()), QStringList{"Kode KPBC tidak valid"});
    }

    void checksStopTheSaveInOrder_data() {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("office");
        QTest::addColumn<QString>("officeName");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("numberShown");
        QTest::newRow("letters in the number") << "12A"
                                               << "040300"
                                               << "KPU"
                                               << "30-05-2007"
                                               << "No Dokumen tidak valid"
                                               << "12A";
        QTest::newRow("no number") << ""
                                   << "040300"
                                   << "KPU"
                                   << "30-05-2007"
                                   << "No Dokumen tidak valid"
                                   << "";
        QTest::newRow("unknown office") << "123"
                                        << "XXXX"
                                        << "KPU"
                                        << "30-05-2007"
                                        << "Kode KPBC tidak valid"
                                        << "000123";
        QTest::newRow("no office name") << "123"
                                        << "040300"
                                        << ""
                                        << "30-05-2007"
                                        << "Silahkan Anda isi nama KPBC"
                                        << "000123";
        QTest::newRow("no such date") << "123"
                                      << "040300"
                                      << "KPU"
                                      << "31-02-2007"
                                      << "Tanggal PEB tidak valid"
                                      << "000123";
    }
    void checksStopTheSaveInOrder() {
        QFETCH(QString, number);
        QFETCH(QString, office);
        QFETCH(QString, officeName);
        QFETCH(QString, date);
        QFETCH(QString, message);
        QFETCH(QString, numberShown);
        open();
        click("CmdNew");
        field("TxtPEBNo")->setText(number);
        field("TxtKPBCKd")->setText(office);
        field("TxtKPBCNm")->setText(officeName);
        field("TxtPEBTgl")->setText(date);
        click("CmdSave");
        const QList<Messages::Record> log = Messages::takeLog();
        QCOMPARE(texts(log), QStringList{message});
        QVERIFY(log[0].icon == (message == "No Dokumen tidak valid" ? Messages::Icon::Information
                                                                    : Messages::Icon::Exclamation));
        QCOMPARE(field("TxtPEBNo")->text(), numberShown);
        QVERIFY(storedDocuments().isEmpty());
    }

    void storesTheKindCodeTheOfficeInCapitalsAndASixDigitNumber() {
        open();
        QSignalSpy changed(screen.get(), &PosLineDialog::changed);
        click("CmdNew");
        kind()->setCurrentIndex(2);
        field("TxtKPBCKd")->setText("abc123"); // pasted, so not capitalised while typing
        field("TxtKPBCKd")->setFocus();
        field("TxtPEBNo")->setFocus();
        typeInto(field("TxtPEBNo"), "123");
        typeInto(field("TxtPEBTgl"), "300507");
        click("CmdSave");
        QCOMPARE(storedDocuments(), QStringList{"0001 SAD ABC123 000123 2007-05-30"});
        const QStringList shown = {cell(list(), 0, 0), cell(list(), 0, 1), cell(list(), 0, 2),
                                   cell(list(), 0, 3), cell(list(), 0, 4), cell(list(), 0, 5)};
        QCOMPARE(shown,
                 (QStringList{"0001", "SAD", "ABC123", "KPPBC CONTOH", "000123", "30-05-2007"}));
        QCOMPARE(field("TxtUrut")->text(), QString("0002"));
        QVERIFY(field("TxtKPBCKd")->text().isEmpty() && !field("TxtKPBCKd")->isEnabled());
        QVERIFY(!field<QPushButton>("CmdSave")->isEnabled());
        QCOMPARE(changed.count(), 1);
        QVERIFY(Messages::takeLog().isEmpty());
    }

    void aStoredConsolidationDocumentIsShownAndKept() {
        f->exec("INSERT INTO tblpeb(nodaftar,nopos,noseq,jenispeb,kpbc,pebno,pebtgl) "
                "VALUES (?,'0001','0001','PKB','040300','000777','2007-05-01')",
                {f->nodaftar()});
        open();
        doubleClickRow(list(), 0);
        QCOMPARE(kind()->currentText(), QString("PKB (PKBE - Konsolidasi)"));
        QCOMPARE(field("TxtKPBCNm")->text(), QString("KPU TANJUNG PRIOK"));
        QCOMPARE(field("TxtPEBTgl")->text(), QString("01-05-2007"));
        QVERIFY(field<QPushButton>("CmdNew")->isEnabled());
        QVERIFY(field<QPushButton>("CmdSave")->isEnabled());
        field("TxtPEBNo")->setText("778");
        click("CmdSave");
        QCOMPARE(storedDocuments(), QStringList{"0001 PKB 040300 000778 2007-05-01"});
        QCOMPARE(cell(list(), 0, 4), QString("000778"));
    }

    void theDocumentOfTheLastPosMakesTheManifestReady() {
        f->exec("UPDATE tbldetail SET satuankemasan = 'PK'");
        f->exec("INSERT INTO tblhs(nodaftar,nopos,noseq,hs,uraian) VALUES (?,'0001','0001','','X')",
                {f->nodaftar()});
        UpdateStatus(f->state.Conn, f->nodaftar());
        QCOMPARE(f->status(), QString("N"));
        open();
        click("CmdNew");
        enterOffice("040300");
        typeInto(field("TxtPEBNo"), "1");
        typeInto(field("TxtPEBTgl"), "30-05-2007");
        click("CmdSave");
        QCOMPARE(f->status(), QString("Y"));
        clickRow(list(), 0);
        click("CmdDelete");
        QCOMPARE(texts(Messages::takeLog()), QStringList{"Apakah Anda akan menghapus Peb ini?"});
        QVERIFY(storedDocuments().isEmpty());
        QCOMPARE(f->status(), QString("N"));
    }
};

QTEST_MAIN(DocumentScreenTest)
#include "DocumentScreenTest.moc"
