#include "FrmUraianBarang.h"
#include "KeyGuard.h"
#include "PosLineFixture.h"
#include "Readiness.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTimer>

using namespace vastrel;
using namespace vastrel::test;

class GoodsScreenTest : public QObject, ScreenDriver<FrmUraianBarang> {
    Q_OBJECT

    void addGoods(const QString& noseq, const QString& hs, const QString& uraian) {
        f->exec("INSERT INTO tblhs(nodaftar,nopos,noseq,hs,uraian) VALUES (?,'0001',?,?,?)",
                {f->nodaftar(), noseq, hs, uraian});
    }
    QPlainTextEdit* description() { return field<QPlainTextEdit>("TxtKeterangan"); }
    QTableView* list() { return field<QTableView>("LvHs"); }
    QStringList stored() { return storedLines("tblhs", "noseq || ' ' || hs || ' ' || uraian"); }

private slots:
    void init() { start("Inward", "01"); }
    void cleanup() { finish(); }

    void opensOnTheNextLineAndSavesAPickedRowInPlace() {
        addGoods("0001", "0101", "LIVE HORSES");
        addGoods("0002", "0102", "CATTLE");
        open();
        QCOMPARE(screen->windowTitle(), QString("Barang"));
        QStringList keys;
        for (const char* key : {"TextTglDok", "TextNoDaftar", "TextPos", "TxtUrut"}) {
            QVERIFY(KeyGuard::isLocked(field(key)));
            keys << field(key)->text();
        }
        QCOMPARE(keys, (QStringList{"30-05-2007", "000001", "0001", "0003"}));
        QVERIFY(!field("TxtHs")->isEnabled() && !description()->isEnabled());
        QVERIFY(!field<QPushButton>("CmdSave")->isEnabled());
        QCOMPARE(rowTexts(list(), 1), (QStringList{"0002", "0102", "CATTLE"}));

        click("CmdNew");
        doubleClickRow(list(), 1);
        QCOMPARE(field("TxtUrut")->text(), QString("0002"));
        QCOMPARE(field("TxtHs")->text() + " " + description()->toPlainText(), "0102 CATTLE");
        description()->setPlainText("DAIRY CATTLE");
        click("CmdSave");
        QCOMPARE(stored(), (QStringList{"0001 0101 LIVE HORSES", "0002 0102 DAIRY CATTLE"}));
        QCOMPARE(field("TxtUrut")->text(), QString("0003"));
    }

    void checksStopTheSaveInOrder() {
        open();
        click("CmdNew");
        const struct {
            const char* hs;
            QString text;
            QString shown; // title: text
            const char* focus;
        } steps[] = {
            {"0101", "", "Information: Silahkan isi field Keterangan", "TxtKeterangan"},
            {"01\t01", "HORSES", "Invalid Character - Kode HS: Posisi 3 [\t]", "TxtHs"},
            {"", QString::fromUtf8("HORS\u00c9S\t"),
             QString::fromUtf8("Invalid Character - Keterangan: Posisi 5 [\u00c9], Posisi 7 [\t]"),
             "TxtKeterangan"},
        };
        for (const auto& step : steps) {
            field("TxtHs")->setText(step.hs);
            description()->setPlainText(step.text);
            Messages::takeLog(); // the warnings while typing
            click("CmdSave");
            QCOMPARE(shownBoxes(), QStringList{step.shown});
            QCOMPARE(QApplication::focusWidget(), field<QWidget>(step.focus));
        }
        QVERIFY(stored().isEmpty());

        description()->setPlainText("HORSES"); // an empty HS code is accepted
        click("CmdSave");
        QCOMPARE(stored(), QStringList{"0001  HORSES"});
    }

    void saveStoresTheTextAsTypedAndProposesTheNextLine() {
        open();
        QSignalSpy changed(screen.get(), &PosLineDialog::changed);
        click("CmdNew");
        QCOMPARE(field("TxtUrut")->text(), QString("0001"));
        typeInto(field("TxtHs"), "0101.10");
        description()->setPlainText("O'NEIL'S \"BEST\" HORSES");
        click("CmdSave");
        QCOMPARE(stored(), QStringList{"0001 0101.10 O'NEIL'S \"BEST\" HORSES"});
        QCOMPARE(columnTexts(list(), 0), QStringList{"0001"});
        QCOMPARE(field("TxtUrut")->text(), QString("0002"));
        QVERIFY(field("TxtHs")->text().isEmpty() && description()->toPlainText().isEmpty());
        QVERIFY(!field("TxtHs")->isEnabled() && !field<QPushButton>("CmdSave")->isEnabled());
        QCOMPARE(QApplication::focusWidget(), field<QWidget>("CmdNew"));
        QCOMPARE(changed.count(), 1);
        QVERIFY(Messages::takeLog().isEmpty());
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
        click("CmdSave");
        QCOMPARE(stored(), QStringList{"0001 0101.21.00 PURE-BRED HORSES"});
    }

