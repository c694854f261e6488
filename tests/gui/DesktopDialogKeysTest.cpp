// The keys of a POS's line screens under a real X server (xcb): access keys, Ctrl+S,
// Alt letters and the list's focused row, as a clerk without a mouse uses them.

#include "FrmPeb.h"
#include "InputHelpers.h"
#include "PosLineFixture.h"

#include <QApplication>

using namespace vastrel;
using namespace vastrel::test;

class DesktopDialogKeysTest : public QObject, ScreenDriver<FrmPeb> {
    Q_OBJECT

    QStringList stored() { return storedLines("tblpeb", "noseq || ' ' || pebtgl"); }
    // A new document whose date is typed last, the cursor still in the date box.
    QLineEdit* typeNewDocumentEndingInDate(const QString& date) {
        open();
        click("CmdNew");
        field("TxtKPBCKd")->setText("ABC123");
        field("TxtKPBCKd")->setFocus();
        field("TxtPEBNo")->setFocus(); // leaving the office code names the office
        typeInto(field("TxtPEBNo"), "123");
        QLineEdit* box = field("TxtPEBTgl");
        box->setFocus();
        typeInto(box, date);
        Messages::takeLog();
        return box;
    }

private slots:
    void init() { start("Outward", "09E", {"0001"}); }
    void cleanup() { finish(); }

    void saveKeysFinishTheDateBoxFirst_data() {
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("storedAfter");
        QTest::addColumn<QString>("message");
        const QStringList saved{"0001 2007-05-30"};
        const QKeySequence altS("Alt+S");
        const QKeySequence ctrlS("Ctrl+S");
        QTest::newRow("Alt+S, short date") << altS << "300507" << saved << QString();
        QTest::newRow("Ctrl+S, short date") << ctrlS << "300507" << saved << QString();
        QTest::newRow("Alt+S, no date") << altS << "310207" << QStringList() << kInvalidDateMessage;
    }
    void saveKeysFinishTheDateBoxFirst() {
        QFETCH(QKeySequence, key);
        QFETCH(QString, typed);
        QFETCH(QStringList, storedAfter);
        QFETCH(QString, message);
        QLineEdit* date = typeNewDocumentEndingInDate(typed);
        QTest::keySequence(date, key);
        QTest::qWait(300); // the button's press is drawn before it clicks
        const auto log = Messages::takeLog();
        QCOMPARE(log.isEmpty() ? QString() : log.first().text, message);
        QCOMPARE(stored(), storedAfter);
        if (!message.isEmpty())
            QCOMPARE(QApplication::focusWidget(), date);
    }

    void altLettersNoControlUsesTypeNothing() {
        typeNewDocumentEndingInDate("300507");
        QLineEdit* number = field("TxtPEBNo");
        number->setFocus();
        const QString before = number->text();
        for (const Qt::Key letter : {Qt::Key_H, Qt::Key_J, Qt::Key_Q, Qt::Key_X})
            QTest::keyClick(number, letter, Qt::AltModifier);
        QCOMPARE(number->text(), before);
    }

    void theListRowWithTheFocusIsTheOneDeleted() {
        f->exec("INSERT INTO tblpeb(nodaftar,nopos,noseq,jenispeb,kpbc,pebno,pebtgl) "
                "VALUES (?,'0001','0001','PKB','040300','000777','2007-05-01')",
                {f->nodaftar()});
        open();
        auto* list = field<QTableView>("LvPeb");
        list->setFocus(Qt::TabFocusReason);
        QTest::keyClick(list, Qt::Key_Home);
        Messages::answerNext(false);
        QTest::keyClick(list, Qt::Key_D, Qt::AltModifier);
        QTRY_VERIFY(!Messages::lastText().isEmpty());
        QCOMPARE(Messages::lastText(), QString("Apakah Anda akan menghapus Peb ini?"));
    }
};

QTEST_MAIN(DesktopDialogKeysTest)
#include "DesktopDialogKeysTest.moc"
