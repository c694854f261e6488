#include "FrmKontainer.h"
#include "GuiTestSupport.h"
#include "PosLineFixture.h"

#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>

using namespace vastrel;
using namespace vastrel::test;

class ContainerScreenTest : public QObject, ScreenDriver<FrmKontainer> {
    Q_OBJECT

    void addContainer(const QString& noseq, const QString& number, const QString& size,
                      const QString& type) {
        f->exec("INSERT INTO tblcontainer(nodaftar,nopos,noseq,nocountener,ukuran,tipe,seal) "
                "VALUES (?,'0001',?,?,?,?,'SEAL')",
                {f->nodaftar(), noseq, number, size, type});
    }
    QComboBox* size() { return field<QComboBox>("CmbUkuran"); }
    QComboBox* type() { return field<QComboBox>("CmbTipe"); }
    QTableView* list() { return field<QTableView>("LvKontainer"); }
    QStringList storedContainers() {
        return f->column("SELECT noseq || ' ' || nocountener || ' ' || ukuran || ' ' || tipe || "
                         "' ' || seal FROM tblcontainer WHERE nodaftar = ? ORDER BY noseq",
                         {f->nodaftar()});
    }

private slots:
    void init() { start("Inward", "01"); }
    void cleanup() { finish(); }

    void opensWithTheListedSizesAndTypes() {
        open();
        QCOMPARE(screen->windowTitle(), QString("Kontainer"));
        QCOMPARE(size()->currentText(), QString("20"));
        QCOMPARE(type()->currentText(), QString("FCL"));
        QCOMPARE(type()->count(), 3);
        QCOMPARE(type()->itemText(2), QString("Empty Container"));
        QCOMPARE(field("TxtUrut")->text(), QString("0001"));
        QVERIFY(!size()->isEnabled() && !field("txtseal")->isEnabled());
        QVERIFY(!field<QPushButton>("CmdSave")->isEnabled());
    }

    void checksStopTheSaveInOrder_data() {
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("sizeIndex");
        QTest::addColumn<QString>("seal");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("saved");
        QTest::newRow("everything empty")
            << "" << -1 << "" << QStringList{"Invalid No Kontainer", "Silahkan isi no Kontainer"}
            << false;
        QTest::newRow("no size") << "ABCU1234560" << -1 << "S1"
                                 << QStringList{"Silahkan Anda isi Ukuran"} << false;
        QTest::newRow("no seal") << "ABCU1234560" << 0 << ""
                                 << QStringList{"Silahkan isi seal number"} << false;
        QTest::newRow("wrong check digit, only warned")
            << "ABCU1234561" << 1 << "S1" << QStringList{"Invalid No Kontainer"} << true;
        QTest::newRow("valid") << "TGHU8765436" << 2 << "S1" << QStringList{} << true;
    }
    void checksStopTheSaveInOrder() {
        QFETCH(QString, number);
        QFETCH(int, sizeIndex);
        QFETCH(QString, seal);
        QFETCH(QStringList, messages);
        QFETCH(bool, saved);
        open();
        click("CmdNew");
        field("TxtNoCountainer1")->setText(number);
        size()->setCurrentIndex(sizeIndex);
        field("txtseal")->setText(seal);
        click("CmdSave");
        const QList<Messages::Record> log = Messages::takeLog();
        QCOMPARE(texts(log), messages);
        for (const Messages::Record& record : log)
            QCOMPARE(record.title, QString(record.text == "Invalid No Kontainer" ? "Infomration"
                                                                                 : "Information"));
        QCOMPARE(storedContainers().size(), saved ? 1 : 0);
    }

    void storesTheTypeCodeAndTheSealAsTyped() {
        f->exec("UPDATE tblheader SET status = 'Y'");
        open();
        QSignalSpy changed(screen.get(), &PosLineDialog::changed);
        click("CmdNew");
        QVERIFY(size()->currentText().isEmpty());
        typeInto(field("TxtNoCountainer1"), "abcu1234560");
        size()->setCurrentIndex(1);
        type()->setCurrentIndex(2);
        field("txtseal")->setText("S'1 \"X\"");
        click("CmdSave");
        QCOMPARE(storedContainers(), QStringList{"0001 ABCU1234560 40 E S'1 \"X\""});
        QCOMPARE(cell(list(), 0, 3), QString("E"));
        QCOMPARE(field("TxtUrut")->text(), QString("0002"));
        QCOMPARE(type()->currentText(), QString("Empty Container"));
        QVERIFY(field("TxtNoCountainer1")->text().isEmpty() && size()->currentText().isEmpty());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(f->status(), QString("Y")); // containers leave the readiness alone
    }

    void savingAPickedRowUpdatesIt() {
        addContainer("0001", "ABCU1234560", "20", "F");
        addContainer("0002", "TGHU8765436", "4", "L");
        open();
        click("CmdNew");
        doubleClickRow(list(), 0);
        QCOMPARE(field("TxtUrut")->text(), QString("0001"));
        QCOMPARE(size()->currentText(), QString("20"));
        QCOMPARE(type()->currentText(), QString("FCL"));
        field("txtseal")->setText("S9");
        click("CmdSave");
        QCOMPARE(storedContainers(),
                 (QStringList{"0001 ABCU1234560 20 F S9", "0002 TGHU8765436 4 L SEAL"}));

        // A stored size outside the list is shown and refused until corrected.
        click("CmdNew");
        doubleClickRow(list(), 1);
        QCOMPARE(size()->currentText(), QString("4"));
        QCOMPARE(type()->currentText(), QString("LCL"));
        click("CmdSave");
        QCOMPARE(texts(Messages::takeLog()), QStringList{"Kolom ukuran tidak valid"});
        size()->setCurrentText("40");
        click("CmdSave");
        QCOMPARE(storedContainers().last(), QString("0002 TGHU8765436 40 L SEAL"));
        QCOMPARE(size()->count(), 3);
    }

    void deleteRemovesTheSelectedRow() {
        open();
        click("CmdDelete");
        QCOMPARE(texts(Messages::takeLog()), QStringList{"Silahkan pilih data yang akan dihapus"});
        addContainer("0001", "ABCU1234560", "20", "F");
        addContainer("0002", "TGHU8765436", "40", "L");
        screen.reset();
        open();
        clickRow(list(), 1);
        click("CmdDelete");
        QCOMPARE(texts(Messages::takeLog()),
                 QStringList{"Apakah Anda akan menghapus Kontainer ini?"});
        QCOMPARE(storedContainers(), QStringList{"0001 ABCU1234560 20 F SEAL"});
        QCOMPARE(field("TxtUrut")->text(), QString("0003"));
    }
};

QTEST_MAIN(ContainerScreenTest)
#include "ContainerScreenTest.moc"
