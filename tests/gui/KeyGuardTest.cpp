#include "KeyGuard.h"
#include "GuiTestSupport.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

using namespace vastrel;
using namespace vastrel::test;

class KeyGuardTest : public QObject {
    Q_OBJECT

    QWidget form;
    QLineEdit* name = nullptr;
    QPlainTextEdit* mark = nullptr;
    QLineEdit* date = nullptr;
    QComboBox* kind = nullptr;

private slots:
    void initTestCase() {
        auto* layout = new QVBoxLayout(&form);
        name = new QLineEdit(&form);
        name->setObjectName("TxtKapal");
        mark = new QPlainTextEdit(&form);
        mark->setObjectName("TxtMark");
        date = new QLineEdit(&form);
        date->setObjectName("TxtTglTiba");
        kind = new QComboBox(&form);
        kind->setObjectName("CmbManifest");
        kind->addItems({"Inward", "Outward"});
        for (QWidget* w : std::initializer_list<QWidget*>{name, mark, date, kind})
            layout->addWidget(w);
        KeyGuard::install(&form);
        DateField::attach(date);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
    }

    void init() {
        KeyGuard::LockControls(&form, false);
        name->clear();
        mark->clear();
        date->clear();
    }

    void lettersBecomeCapitalsAndEnterMovesOn() {
        RecordedMessages messages;
        typeInto(name, "o'neil");
        QCOMPARE(name->text(), QString("O'NEIL"));
        pressEnter(name);
        QCOMPARE(QApplication::focusWidget(), mark);
        typeInto(mark, "a");
        pressEnter(mark);
        typeInto(mark, "b");
        QCOMPARE(mark->toPlainText(), QString("A\nB"));
        QTest::keyClick(mark, Qt::Key_Tab);
        QCOMPARE(mark->toPlainText(), QString("A\nB"));
        QCOMPARE(QApplication::focusWidget(), date);
        QVERIFY(messages.take().isEmpty());
    }

    void lockedBoxRefusesTypingWithOneMessage() {
        RecordedMessages messages;
        name->setText("KEEP");
        KeyGuard::LockControls(&form, true);
        typeInto(name, "x");
        QCOMPARE(name->text(), QString("KEEP"));
        QTest::keyClick(name, Qt::Key_Escape);
        const auto log = messages.take();
        QCOMPARE(log.size(), 1);
        QCOMPARE(log[0].text, kLockedMessage);
        QVERIFY(log[0].icon == Messages::Icon::Information);
        QTest::keyClick(kind, Qt::Key_Down);
        QCOMPARE(kind->currentIndex(), 0);
        // Enter in a locked multi-line box neither breaks a line nor moves on.
        mark->setPlainText("KEEP");
        mark->setFocus();
        pressEnter(mark);
        QCOMPARE(QApplication::focusWidget(), mark);
        QCOMPARE(mark->toPlainText(), QString("KEEP"));
    }

    void dateBoxFiltersAndNormalisesOnLeaving() {
        RecordedMessages messages;
        typeInto(date, "30/05/07");
        QCOMPARE(date->text(), QString("300507"));
        name->setFocus();
        QCOMPARE(date->text(), QString("30-05-2007"));
        QVERIFY(messages.take().isEmpty());

        typeInto(date, "x");
        date->setText("31-02-2007");
        name->setFocus();
        QCoreApplication::processEvents();
        const auto log = messages.take();
        QCOMPARE(log.size(), 1);
        QCOMPARE(log[0].text, QString(" Invalid date"));
        QCOMPARE(QApplication::focusWidget(), date);
    }
};

QTEST_MAIN(KeyGuardTest)
#include "KeyGuardTest.moc"
