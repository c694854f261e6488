#include "FrmKontainer.h"
#include "PosLineFixture.h"

#include <QComboBox>
#include <QSignalSpy>

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
    QStringList stored() {
        return storedLines("tblcontainer",
                           "noseq || ' ' || nocountener || ' ' || ukuran || ' ' || tipe || "
                           "' ' || seal");
    }

private slots:
    void init() { start("Inward", "01"); }
    void cleanup() { finish(); }

    void checksStopTheSaveInOrder() {
        const QString checkDigit = "Infomration: Invalid No Kontainer";
        const struct {
            const char* number;
            int sizeIndex;
            const char* seal;
            int saved; // lines stored so far
            QStringList shown;
        } cases[] = {
            {"", -1, "", 0, {checkDigit, "Information: Silahkan isi no Kontainer"}},
            {"ABCU1234560", -1, "S1", 0, {"Information: Silahkan Anda isi Ukuran"}},
            {"ABCU1234560", 0, "", 0, {"Information: Silahkan isi seal number"}},
            {"ABCU1234560\t",
             0,
             "S1",
             0,
             {checkDigit, "Invalid Character - No Kontainer: Posisi 12 [\t]"}},
            {"ABCU1234560", 0, "S\t1", 0, {"Invalid Character - Seal: Posisi 2 [\t]"}},
            {"ABCU1234561", 1, "S1", 1, {checkDigit}}, // a wrong check digit is only warned of
            {"TGHU8765436", 2, "S1", 2, {}},
        };
        open();
        for (const auto& c : cases) {
            click("CmdNew");
            field("TxtNoCountainer1")->setText(c.number);
            size()->setCurrentIndex(c.sizeIndex);
            field("txtseal")->setText(c.seal);
            click("CmdSave");
            QCOMPARE(shownBoxes(), c.shown);
            QCOMPARE(stored().size(), c.saved);
        }
    }

    void storesTheTypeCodeAndTheSealAsTyped() {
        f->exec("UPDATE tblheader SET status = 'Y'");
        open();
        QCOMPARE(screen->windowTitle(), QString("Kontainer"));
        QCOMPARE(size()->currentText() + " " + type()->currentText(), "20 FCL");
        QCOMPARE(type()->count(), 3);
        QCOMPARE(field("TxtUrut")->text(), QString("0001"));
        QVERIFY(!size()->isEnabled() && !field("txtseal")->isEnabled());
        QVERIFY(!field<QPushButton>("CmdSave")->isEnabled());

        QSignalSpy changed(screen.get(), &PosLineDialog::changed);
        click("CmdNew");
        QVERIFY(size()->currentText().isEmpty());
        typeInto(field("TxtNoCountainer1"), "abcu1234560");
        size()->setCurrentIndex(1);
        type()->setCurrentIndex(2);
        QCOMPARE(type()->currentText(), QString("Empty Container"));
        field("txtseal")->setText("S'1 \"X\"");
        click("CmdSave");
        QCOMPARE(stored(), QStringList{"0001 ABCU1234560 40 E S'1 \"X\""});
        QCOMPARE(columnTexts(list(), 3), QStringList{"E"});
        QCOMPARE(field("TxtUrut")->text(), QString("0002"));
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
        QCOMPARE(size()->currentText() + " " + type()->currentText(), "20 FCL");
        field("txtseal")->setText("S9");
        click("CmdSave");
        QCOMPARE(stored(), (QStringList{"0001 ABCU1234560 20 F S9", "0002 TGHU8765436 4 L SEAL"}));

        // A stored size outside the list is shown and refused until corrected.
        click("CmdNew");
        doubleClickRow(list(), 1);
        QCOMPARE(size()->currentText() + " " + type()->currentText(), "4 LCL");
        click("CmdSave");
        QCOMPARE(shownTexts(), QStringList{"Kolom ukuran tidak valid"});
        size()->setCurrentText("40");
        click("CmdSave");
        QCOMPARE(stored().last(), QString("0002 TGHU8765436 40 L SEAL"));
        QCOMPARE(size()->count(), 3);
    }

    void deleteRemovesTheSelectedRow() {
        addContainer("0001", "ABCU1234560", "20", "F");
        addContainer("0002", "TGHU8765436", "40", "L");
        open();
        click("CmdDelete");
        QCOMPARE(shownTexts(), QStringList{"Silahkan pilih data yang akan dihapus"});
        clickRow(list(), 1);
        click("CmdDelete");
        QCOMPARE(shownTexts(), QStringList{"Apakah Anda akan menghapus Kontainer ini?"});
        QCOMPARE(stored(), QStringList{"0001 ABCU1234560 20 F SEAL"});
        QCOMPARE(field("TxtUrut")->text(), QString("0003"));
    }
};

QTEST_MAIN(ContainerScreenTest)
#include "ContainerScreenTest.moc"
