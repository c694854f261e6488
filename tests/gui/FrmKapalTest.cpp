#include "FrmKapal.h"
#include "FormHelpers.h"
#include "GuiTestSupport.h"
#include "ReferenceTestSupport.h"

#include <QLabel>
#include <QPushButton>

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
    QPushButton* button(const char* objectName) {
        return child<QPushButton>(form.get(), objectName);
    }
    void click(const char* objectName) { clickButton(form.get(), objectName); }
    QString mode() { return child<QLabel>(form.get(), "LblEdit")->text(); }
    void checkStartState() {
        QVERIFY(!name()->isEnabled());
        QVERIFY(button("CmdNew")->isEnabled());
        QVERIFY(!button("CmdSave")->isEnabled());
        QCOMPARE(mode(), QString("New"));
    }

private slots:
    void cleanup() {
        form.reset();
        db.reset();
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

    void newThenSaveInsertsTheNameIntact() {
        RecordedMessages messages;
        open();
        click("CmdNew");
        QVERIFY(name()->isEnabled());
        QVERIFY(!button("CmdNew")->isEnabled());
        typeInto(name(), "o'neil star ");
        click("CmdSave");
        QCOMPARE(db->scalar("SELECT nmkapal FROM tblkapal WHERE idkapal = 3").toString(),
                 QString("O'NEIL STAR "));
        QCOMPARE(columnTexts(list(), 1).first(), QString("O'NEIL STAR"));
        QVERIFY(name()->text().isEmpty());
        checkStartState();
        QVERIFY(messages.take().isEmpty());
    }

    void doubleClickThenSaveUpdatesThatRow() {
        open();
        doubleClickRow(list(), 1);
        QCOMPARE(mode(), QString("Edit"));
        QCOMPARE(name()->text(), QString("MERATUS"));
        QVERIFY(button("CmdNew")->isEnabled() && button("CmdSave")->isEnabled());
        name()->selectAll();
        typeInto(name(), "meratus jaya");
        click("CmdSave");
        QCOMPARE(db->count("tblkapal"), 2);
        QCOMPARE(db->scalar("SELECT nmkapal FROM tblkapal WHERE idkapal = 1").toString(),
                 QString("MERATUS JAYA"));
        checkStartState();
    }

    void newAfterDoubleClickTurnsTheSaveIntoAnInsert() {
        open();
        doubleClickRow(list(), 0);
        click("CmdNew");
        QCOMPARE(mode(), QString("New"));
        typeInto(name(), "spil");
        click("CmdSave");
        QCOMPARE(columnTexts(list(), 1), (QStringList{"SPIL", "EVER GIVEN", "MERATUS"}));
    }

    void emptyAndBlankNamesSaveNothing_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("empty") << "" << QStringList{"Silahkan isi nama kapala"};
        QTest::newRow("blanks") << "   " << QStringList{};
    }
    void emptyAndBlankNamesSaveNothing() {
        QFETCH(QString, typed);
        RecordedMessages messages;
        open();
        click("CmdNew");
        typeInto(name(), typed);
        click("CmdSave");
        QTEST(shownTexts(messages), "shown");
        QCOMPARE(db->count("tblkapal"), 2);
        QVERIFY(button("CmdSave")->isEnabled());
    }

    void aNameWithInvalidCharactersIsRefused() {
        RecordedMessages messages;
        open();
        click("CmdNew");
        name()->setText(QString::fromUtf8("CAF\u00c9\tX"));
        click("CmdSave");
        const auto log = messages.take();
        QCOMPARE(log.size(), 2); // on the change, then on the save
        QCOMPARE(log[1].text, QString::fromUtf8("Posisi 4 [\u00c9], Posisi 5 [\t]"));
        QCOMPARE(log[1].title, QString("Invalid Character - Kapal"));
        QCOMPARE(name()->selectedText(), QString("\t"));
        QCOMPARE(db->count("tblkapal"), 2);
    }

    void deleteRefreshesTheListBeforeItsMessage() {
        RecordedMessages messages;
        open();
        QStringList shownWhenRefreshed;
        connect(list()->model(), &QAbstractItemModel::modelReset, form.get(),
                [&] { shownWhenRefreshed << Messages::lastText(); });
        clickRow(list(), 0);
        click("CmdDelete");
        QCOMPARE(shownWhenRefreshed, QStringList{kAskDeleteMessage});
        QCOMPARE(Messages::lastText(), kDeletedMessage);
        QCOMPARE(columnTexts(list(), 1), QStringList{"MERATUS"});
        QCOMPARE(db->count("tblkapal"), 1);
    }

    void deleteNeedsASelectedRowAndAYes() {
        RecordedMessages messages;
        open();
        click("CmdDelete");
        QCOMPARE(Messages::lastText(), kSelectRowMessage);
        clickRow(list(), 0);
        Messages::answerNext(false);
        click("CmdDelete");
        QCOMPARE(messages.take().size(), 2);
        QCOMPARE(db->count("tblkapal"), 2);
    }

    void aFailedSaveSaysWhyAndKeepsTheScreen() {
        RecordedMessages messages;
        open();
        click("CmdNew");
        typeInto(name(), "lost");
        db->exec("DROP TABLE tblkapal");
        click("CmdSave");
        QVERIFY(Messages::lastText().contains("tblkapal"));
        QCOMPARE(name()->text(), QString("LOST"));
        QVERIFY(button("CmdSave")->isEnabled());
    }
};

QTEST_MAIN(FrmKapalTest)
#include "FrmKapalTest.moc"
