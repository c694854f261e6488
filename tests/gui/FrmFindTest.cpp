#include "FrmFind.h"
#include "FormHelpers.h"
#include "ReferenceTestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
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
        const auto add = [layout](QWidget* box, const char* name) {
            box->setObjectName(name);
            layout->addWidget(box);
        };
        for (const char* name :
             {"TxtKapal", "TxtAsal", "TextAsalNm", "TxtMuat", "TextMuatNm", "TxtBongkar",
              "TextBongkarNm", "TxtAkhir", "TextAkhirNm", "TextSatuanKemasan", "TextUraian",
              "TxtHs", "TxtKPBCKd", "TxtKPBCNm"}) {
            auto* box = new QLineEdit(this);
            connect(box, &QLineEdit::textEdited, this, [this, name] { edited << name; });
            add(box, name);
        }
        for (const char* name :
             {"TxtShipperNm", "TxtShipperAddr", "TxtConsigneeNm", "TxtConsigneeAddr", "TxtNotifyNm",
              "TxtNotifyAddr", "TxtKeterangan"})
            add(new QPlainTextEdit(this), name);
        button = new QPushButton("...", new QWidget(this));
        layout->addWidget(button->parentWidget());
    }

    // Every non-empty box as "name=text", sorted and "|"-separated.
    QString filled() const {
        QStringList result;
        for (const QWidget* box : findChildren<QWidget*>())
            if (!boxText(box).isEmpty())
                result << box->objectName() + "=" + boxText(box);
        result.sort();
        return result.join('|');
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

// Types `text` into the search box and presses Enter.
void search(FrmFind* dialog, const QString& text) {
    auto* box = child<QLineEdit>(dialog, "TxtFind");
    box->clear();
    typeInto(box, text);
    pressEnter(box);
}

} // namespace

class FrmFindTest : public QObject {
    Q_OBJECT

    // A dialog listing the first rows of `module`.
    std::unique_ptr<FrmFind> openDialog(TestInstallation& db, const QString& module) {
        auto dialog = std::make_unique<FrmFind>(db.state, nullptr);
        dialog->ViewMainTable(module, true);
        dialog->ShowQuery(module, false);
        return dialog;
    }

private slots:
    void captionsFollowModuleAndKind() {
        const struct {
            const char* module;
            bool air;
            const char* title;
            QStringList columns;
        } cases[] = {
            {"pelabuhanasal", false, "Pelabuhan", {"Kode", "Nama Pelabuhan"}},
            {"pelabuhanakhircon", true, "Airport", {"Kode", "Nama Airport"}},
            {"kapal", false, "Kapal", {"Nama Kapal"}},
            {"KAPAL", true, "Airlines", {"Nama Airlines"}},
            {"satuankemasancon", true, "Satuan Kemasan", {"Kode", "Uraian"}},
            {"hs", false, "Uraian Barang", {"Kode HS", "Keterangan"}},
            {"partiesnotify", true, "Notify", {"Nama Parties", "Alamat Parties"}},
            {"kpbc1", false, "KPBC", {"Kode", "Nama"}},
            {"nothing", false, "HEADER", {}},
        };
        TestInstallation sea(false), air(true);
        for (const auto& c : cases) {
            const auto dialog = openDialog(c.air ? air : sea, c.module);
            QCOMPARE(child<QLabel>(dialog.get(), "LblTitle")->text(), QString(c.title));
            QCOMPARE(headerCaptions(listOf(dialog.get())), c.columns);
            QCOMPARE(dialog->windowTitle(), QString("Referensi"));
            QCOMPARE(child<QLabel>(dialog.get(), "Label1")->text(), QString("Search By Key"));
            QCOMPARE(child<QPushButton>(dialog.get(), "CmdFind")->text(), QString("&Search"));
            QCOMPARE(child<QLabel>(dialog.get(), "LblTitle2")->text(),
                     QString("View top 100 record"));
        }
    }

    void searchesMatchTheNameAndTheCode() {
        const struct {
            const char* module;
            const char* text;
            QStringList found;
        } cases[] = {
            {"hs", "kopi", {"0901"}}, // any case
            {"hs", "0901", {"0901"}}, // the code as well
            {"pelabuhanasal", "idj", {"IDJKT"}},
            {"partiesshiper", "o'n", {"O'NEIL TRADING"}},
            {"partiesconsignee", "", {"OLD BUYER", "BUYER LTD"}}, // the kind, newest first
            {"kapalcon", "", {"EVER GIVEN", "MERATUS"}},          // names only
            {"kpbc", "", {"040300", "050100"}},                   // no head offices
            {"kpbc1", "jakarta", {}},                             // not the office name
            {"pelabuhanbongkar", "SING", {"SGSIN"}},
            {"satuankemasan", "%' OR ''='", {}}, // wildcards bound
        };
        RecordedMessages messages;
        TestInstallation db;
        seed(db);
        for (const auto& c : cases) {
            const auto dialog = openDialog(db, c.module);
            search(dialog.get(), c.text);
            QCOMPARE(columnTexts(listOf(dialog.get()), 0), c.found);
            QVERIFY(child<QLabel>(dialog.get(), "LblTitle2")->isHidden());
        }
        QVERIFY(messages.take().isEmpty());
    }