    void deleteRemovesTheSelectedRowNotTheLineOnScreen() {
        addGoods("0001", "0101", "LIVE HORSES");
        addGoods("0002", "0102", "CATTLE");
        open();
        QSignalSpy changed(screen.get(), &PosLineDialog::changed);
        click("CmdDelete");
        QCOMPARE(shownTexts(), QStringList{"Silahkan pilih data yang akan dihapus"});

        clickRow(list(), 0);
        Messages::answerNext(false);
        click("CmdDelete");
        QCOMPARE(shownTexts(), QStringList{"Apakah Anda akan menghapus HS ini?"});
        QCOMPARE(stored().size(), 2);

        clickRow(list(), 0);
        click("CmdDelete");
        QCOMPARE(stored(), QStringList{"0002 0102 CATTLE"});
        QCOMPARE(list()->model()->rowCount(), 1);
        QCOMPARE(field("TxtUrut")->text(), QString("0003"));
        QCOMPARE(changed.count(), 1);
    }

    void aPlainRewriteKeepsTheCursorAndCanBeUndone() {
        open();
        click("CmdNew");
        description()->setPlainText("AB");
        QTextCursor cursor = description()->textCursor();
        cursor.setPosition(1);
        description()->setTextCursor(cursor);
        Messages::answerNext(true);
        description()->insertPlainText(QString::fromUtf8("\u00c6"));
        QCOMPARE(description()->textCursor().position(), 3);
        QTest::keyClicks(description(), "X");
        QCOMPARE(description()->toPlainText(), QString("AAEXB"));
        Messages::answerNext(false);
        description()->undo();
        description()->undo();
        QCOMPARE(description()->toPlainText(), QString::fromUtf8("A\u00c6B"));
    }

    void aPickedLineDeletedByThisClerkIsSavedAsNew() {
        addGoods("0001", "0101", "LIVE HORSES");
        open();
        click("CmdNew");
        doubleClickRow(list(), 0);
        clickRow(list(), 0);
        click("CmdDelete");
        click("CmdSave");
        QCOMPARE(shownTexts(), QStringList{"Apakah Anda akan menghapus HS ini?"});
        QCOMPARE(stored(), QStringList{"0001 0101 LIVE HORSES"});
    }

    void aRefusedOrFailedSaveKeepsTheLineOnScreen() {
        addGoods("0001", "0101", "LIVE HORSES");
        addGoods("9998", "0102", "CATTLE");
        open();
        click("CmdNew");
        QCOMPARE(field("TxtUrut")->text(), QString("0001")); // the numbering has wrapped
        description()->setPlainText("SHEEP");
        click("CmdSave");
        QCOMPARE(shownTexts(), QStringList{"No Urut 0001 sudah dipakai oleh data lain. Pilih data "
                                           "tersebut dari daftar untuk mengubahnya."});
        QCOMPARE(stored().first(), QString("0001 0101 LIVE HORSES"));

        // A picked line another clerk changed meanwhile is not saved over.
        doubleClickRow(list(), 0);
        description()->setPlainText("GOATS");
        f->exec("UPDATE tblhs SET uraian = 'PONIES' WHERE noseq = '0001'");
        click("CmdSave");
        QVERIFY(shownTexts().value(0).startsWith("Data telah diubah oleh user lain"));
        QCOMPARE(stored().first(), QString("0001 0101 PONIES"));
        QCOMPARE(description()->toPlainText(), QString("GOATS"));

        f->exec("DROP TABLE tblhs");
        click("CmdSave");
        const QStringList shown = shownTexts();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].contains("tblhs"));
        QCOMPARE(field("TxtUrut")->text() + " " + description()->toPlainText(), "0001 GOATS");
        QVERIFY(field<QPushButton>("CmdSave")->isEnabled());
        QCOMPARE(f->status(), QString("N"));
    }

    void theFirstLineOfTheLastEmptyPosMakesTheManifestReady() {
        addGoods("0001", "0101", "LIVE HORSES");
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
};

QTEST_MAIN(GoodsScreenTest)
#include "GoodsScreenTest.moc"
