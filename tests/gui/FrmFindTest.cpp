#include "FrmFind.h"
#include "GuiTestSupport.h"
#include "ReferenceTestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>

using namespace vastrel;
using namespace vastrel::test;

namespace {

void seed(TestInstallation& db) {
    db.exec("INSERT INTO tbl_hs VALUES ('0901', 'KOPI BUBUK'), ('0902', 'TEH HITAM'), "
            "('1006', 'BERAS')");
    db.exec("INSERT INTO tblpelabuhan VALUES ('SGSIN', 'SINGAPORE'), ('IDJKT', 'JAKARTA')");
    db.exec("INSERT INTO tblkemasan VALUES ('PK', 'PACKAGE'), ('CT', 'CARTON')");
    db.exec("INSERT INTO tblkapal(nmkapal) VALUES ('MERATUS'), ('EVER GIVEN'), (NULL)");
    db.exec("INSERT INTO tblkpbc VALUES ('000000', 'PUSAT'), ('040000', 'KANWIL JAKARTA'), "
            "('040300', 'TANJUNG PRIOK'), ('050100', 'SOEKARNO HATTA')");
    db.exec("INSERT INTO tblparties(NamaParties, AlmtParties, KodeParties) VALUES "
            "('ACME', 'JL. SATU\nJAKARTA', '1'), ('O''NEIL TRADING', 'DUBLIN', '1'), "
            "('BUYER LTD', 'SURABAYA', '2'), ('NOTIFY CO', 'MEDAN', '3'), "
            "('OLD BUYER', 'BANDUNG', '2')");
}

// The screen that opens the lookup: every box a double-click may fill, and a
// lookup button inside a nested panel.
class CallerWindow : public QWidget {
public:
    CallerWindow() {
        setObjectName("FrmHeader");
        auto* layout = new QVBoxLayout(this);
        for (const char* name :
             {"TxtKapal", "TxtAsal", "TextAsalNm", "TxtMuat", "TextMuatNm", "TxtBongkar",
              "TextBongkarNm", "TxtAkhir", "TextAkhirNm", "TextSatuanKemasan", "TextUraian",
              "TxtHs", "TxtKPBCKd", "TxtKPBCNm"}) {
            auto* box = new QLineEdit(this);
            box->setObjectName(name);
            connect(box, &QLineEdit::textEdited, this, [this, name] { edited << name; });
            layout->addWidget(box);
        }
        for (const char* name :
             {"TxtShipperNm", "TxtShipperAddr", "TxtConsigneeNm", "TxtConsigneeAddr", "TxtNotifyNm",
              "TxtNotifyAddr", "TxtKeterangan"}) {
            auto* box = new QPlainTextEdit(this);
            box->setObjectName(name);
            layout->addWidget(box);
        }
        auto* panel = new QWidget(this);
        button = new QPushButton("...", panel);
        layout->addWidget(panel);
    }

    // Every non-empty box as "name=text".
    QStringList filled() const {
        QStringList result;
        for (const QWidget* box : findChildren<QWidget*>()) {
            QString text;
            if (auto* line = qobject_cast<const QLineEdit*>(box))
                text = line->text();
            else if (auto* plain = qobject_cast<const QPlainTextEdit*>(box))
                text = plain->toPlainText();
            if (!text.isEmpty())
                result << box->objectName() + "=" + text;
        }
        result.sort();
        return result;
    }

    QPushButton* button = nullptr;
    QStringList edited;
};

// Opens the lookup through ShowFind and acts on it while it is open; true
// when the action closed it (ShowFind returned on its own).
bool runLookup(AppState& state, QWidget* caller, const QString& module, bool copy,
               const std::function<void(FrmFind*)>& act) {
    bool closedByAction = true;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<FrmFind*>(QApplication::activeModalWidget());
        if (!dialog)
            qFatal("the lookup dialog is not open");
        act(dialog);
        if (dialog->isVisible()) {
            closedByAction = false;
            dialog->reject();
        }
    });
    ShowFind(state, caller, module, copy);
    return closedByAction;
}

QTableView* listOf(QWidget* dialog) {
    return child<QTableView>(dialog, "LvFind");
}

} // namespace

