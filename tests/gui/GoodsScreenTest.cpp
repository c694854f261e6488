#include "FrmUraianBarang.h"
#include "GuiTestSupport.h"
#include "KeyGuard.h"
#include "PosLineFixture.h"
#include "Readiness.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTimer>

using namespace vastrel;
using namespace vastrel::test;

class GoodsScreenTest : public QObject, ScreenDriver<FrmUraianBarang> {
    Q_OBJECT

    void addGoods(const QString& nopos, const QString& noseq, const QString& hs,
                  const QString& uraian) {
        f->exec("INSERT INTO tblhs(nodaftar,nopos,noseq,hs,uraian) VALUES (?,?,?,?,?)",
                {f->nodaftar(), nopos, noseq, hs, uraian});
    }
    QPlainTextEdit* description() { return field<QPlainTextEdit>("TxtKeterangan"); }
    QTableView* list() { return field<QTableView>("LvHs"); }
    QStringList storedLines(const QString& nopos = "0001") {
        return f->column("SELECT noseq || ' ' || hs || ' ' || uraian FROM tblhs "
                         "WHERE nodaftar = ? AND nopos = ? ORDER BY noseq",
                         {f->nodaftar(), nopos});
    }

private slots:
    void init() { start("Inward", "01"); }
    void cleanup() { finish(); }

    void opensOnTheNextLineWithTheFieldsDisabled() {
        addGoods("0001", "0001", "0101", "LIVE HORSES");
        addGoods("0001", "0002", "0102", "CATTLE");
        open();
        QCOMPARE(screen->windowTitle(), QString("Barang"));
        QCOMPARE(field("TextTglDok")->text(), QString("30-05-2007"));
        QCOMPARE(field("TextNoDaftar")->text(), QString("000001"));
        QCOMPARE(field("TextPos")->text(), QString("0001"));
        QCOMPARE(field("TxtUrut")->text(), QString("0003"));
        for (const char* key : {"TextTglDok", "TextNoDaftar", "TextPos", "TxtUrut"})
            QVERIFY(KeyGuard::isLocked(field(key)));
        QVERIFY(!field("TxtHs")->isEnabled());
        QVERIFY(!description()->isEnabled());
        QVERIFY(field<QPushButton>("CmdNew")->isEnabled());
        QVERIFY(!field<QPushButton>("CmdSave")->isEnabled());
        QCOMPARE(list()->model()->rowCount(), 2);
        QCOMPARE(cell(list(), 1, 0), QString("0002"));
        QCOMPARE(cell(list(), 1, 2), QString("CATTLE"));
    }

    void checksStopTheSaveInOrder() {
        open();
        click("CmdNew");
        field("TxtHs")->setText("0101");
        click("CmdSave");
        QCOMPARE(texts(Messages::takeLog()), QStringList{"Silahkan isi field Keterangan"});
        QCOMPARE(QApplication::focusWidget(), description());

        field("TxtHs")->setText("01\t01");
        description()->setPlainText("HORSES");
        Messages::takeLog(); // the warning while typing
        click("CmdSave");
        QList<Messages::Record> log = Messages::takeLog();
        QCOMPARE(log.size(), 1);
        QCOMPARE(log[0].title, QString("Invalid Character - Kode HS"));

        field("TxtHs")->clear();
        description()->setPlainText(QString::fromUtf8("HORS\u00c9S"));
        Messages::takeLog();
        click("CmdSave");
        log = Messages::takeLog();
        QCOMPARE(log.size(), 1);
        QCOMPARE(log[0].title, QString("Invalid Character - Keterangan"));
        QVERIFY(storedLines().isEmpty());

        description()->setPlainText("HORSES"); // an empty HS code is accepted
        click("CmdSave");
        QCOMPARE(storedLines(), QStringList{"0001  HORSES"});
    }

    void saveStoresTheTextAsTypedAndProposesTheNextLine() {
        open();
        QSignalSpy changed(screen.get(), &PosLineDialog::changed);
        click("CmdNew");
        QCOMPARE(field("TxtUrut")->text(), QString("0001"));
        QVERIFY(field("TxtHs")->isEnabled());
        QVERIFY(!field<QPushButton>("CmdNew")->isEnabled());
        typeInto(field("TxtHs"), "0101.10");
        description()->setPlainText("O'NEIL'S \"BEST\" HORSES");
        click("CmdSave");
        QCOMPARE(storedLines(), QStringList{"0001 0101.10 O'NEIL'S \"BEST\" HORSES"});
        QCOMPARE(cell(list(), 0, 0), QString("0001"));
        QCOMPARE(field("TxtUrut")->text(), QString("0002"));
        QVERIFY(field("TxtHs")->text().isEmpty() && description()->toPlainText().isEmpty());
        QVERIFY(!field("TxtHs")->isEnabled());
        QVERIFY(field<QPushButton>("CmdNew")->isEnabled());
        QVERIFY(!field<QPushButton>("CmdSave")->isEnabled());
        QCOMPARE(changed.count(), 1);
        QVERIFY(Messages::takeLog().isEmpty());
    }

