#include "FrmParties.h"
#include "FormHelpers.h"
#include "GuiTestSupport.h"
#include "ReferenceTestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace vastrel;
using namespace vastrel::test;

class FrmPartiesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestInstallation> db;
    std::unique_ptr<FrmParties> form;

    void open() {
        db = std::make_unique<TestInstallation>();
        db->exec("INSERT INTO tblparties(NamaParties, AlmtParties, KodeParties) VALUES "
                 "('ACME', 'JAKARTA', '1'), ('BUYER', 'SURABAYA', '2'), ('ODD', 'X', '7')");
        form = std::make_unique<FrmParties>(db->state);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    QPlainTextEdit* name() { return child<QPlainTextEdit>(form.get(), "TxtNama"); }
    QPlainTextEdit* address() { return child<QPlainTextEdit>(form.get(), "TxtAlamat"); }
    QComboBox* kind() { return child<QComboBox>(form.get(), "CmbJenis"); }
    QTableView* list() { return child<QTableView>(form.get(), "LvParties"); }
    QPushButton* button(const char* objectName) {
        return child<QPushButton>(form.get(), objectName);
    }
    void click(const char* objectName) { clickButton(form.get(), objectName); }
    QString mode() { return child<QLabel>(form.get(), "LblEdit")->text(); }
    // The newest row as "name|address|kind code".
    QString newestRow() {
        const RowSet rs =
            db->state.Conn.query("SELECT NamaParties, AlmtParties, KodeParties FROM tblparties "
                                 "ORDER BY idparties DESC LIMIT 1");
        return rs.eof() ? QString()
                        : rs.text("NamaParties") + "|" + rs.text("AlmtParties") + "|" +
                              rs.text("KodeParties");
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
        typeLines(name(), nameText);
        typeLines(address(), addressText);
        kind()->setCurrentText(kindText);
    }

private slots:
    void cleanup() {
        form.reset();
        db.reset();
    }

    void loadsEveryRowNewestFirstWithKindNames() {
        open();
        QCOMPARE(form->windowTitle(), QString("Referensi Parties"));
        QCOMPARE(headerCaptions(list()),
                 (QStringList{"ID", "Nama Parties", "Alamat Parties", "Tipe Parties"}));
        QCOMPARE(columnTexts(list(), 1), (QStringList{"ODD", "BUYER", "ACME"}));
        QCOMPARE(columnTexts(list(), 3), (QStringList{"", "Consignee", "Shipper"}));
        QCOMPARE(kind()->currentText(), QString("Shipper"));
        QVERIFY(!name()->isEnabled() && !address()->isEnabled() && !kind()->isEnabled());
        QVERIFY(button("CmdNew")->isEnabled() && !button("CmdSave")->isEnabled());
        QCOMPARE(mode(), QString("New"));
    }

    void newThenSaveStoresTheKindCode_data() {
        QTest::addColumn<QString>("kindText");
        QTest::addColumn<QString>("stored");
        QTest::newRow("shipper") << "Shipper"
                                 << "O'NEIL|JL. O'HARA\nDUBLIN|1";
        QTest::newRow("consignee") << "Consignee"
                                   << "O'NEIL|JL. O'HARA\nDUBLIN|2";
        QTest::newRow("notify") << "Notify"
                                << "O'NEIL|JL. O'HARA\nDUBLIN|3";
    }
    void newThenSaveStoresTheKindCode() {
        QFETCH(QString, kindText);
        RecordedMessages messages;
        open();
        enterNew("o'neil", "jl. o'hara\ndublin", kindText);
        click("CmdSave");
        QTEST(newestRow(), "stored");
        QCOMPARE(columnTexts(list(), 3).first(), kindText);
        QVERIFY(!name()->isEnabled() && !button("CmdSave")->isEnabled());
        QCOMPARE(mode(), QString());
        QVERIFY(messages.take().isEmpty());
    }

    void anEmptyAddressIsAccepted() {
        open();
        enterNew("lone", "", "Notify");
        click("CmdSave");
        QCOMPARE(newestRow(), QString("LONE||3"));
    }

    void missingNameIsRefused_data() {
        QTest::addColumn<QString>("nameText");
        QTest::addColumn<QString>("addressText");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("empty name") << ""
                                    << "addr" << QStringList{"Silahkan isi nama parties"};
        QTest::newRow("blank name, no address") << "  "
                                                << "" << QStringList{"Silahkan isi alamat parties"};
        QTest::newRow("blank name with address") << "  "
                                                 << "addr" << QStringList{};
    }
    void missingNameIsRefused() {
        QFETCH(QString, nameText);
        QFETCH(QString, addressText);
        RecordedMessages messages;
        open();
        enterNew(nameText, addressText, "Shipper");
        click("CmdSave");
        QTEST(shownTexts(messages), "shown");
        QCOMPARE(db->count("tblparties"), 3);
    }

    void doubleClickThenSaveUpdatesAndNewInserts() {
        open();
        doubleClickRow(list(), 1);
        QCOMPARE(mode(), QString("Edit"));
        QCOMPARE(name()->toPlainText(), QString("BUYER"));
        QCOMPARE(address()->toPlainText(), QString("SURABAYA"));
        QCOMPARE(kind()->currentText(), QString("Consignee"));
        kind()->setCurrentText("Notify");
        click("CmdSave");
        QCOMPARE(db->count("tblparties"), 3);
        QCOMPARE(db->scalar("SELECT KodeParties FROM tblparties WHERE idparties = 2").toString(),
                 QString("3"));

        doubleClickRow(list(), 2); // ACME, a shipper: New keeps the kind
        click("CmdNew");
        typeInto(name(), "fresh");
        click("CmdSave");
        QCOMPARE(db->count("tblparties"), 4);
        QCOMPARE(newestRow(), QString("FRESH||1"));
    }

    void typingIntoTheKindIsDiscarded() {
        open();
        click("CmdNew");
        kind()->setFocus();
        QTest::keyClicks(kind(), "n");
        QCOMPARE(kind()->currentText(), QString("Shipper"));
    }

    void deleteRefreshesTheListBeforeItsMessage() {
        RecordedMessages messages;
        open();
        doubleClickRow(list(), 2);
        QStringList shownWhenRefreshed;
        connect(list()->model(), &QAbstractItemModel::modelReset, form.get(),
                [&] { shownWhenRefreshed << Messages::lastText(); });
        click("CmdDelete");
        QCOMPARE(shownWhenRefreshed, QStringList{kAskDeleteMessage});
        QCOMPARE(Messages::lastText(), kDeletedMessage);
        QCOMPARE(columnTexts(list(), 1), (QStringList{"ODD", "BUYER"}));
        QCOMPARE(mode(), QString());
        QVERIFY(button("CmdNew")->isEnabled() && !button("CmdSave")->isEnabled());
    }

    void deleteWithNothingSelectedSaysSo() {
        RecordedMessages messages;
        open();
        click("CmdDelete");
        QCOMPARE(Messages::lastText(), kSelectRowMessage);
        QCOMPARE(db->count("tblparties"), 3);
    }
};

QTEST_MAIN(FrmPartiesTest)
#include "FrmPartiesTest.moc"