class FrmFindTest : public QObject {
    Q_OBJECT

private slots:
    void captionsFollowModuleAndKind_data() {
        QTest::addColumn<QString>("module");
        QTest::addColumn<bool>("air");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("columns");
        QTest::newRow("port sea") << "pelabuhanasal" << false << "Pelabuhan"
                                  << QStringList{"Kode", "Nama Pelabuhan"};
        QTest::newRow("port air") << "pelabuhanakhircon" << true << "Airport"
                                  << QStringList{"Kode", "Nama Airport"};
        QTest::newRow("vessel sea") << "kapal" << false << "Kapal" << QStringList{"Nama Kapal"};
        QTest::newRow("vessel air")
            << "KAPAL" << true << "Airlines" << QStringList{"Nama Airlines"};
        QTest::newRow("units") << "satuankemasancon" << true << "Satuan Kemasan"
                               << QStringList{"Kode", "Uraian"};
        QTest::newRow("hs") << "hs" << false << "Uraian Barang"
                            << QStringList{"Kode HS", "Keterangan"};
        QTest::newRow("notify") << "partiesnotify" << true << "Notify"
                                << QStringList{"Nama Parties", "Alamat Parties"};
        QTest::newRow("offices") << "kpbc1" << false << "KPBC" << QStringList{"Kode", "Nama"};
        QTest::newRow("unknown") << "nothing" << false << "HEADER" << QStringList{};
    }
    void captionsFollowModuleAndKind() {
        QFETCH(QString, module);
        QFETCH(bool, air);
        TestInstallation db(air);
        FrmFind dialog(db.state, nullptr);
        dialog.ViewMainTable(module, true);
        dialog.ShowQuery(module, false);
        QCOMPARE(dialog.windowTitle(), QString("Referensi"));
        QTEST(child<QLabel>(&dialog, "LblTitle")->text(), "title");
        QTEST(headerCaptions(listOf(&dialog)), "columns");
        QCOMPARE(child<QLabel>(&dialog, "Label1")->text(), QString("Search By Key"));
        QCOMPARE(child<QPushButton>(&dialog, "CmdFind")->text(), QString("&Search"));
        QCOMPARE(child<QLabel>(&dialog, "LblTitle2")->text(), QString("View top 100 record"));
    }

    void searchesMatchTheNameOnly_data() {
        QTest::addColumn<QString>("module");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("any case") << "hs"
                                  << "kopi" << QStringList{"0901"};
        QTest::newRow("not the code") << "hs"
                                      << "0901" << QStringList{};
        QTest::newRow("quote") << "partiesshiper"
                               << "o'n" << QStringList{"O'NEIL TRADING"};
        QTest::newRow("kind, newest first") << "partiesconsignee"
                                            << "" << QStringList{"OLD BUYER", "BUYER LTD"};
        QTest::newRow("names only") << "kapalcon"
                                    << "" << QStringList{"EVER GIVEN", "MERATUS"};
        QTest::newRow("no head offices") << "kpbc"
                                         << "" << QStringList{"040300", "050100"};
        QTest::newRow("office name") << "kpbc1"
                                     << "jakarta" << QStringList{};
        QTest::newRow("port name") << "pelabuhanbongkar"
                                   << "SING" << QStringList{"SGSIN"};
        QTest::newRow("wildcards bound") << "satuankemasan"
                                         << "%' OR ''='" << QStringList{};
    }
    void searchesMatchTheNameOnly() {
        QFETCH(QString, module);
        QFETCH(QString, text);
        RecordedMessages messages;
        TestInstallation db;
        seed(db);
        FrmFind dialog(db.state, nullptr);
        dialog.ViewMainTable(module, true);
        dialog.ShowQuery(module, false);
        typeInto(child<QLineEdit>(&dialog, "TxtFind"), text);
        pressEnter(child<QLineEdit>(&dialog, "TxtFind"));
        QTEST(columnTexts(listOf(&dialog), 0), "found");
        QVERIFY(child<QLabel>(&dialog, "LblTitle2")->isHidden());
        QVERIFY(messages.take().isEmpty());
    }

    void firstViewHoldsHundredRowsAndEmptySearchAll() {
        TestInstallation db;
        for (int i = 150; i > 0; --i)
            db.exec("INSERT INTO tbl_hs VALUES (?, ?)",
                    {QString("%1").arg(i, 4, 10, QChar('0')), "GOODS"});
        db.exec("INSERT INTO tblkpbc VALUES ('010000', 'KANWIL'), ('010100', 'KPPBC')");
        FrmFind dialog(db.state, nullptr);
        dialog.ViewMainTable("hs", true);
        dialog.ShowQuery("hs", false);
        QCOMPARE(listOf(&dialog)->model()->rowCount(), 100);
        QCOMPARE(columnTexts(listOf(&dialog), 0).first(), QString("0001"));
        QCOMPARE(columnTexts(listOf(&dialog), 0).last(), QString("0100"));
        QVERIFY(!child<QLabel>(&dialog, "LblTitle2")->isHidden());
        QTest::mouseClick(child<QPushButton>(&dialog, "CmdFind"), Qt::LeftButton);
        QCOMPARE(listOf(&dialog)->model()->rowCount(), 150);

        dialog.ViewMainTable("kpbc", true);
        dialog.ShowQuery("kpbc", false);
        QCOMPARE(columnTexts(listOf(&dialog), 0), QStringList{"010100"});
    }