    void savingAPickedRowUpdatesIt() {
        addGoods("0001", "0001", "0101", "LIVE HORSES");
        addGoods("0001", "0002", "0102", "CATTLE");
        open();
        click("CmdNew");
        doubleClickRow(list(), 1);
        QCOMPARE(field("TxtUrut")->text(), QString("0002"));
        QCOMPARE(field("TxtHs")->text(), QString("0102"));
        QCOMPARE(description()->toPlainText(), QString("CATTLE"));
        description()->setPlainText("DAIRY CATTLE");
        click("CmdSave");
        QCOMPARE(storedLines(), (QStringList{"0001 0101 LIVE HORSES", "0002 0102 DAIRY CATTLE"}));
        QCOMPARE(field("TxtUrut")->text(), QString("0003"));
    }

    void aLookupPickIsSavedUnderTheLineOnScreen() {
        f->exec("INSERT INTO tbl_hs(hs,description) VALUES ('0101.21.00','PURE-BRED HORSES')");
        open();
        QTimer::singleShot(0, [] {
            QWidget* lookup = QApplication::activeModalWidget();
            QVERIFY(lookup && QTest::qWaitForWindowExposed(lookup));
            doubleClickRow(child<QTableView>(lookup, "LvFind"), 0);
        });
        click("CmdFind");
        QCOMPARE(field("TxtHs")->text(), QString("0101.21.00"));
        QCOMPARE(description()->toPlainText(), QString("PURE-BRED HORSES"));
        QVERIFY(field<QPushButton>("CmdSave")->isEnabled());
        click("CmdSave");
        QCOMPARE(storedLines(), QStringList{"0001 0101.21.00 PURE-BRED HORSES"});
    }

    void deleteRemovesTheSelectedRowNotTheLineOnScreen() {
        addGoods("0001", "0001", "0101", "LIVE HORSES");
        addGoods("0001", "0002", "0102", "CATTLE");
        open();
        QSignalSpy changed(screen.get(), &PosLineDialog::changed);
        click("CmdDelete");
        QCOMPARE(texts(Messages::takeLog()), QStringList{"Silahkan pilih data yang akan dihapus"});

        clickRow(list(), 0);
        Messages::answerNext(false);
        click("CmdDelete");
        QCOMPARE(texts(Messages::takeLog()), QStringList{"Apakah Anda akan menghapus HS ini?"});
        QCOMPARE(storedLines().size(), 2);

        clickRow(list(), 0);
        click("CmdDelete");
        QCOMPARE(storedLines(), QStringList{"0002 0102 CATTLE"});
        QCOMPARE(list()->model()->rowCount(), 1);
        QCOMPARE(field("TxtUrut")->text(), QString("0003"));
        QCOMPARE(changed.count(), 1);
    }

    void aWrappedLineNumberNeverOverwritesAStoredLine() {
        addGoods("0001", "0001", "0101", "LIVE HORSES");
        addGoods("0001", "9998", "0102", "CATTLE");
        open();
        click("CmdNew");
        QCOMPARE(field("TxtUrut")->text(), QString("0001"));
        description()->setPlainText("SHEEP");
        click("CmdSave");
        const QStringList log = texts(Messages::takeLog());
        QCOMPARE(log.size(), 1);
        QVERIFY(log[0].contains("0001"));
        QCOMPARE(storedLines().first(), QString("0001 0101 LIVE HORSES"));
        QVERIFY(field<QPushButton>("CmdSave")->isEnabled());
        QCOMPARE(description()->toPlainText(), QString("SHEEP"));
    }

    void theFirstLineOfTheLastEmptyPosMakesTheManifestReady() {
        addGoods("0001", "0001", "0101", "LIVE HORSES");
        UpdateStatus(f->state.Conn, f->nodaftar());
        QCOMPARE(f->status(), QString("N"));
        open("0002");
        click("CmdNew");
        description()->setPlainText("CATTLE");
        click("CmdSave");
        QCOMPARE(f->status(), QString("Y"));
        clickRow(list(), 0);
        click("CmdDelete");
        QCOMPARE(f->status(), QString("N"));
    }

    void aFailedStatementLeavesTheScreenAsItWas() {
        open();
        click("CmdNew");
        description()->setPlainText("HORSES");
        f->exec("DROP TABLE tblhs");
        click("CmdSave");
        const QStringList log = texts(Messages::takeLog());
        QCOMPARE(log.size(), 1);
        QVERIFY(log[0].contains("tblhs"));
        QCOMPARE(description()->toPlainText(), QString("HORSES"));
        QCOMPARE(field("TxtUrut")->text(), QString("0001"));
        QVERIFY(field<QPushButton>("CmdSave")->isEnabled());
        QCOMPARE(f->status(), QString("N"));
    }
};

QTEST_MAIN(GoodsScreenTest)
#include "GoodsScreenTest.moc"
