#include "FrmPeb.h"
#include "PosLineFixture.h"
#include "Readiness.h"

#include <QApplication>
#include <QComboBox>
#include <QSignalSpy>

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
    QStringList stored() {
        return storedLines("tblpeb", "noseq || ' ' || jenispeb || ' ' || kpbc || ' ' || pebno || "
                                     "' ' || pebtgl");
    }

private slots:
    void init() { start("Outward", "09E", {"0001"}); }
    void cleanup() { finish(); }

    void leavingTheOfficeCodeShowsItsName() {
        open();
        click("CmdNew");
        enterOffice("040300");
        QCOMPARE(field("TxtKPBCNm")->text(), QString("KPU TANJUNG PRIOK"));
        enterOffice("XXXX");
        QCOMPARE(shownTexts(), QStringList{"Kode KPBC tidak valid"});
        QVERIFY(field("TxtKPBCNm")->text().isEmpty());
        enterOffice("");
        QCOMPARE(shownTexts(), QStringList{"Kode KPBC tidak valid"});
    }

    void checksStopTheSaveInOrder() {
        const struct {
            QStringList settings; // box, text, box, text...
            QString message;
            const char* numberShown;
        } steps[] = {
            {{"TxtPEBNo", "12A", "TxtKPBCKd", "XXXX", "TxtPEBTgl", "31-02-2007"},
             "No Dokumen tidak valid",
             "12A"},
            {{"TxtPEBNo", ""}, "No Dokumen tidak valid", ""},
            {{"TxtPEBNo", "123"}, "Kode KPBC tidak valid", "000123"},
            {{"TxtKPBCKd", "040300"}, "Silahkan Anda isi nama KPBC", "000123"},
            {{"TxtKPBCNm", "KPU"}, "Tanggal PEB tidak valid", "000123"},
        };
        open();
        click("CmdNew");
        for (const auto& [settings, message, numberShown] : steps) {
            for (int i = 0; i + 1 < settings.size(); i += 2)
                field(settings[i])->setText(settings[i + 1]);
            click("CmdSave");
            const QList<Messages::Record> log = Messages::takeLog();
            QCOMPARE(textsOf(log), QStringList{message});
            QVERIFY(log[0].icon == (message == "No Dokumen tidak valid"
                                        ? Messages::Icon::Information
                                        : Messages::Icon::Exclamation));
            QCOMPARE(field("TxtPEBNo")->text(), QString(numberShown));
        }
        QVERIFY(stored().isEmpty());
    }

    void storesTheKindCodeTheOfficeInCapitalsAndASixDigitNumber() {
        open();
        QSignalSpy changed(screen.get(), &PosLineDialog::changed);
        QCOMPARE(screen->windowTitle(), QString("Dokumen"));
        click("CmdNew");
        QCOMPARE(QApplication::focusWidget(), field<QPushButton>("CmdKpbc"));
        QCOMPARE(kind()->count(), 3);
        kind()->setCurrentIndex(2);
        QCOMPARE(kind()->currentText(), QString("SAD (Single Administratif Document)"));
        field("TxtKPBCKd")->setText("abc123"); // pasted, so not capitalised while typing
        field("TxtKPBCKd")->setFocus();
        field("TxtPEBNo")->setFocus();
        typeInto(field("TxtPEBNo"), "123");
        typeInto(field("TxtPEBTgl"), "300507");
        click("CmdSave");
        QCOMPARE(stored(), QStringList{"0001 SAD ABC123 000123 2007-05-30"});
        QCOMPARE(rowTexts(list(), 0),
                 (QStringList{"0001", "SAD", "ABC123", "KPPBC CONTOH", "000123", "30-05-2007"}));
        QCOMPARE(field("TxtUrut")->text(), QString("0002"));
        QVERIFY(field("TxtKPBCKd")->text().isEmpty() && !field("TxtKPBCKd")->isEnabled());
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
        field("TxtPEBNo")->setText("778");
        click("CmdSave");
        QCOMPARE(stored(), QStringList{"0001 PKB 040300 000778 2007-05-01"});
        QCOMPARE(columnTexts(list(), 4), QStringList{"000778"});
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
        QCOMPARE(stored(), QStringList{"0001 PEB 040300 000001 2007-05-30"}); // the first kind
        QCOMPARE(f->status(), QString("Y"));
        clickRow(list(), 0);
        click("CmdDelete");
        QCOMPARE(shownTexts(), QStringList{"Apakah Anda akan menghapus Peb ini?"});
        QVERIFY(stored().isEmpty());
        QCOMPARE(f->status(), QString("N"));
    }
};

QTEST_MAIN(DocumentScreenTest)
#include "DocumentScreenTest.moc"