    void doubleClickCopiesIntoTheCaller_data() {
        // Boxes as "name=text" (sorted) and the single-line boxes told of an edit, "|"-separated.
        QTest::addColumn<QString>("module");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("filled");
        QTest::addColumn<QString>("edited");
        // The vessel without a name comes first.
        QTest::newRow("vessel") << "kapal" << 1 << "TxtKapal=EVER GIVEN"
                                << "TxtKapal";
        QTest::newRow("origin") << "pelabuhanasal" << 0 << "TextAsalNm=JAKARTA|TxtAsal=IDJKT"
                                << "TxtAsal|TextAsalNm";
        QTest::newRow("loading") << "pelabuhansebelumnya" << 0 << "TextMuatNm=JAKARTA|TxtMuat=IDJKT"
                                 << "TxtMuat|TextMuatNm";
        QTest::newRow("unloading")
            << "PelabuhanBongkar" << 0 << "TextBongkarNm=JAKARTA|TxtBongkar=IDJKT"
            << "TxtBongkar|TextBongkarNm";
        QTest::newRow("final") << "pelabuhanakhir" << 0 << "TextAkhirNm=JAKARTA|TxtAkhir=IDJKT"
                               << "TxtAkhir|TextAkhirNm";
        QTest::newRow("shipper") << "partiesshiper" << 1
                                 << "TxtShipperAddr=JL. SATU\nJAKARTA|TxtShipperNm=ACME"
                                 << "";
        QTest::newRow("consignee")
            << "partiesconsignee" << 0 << "TxtConsigneeAddr=BANDUNG|TxtConsigneeNm=OLD BUYER"
            << "";
        QTest::newRow("notify") << "partiesnotify" << 0
                                << "TxtNotifyAddr=MEDAN|TxtNotifyNm=NOTIFY CO"
                                << "";
        QTest::newRow("unit") << "satuankemasan" << 0 << "TextSatuanKemasan=CT|TextUraian=CARTON"
                              << "TextSatuanKemasan|TextUraian";
        QTest::newRow("hs") << "hs" << 0 << "TxtHs=0901|TxtKeterangan=KOPI BUBUK"
                            << "TxtHs";
        QTest::newRow("office") << "kpbc1" << 0 << "TxtKPBCKd=040300|TxtKPBCNm=TANJUNG PRIOK"
                                << "TxtKPBCKd|TxtKPBCNm";
        QTest::newRow("lookup only") << "hscon" << 0 << ""
                                     << "";
        QTest::newRow("office list only") << "kpbc" << 0 << ""
                                          << "";
    }
    void doubleClickCopiesIntoTheCaller() {
        QFETCH(QString, module);
        QFETCH(int, row);
        TestInstallation db;
        seed(db);
        CallerWindow caller;
        caller.show();
        const bool closed = runLookup(db.state, caller.button, module, true,
                                      [row](FrmFind* d) { doubleClickRow(listOf(d), row); });
        QVERIFY(closed);
        QTEST(caller.filled().join('|'), "filled");
        QTEST(caller.edited.join('|'), "edited");
    }

    void doubleClickDoesNothingOnAnEmptyListOrWithCopyOff() {
        TestInstallation db;
        seed(db);
        CallerWindow caller;
        caller.show();
        bool closed = runLookup(db.state, caller.button, "hs", true, [](FrmFind* d) {
            typeInto(child<QLineEdit>(d, "TxtFind"), "no such goods");
            pressEnter(child<QLineEdit>(d, "TxtFind"));
            QCOMPARE(listOf(d)->model()->rowCount(), 0);
            doubleClickAt(listOf(d), QPoint(20, 10));
        });
        QVERIFY(!closed);
        closed = runLookup(db.state, caller.button, "hs", false,
                           [](FrmFind* d) { doubleClickRow(listOf(d), 0); });
        QVERIFY(!closed);
        QVERIFY(caller.filled().isEmpty());
    }

    void screenshotWithRows() {
        TestInstallation db;
        seed(db);
        for (int i = 1; i <= 30; ++i)
            db.exec(
                "INSERT INTO tbl_hs VALUES (?, ?)",
                {QString("8471%1").arg(i, 2, 10, QChar('0')), QString("MESIN NOMOR %1").arg(i)});
        FrmFind dialog(db.state, nullptr);
        dialog.ViewMainTable("hs", true);
        dialog.ShowQuery("hs", false);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QString file = QString(VASTREL_SCREENSHOT_DIR) + "/frmfind.png";
        QVERIFY(dialog.grab().save(file));
        qInfo("lookup dialog drawn to %s", qPrintable(file));
    }
};

QTEST_MAIN(FrmFindTest)
#include "FrmFindTest.moc"