    void firstViewHoldsHundredRowsAndEmptySearchAll() {
        TestInstallation db;
        for (int i = 150; i > 0; --i)
            db.exec("INSERT INTO tbl_hs VALUES (?, ?)",
                    {QString("%1").arg(i, 4, 10, QChar('0')), "GOODS"});
        db.exec("INSERT INTO tblkpbc VALUES ('010000', 'KANWIL'), ('010100', 'KPPBC')");
        const auto dialog = openDialog(db, "hs");
        const QStringList codes = columnTexts(listOf(dialog.get()), 0);
        QCOMPARE(codes.size(), 100);
        QCOMPARE(codes.first() + "-" + codes.last(), QString("0001-0100"));
        QVERIFY(!child<QLabel>(dialog.get(), "LblTitle2")->isHidden());
        QTest::mouseClick(child<QPushButton>(dialog.get(), "CmdFind"), Qt::LeftButton);
        QCOMPARE(listOf(dialog.get())->model()->rowCount(), 150);
        QCOMPARE(columnTexts(listOf(openDialog(db, "kpbc").get()), 0), QStringList{"010100"});
    }

    void aLargeResultShowsItsFirstRowsAndTheRestAsItScrolls() {
        TestInstallation db;
        for (int i = 0; i < 450; ++i)
            db.exec("INSERT INTO tblpelabuhan VALUES (?, 'PORT')",
                    {QString("ZZ%1").arg(i, 3, 10, QChar('0'))});
        const auto dialog = openDialog(db, "pelabuhanasal");
        search(dialog.get(), "port");
        QAbstractItemModel* rows = listOf(dialog.get())->model();
        QCOMPARE(rows->rowCount(), 200);
        for (const int expected : {400, 450, 450}) {
            rows->fetchMore({});
            QCOMPARE(rows->rowCount(), expected);
        }
        QCOMPARE(rows->index(449, 0).data().toString(), QString("ZZ449"));
        QVERIFY(!rows->canFetchMore({}));
    }

    void doubleClickCopiesIntoTheCaller() {
        const struct {
            const char* module;
            int row;
            const char* filled; // the boxes as "name=text"
            const char* edited; // the single-line boxes told of an edit
        } cases[] = {
            {"kapal", 1, "TxtKapal=EVER GIVEN", "TxtKapal"}, // the vessel without a name is first
            {"pelabuhanasal", 0, "TextAsalNm=JAKARTA|TxtAsal=IDJKT", "TxtAsal|TextAsalNm"},
            {"pelabuhansebelumnya", 0, "TextMuatNm=JAKARTA|TxtMuat=IDJKT", "TxtMuat|TextMuatNm"},
            {"PelabuhanBongkar", 0, "TextBongkarNm=JAKARTA|TxtBongkar=IDJKT",
             "TxtBongkar|TextBongkarNm"},
            {"pelabuhanakhir", 0, "TextAkhirNm=JAKARTA|TxtAkhir=IDJKT", "TxtAkhir|TextAkhirNm"},
            {"partiesshiper", 1, "TxtShipperAddr=JL. SATU\nJAKARTA|TxtShipperNm=ACME", ""},
            {"partiesconsignee", 0, "TxtConsigneeAddr=BANDUNG|TxtConsigneeNm=OLD BUYER", ""},
            {"partiesnotify", 0, "TxtNotifyAddr=MEDAN|TxtNotifyNm=NOTIFY CO", ""},
            {"satuankemasan", 0, "TextSatuanKemasan=CT|TextUraian=CARTON",
             "TextSatuanKemasan|TextUraian"},
            {"hs", 0, "TxtHs=0901|TxtKeterangan=KOPI BUBUK", "TxtHs"},
            {"kpbc1", 0, "TxtKPBCKd=040300|TxtKPBCNm=TANJUNG PRIOK", "TxtKPBCKd|TxtKPBCNm"},
            {"hscon", 0, "", ""}, // lookup only
            {"kpbc", 0, "", ""},  // office list only
        };
        TestInstallation db;
        seed(db);
        for (const auto& c : cases) {
            CallerWindow caller;
            caller.show();
            QVERIFY(runLookup(db.state, caller.button, c.module, true,
                              [&](FrmFind* d) { doubleClickRow(listOf(d), c.row); }));
            QCOMPARE(caller.filled(), QString(c.filled));
            QCOMPARE(caller.edited.join('|'), QString(c.edited));
        }
    }

    void doubleClickDoesNothingOnAnEmptyListOrWithCopyOff() {
        TestInstallation db;
        seed(db);
        CallerWindow caller;
        caller.show();
        QVERIFY(!runLookup(db.state, caller.button, "hs", true, [](FrmFind* d) {
            search(d, "no such goods");
            QCOMPARE(listOf(d)->model()->rowCount(), 0);
            doubleClickAt(listOf(d), QPoint(20, 10));
        }));
        QVERIFY(!runLookup(db.state, caller.button, "hs", false,
                           [](FrmFind* d) { doubleClickRow(listOf(d), 0); }));
        QCOMPARE(caller.filled(), QString());
    }

    void screenshotWithRows() {
        TestInstallation db;
        seed(db);
        for (int i = 1; i <= 30; ++i)
            db.exec(
                "INSERT INTO tbl_hs VALUES (?, ?)",
                {QString("8471%1").arg(i, 2, 10, QChar('0')), QString("MESIN NOMOR %1").arg(i)});
        const auto dialog = openDialog(db, "hs");
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        QVERIFY(dialog->grab().save(QString(VASTREL_SCREENSHOT_DIR) + "/frmfind.png"));
    }
};

QTEST_MAIN(FrmFindTest)
#include "FrmFindTest.moc"
