#include "FrmKapal.h"
#include "FormHelpers.h"
#include "ReferenceTestSupport.h"

#include <QLabel>

using namespace vastrel;
using namespace vastrel::test;

class FrmKapalTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestInstallation> db;
    std::unique_ptr<FrmKapal> form;

    void open(bool air = false) {
        db = std::make_unique<TestInstallation>(air);
        db->exec("INSERT INTO tblkapal(nmkapal) VALUES ('MERATUS'), ('EVER GIVEN')");
        form = std::make_unique<FrmKapal>(db->state);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    QLineEdit* name() { return child<QLineEdit>(form.get(), "TxtKapal"); }
    QTableView* list() { return child<QTableView>(form.get(), "LvKapal"); }
    bool enabled(const char* button) { return child<QPushButton>(form.get(), button)->isEnabled(); }
    void click(const char* button) { clickButton(form.get(), button); }
    QString mode() { return child<QLabel>(form.get(), "LblEdit")->text(); }
    QStringList storedNames() {
        return db->column("SELECT nmkapal FROM tblkapal ORDER BY idkapal");
    }
    void checkStartState() {
        QVERIFY(!name()->isEnabled() && enabled("CmdNew") && !enabled("CmdSave"));
        QCOMPARE(mode(), QString("New"));
    }

private slots:
    void init() { Messages::startRecording(); }
    void cleanup() {
        form.reset();
        db.reset();
        Messages::stopRecording();
    }

    void captionsFollowTheKind_data() {
        QTest::addColumn<bool>("air");
        QTest::addColumn<QString>("kind");
        QTest::newRow("sea") << false << "Kapal";
        QTest::newRow("air") << true << "Airlines";
    }
    void captionsFollowTheKind() {
        QFETCH(bool, air);
        QFETCH(QString, kind);
        open(air);
        QCOMPARE(form->windowTitle(), "Referensi " + kind);
        QCOMPARE(child<QLabel>(form.get(), "Label20")->text(), kind);
        QCOMPARE(headerCaptions(list()), (QStringList{"id", kind}));
        QVERIFY(list()->isColumnHidden(0));
        QCOMPARE(columnTexts(list(), 1), (QStringList{"EVER GIVEN", "MERATUS"}));
        checkStartState();
    }

    void doubleClickThenSaveUpdatesAndNewInsertsTheNameIntact() {
        open();
        doubleClickRow(list(), 1);
        QCOMPARE(mode(), QString("Edit"));
        QCOMPARE(name()->text(), QString("MERATUS"));
        QVERIFY(enabled("CmdNew") && enabled("CmdSave"));
        name()->selectAll();
        typeInto(name(), "meratus jaya");
        click("CmdSave");
        QCOMPARE(storedNames(), (QStringList{"MERATUS JAYA", "EVER GIVEN"}));
        checkStartState();

        doubleClickRow(list(), 0);
        click("CmdNew");
        QCOMPARE(mode(), QString("New"));
        QVERIFY(name()->isEnabled() && !enabled("CmdNew"));
        typeInto(name(), "o'neil star ");
        click("CmdSave");
        QCOMPARE(storedNames(), (QStringList{"MERATUS JAYA", "EVER GIVEN", "O'NEIL STAR "}));
        QCOMPARE(columnTexts(list(), 1),
                 (QStringList{"O'NEIL STAR", "EVER GIVEN", "MERATUS JAYA"}));
        QVERIFY(name()->text().isEmpty());
        checkStartState();
        QVERIFY(shownTexts().isEmpty());
    }

    void emptyBlankOrInvalidNamesSaveNothing() {
        const struct {
            QString typed;
            QStringList shown; // title: text
        } cases[] = {
            {"", {"Information: Silahkan isi nama kapala"}},
            {"   ", {}},
            // Told once on the change, then again on the save.
            {QString::fromUtf8("CAF\u00c9\tX"),
             QStringList(2, QString::fromUtf8(
                                "Invalid Character - Kapal: Posisi 4 [\u00c9], Posisi 5 [\t]"))},
        };
        for (const auto& c : cases) {
            open();
            click("CmdNew");
            name()->setText(c.typed);
            click("CmdSave");
            QCOMPARE(shownBoxes(), c.shown);
            QCOMPARE(db->count("tblkapal"), 2);
            QVERIFY(enabled("CmdSave"));
        }
    }

    void accentedLettersAreWrittenPlainOnlyWhenTheClerkSaysYes() {
        const struct {
            bool yes;
            const char* saved; // empty: refused
        } answers[] = {{true, "SOCIETE GENERALE"}, {false, ""}};
        for (const auto& a : answers) {
            open();
            const int before = db->count("tblkapal");
            click("CmdNew");
            Messages::startRecording(); // answered when typed, and for No again on the save
            Messages::answerNext(a.yes);
            Messages::answerNext(a.yes);
            name()->setText(QString::fromUtf8("SOCI\u00c9T\u00c9 G\u00c9N\u00c9RALE"));
            click("CmdSave");
            const QList<Messages::Record> log = Messages::takeLog();
            QVERIFY(log.value(0).question &&
                    log.value(0).text.endsWith("Ganti huruf beraksen dengan huruf biasa?\r\n"
                                               "SOCIETE GENERALE"));
            QCOMPARE(db->count("tblkapal"), before + (*a.saved ? 1 : 0));
            QCOMPARE(storedNames().contains(a.saved), *a.saved != 0);
        }
    }

    void deleteNeedsASelectedRowAndAYesAndRefreshesTheListFirst() {
        open();
        QCOMPARE(deleteWatchingRefresh(form.get(), list()), QStringList{kSelectRowMessage});
        clickRow(list(), 0);
        Messages::answerNext(false);
        QCOMPARE(deleteWatchingRefresh(form.get(), list()), QStringList{kAskDeleteMessage});
        QCOMPARE(db->count("tblkapal"), 2);
        clickRow(list(), 0);
        QCOMPARE(deleteWatchingRefresh(form.get(), list()),
                 (QStringList{kAskDeleteMessage, "<list refreshed>", kDeletedMessage}));
        QCOMPARE(columnTexts(list(), 1), QStringList{"MERATUS"});
        QCOMPARE(storedNames(), QStringList{"MERATUS"});
    }

    void aFailedSaveSaysWhyAndKeepsTheScreen() {
        open();
        click("CmdNew");
        typeInto(name(), "lost");
        db->exec("DROP TABLE tblkapal");
        click("CmdSave");
        QVERIFY(Messages::lastText().contains("tblkapal"));
        QCOMPARE(name()->text(), QString("LOST"));
        QVERIFY(enabled("CmdSave"));
    }
};

QTEST_MAIN(FrmKapalTest)
#include "FrmKapalTest.moc"
