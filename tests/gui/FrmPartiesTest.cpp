#include "FrmParties.h"
#include "FormHelpers.h"
#include "ReferenceTestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>

using namespace vastrel;
using namespace vastrel::test;

class FrmPartiesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestInstallation> db;
    std::unique_ptr<FrmParties> form;

    QPlainTextEdit* name() { return child<QPlainTextEdit>(form.get(), "TxtNama"); }
    QPlainTextEdit* address() { return child<QPlainTextEdit>(form.get(), "TxtAlamat"); }
    QComboBox* kind() { return child<QComboBox>(form.get(), "CmbJenis"); }
    QTableView* list() { return child<QTableView>(form.get(), "LvParties"); }
    bool enabled(const char* button) { return child<QPushButton>(form.get(), button)->isEnabled(); }
    void click(const char* button) { clickButton(form.get(), button); }
    QString mode() { return child<QLabel>(form.get(), "LblEdit")->text(); }
    // The newest row as "name|address|kind code".
    QString newestRow() {
        return db
            ->column("SELECT NamaParties || '|' || AlmtParties || '|' || KodeParties "
                     "FROM tblparties ORDER BY idparties DESC LIMIT 1")
            .value(0);
    }
    // Types each line, pressing Enter between lines as the user does.
    void typeLines(QWidget* box, const QString& text) {
        const QStringList lines = text.split('\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                pressEnter(box);
            typeInto(box, lines[i]);
        }
    }
    void enterNew(const QString& nameText, const QString& addressText, const QString& kindText) {
        click("CmdNew");
        name()->clear();
        address()->clear();
        typeLines(name(), nameText);
        typeLines(address(), addressText);
        kind()->setCurrentText(kindText);
    }

private slots:
    void init() {
        Messages::startRecording();
        db = std::make_unique<TestInstallation>();
        db->exec("INSERT INTO tblparties(NamaParties, AlmtParties, KodeParties) VALUES "
                 "('ACME', 'JAKARTA', '1'), ('BUYER', 'SURABAYA', '2'), ('ODD', 'X', ' 3')");
        form = std::make_unique<FrmParties>(db->state);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanup() {
        form.reset();
        db.reset();
        Messages::stopRecording();
    }

    void loadsEveryRowNewestFirstWithKindNames() {
        QCOMPARE(form->windowTitle(), QString("Referensi Parties"));
        QCOMPARE(headerCaptions(list()),
                 (QStringList{"ID", "Nama Parties", "Alamat Parties", "Tipe Parties"}));
        QCOMPARE(columnTexts(list(), 1), (QStringList{"ODD", "BUYER", "ACME"}));
        // Only the codes "1", "2" and "3" themselves have a name: not " 3".
        QCOMPARE(columnTexts(list(), 3), (QStringList{"", "Consignee", "Shipper"}));
        QVERIFY(!name()->isEnabled() && !address()->isEnabled() && !kind()->isEnabled());
        QVERIFY(enabled("CmdNew") && !enabled("CmdSave"));
        QCOMPARE(mode(), QString("New"));
        click("CmdNew");
        kind()->setFocus();
        QTest::keyClicks(kind(), "n"); // typing into the kind is discarded
        QCOMPARE(kind()->currentText(), QString("Shipper"));
    }

    void newThenSaveStoresTheKindCodeAndTheTextIntact() {
        const struct {
            const char* kind;
            const char* address;
            const char* stored;
        } cases[] = {
            {"Shipper", "jl. o'hara\ndublin", "O'NEIL|JL. O'HARA\nDUBLIN|1"},
            {"Consignee", "jl. o'hara\ndublin", "O'NEIL|JL. O'HARA\nDUBLIN|2"},
            {"Notify", "", "O'NEIL||3"}, // an empty address is accepted
        };
        for (const auto& c : cases) {
            enterNew("o'neil", c.address, c.kind);
            click("CmdSave");
            QCOMPARE(newestRow(), QString(c.stored));
            QCOMPARE(columnTexts(list(), 3).first(), QString(c.kind));
            QVERIFY(!name()->isEnabled() && !enabled("CmdSave"));
            QCOMPARE(mode(), QString());
        }
        QVERIFY(shownTexts().isEmpty());
    }

    void missingNameIsRefused() {
        const struct {
            const char* name;
            const char* address;
            QStringList shown;
        } cases[] = {
            {"", "addr", {"Silahkan isi nama parties"}},
            {"  ", "", {"Silahkan isi alamat parties"}},
            {"  ", "addr", {}},
        };
        for (const auto& c : cases) {
            enterNew(c.name, c.address, "Shipper");
            click("CmdSave");
            QCOMPARE(shownTexts(), c.shown);
            QCOMPARE(db->count("tblparties"), 3);
        }
    }

    void doubleClickThenSaveUpdatesAndNewInserts() {
        doubleClickRow(list(), 1);
        QCOMPARE(mode(), QString("Edit"));
        QCOMPARE(name()->toPlainText() + "|" + address()->toPlainText() + "|" +
                     kind()->currentText(),
                 QString("BUYER|SURABAYA|Consignee"));
        kind()->setCurrentText("Notify");
        click("CmdSave");
        QCOMPARE(db->column("SELECT KodeParties FROM tblparties ORDER BY idparties"),
                 (QStringList{"1", "3", " 3"}));

        doubleClickRow(list(), 2); // ACME, a shipper: New keeps the kind
        click("CmdNew");
        typeInto(name(), "fresh");
        click("CmdSave");
        QCOMPARE(db->count("tblparties"), 4);
        QCOMPARE(newestRow(), QString("FRESH||1"));
    }

    void deleteNeedsASelectedRowAndAYesAndRefreshesTheListFirst() {
        QCOMPARE(deleteWatchingRefresh(form.get(), list()), QStringList{kSelectRowMessage});
        doubleClickRow(list(), 2);
        Messages::answerNext(false);
        QCOMPARE(deleteWatchingRefresh(form.get(), list()), QStringList{kAskDeleteMessage});
        QCOMPARE(db->count("tblparties"), 3);
        QCOMPARE(deleteWatchingRefresh(form.get(), list()),
                 (QStringList{kAskDeleteMessage, "<list refreshed>", kDeletedMessage}));
        QCOMPARE(columnTexts(list(), 1), (QStringList{"ODD", "BUYER"}));
        QCOMPARE(mode(), QString());
        QVERIFY(enabled("CmdNew") && !enabled("CmdSave"));
    }
};

QTEST_MAIN(FrmPartiesTest)
#include "FrmPartiesTest.moc"
