// Runs under a real X server (xcb), where text boxes claim editing keys such as Ctrl+E and
// Ctrl+U before any shortcut: the clerk's keyboard works there as it does offscreen.

#include "FrmHeader.h"
#include "FrmLogin.h"
#include "GuiTestSupport.h"
#include "Installation.h"
#include "Launcher.h"
#include "MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

using namespace vastrel;
using namespace vastrel::test;

class DesktopKeysTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<Launcher> launcher;
    MainWindow* window = nullptr;

    template <typename T = QLineEdit> T* field(const char* name) {
        return child<T>(window->entryScreen(), name);
    }
    // Puts the keyboard focus in `box` of the active main window, as a click would.
    void focus(QWidget* box) {
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        box->setFocus(Qt::MouseFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), box);
    }
    bool editing() const { return window->command("save")->isEnabled(); }

private slots:
    void init() {
        QDir(dir.path()).removeRecursively();
        initInstallation({dir.path(), "pw", false, true});
        launcher = std::make_unique<Launcher>(dir.path());
        QVERIFY(launcher->startUp());
        child<QLineEdit>(launcher->login(), "TxtUser")->setText("DEMO");
        child<QLineEdit>(launcher->login(), "TxtPassword")->setText("DEMO");
        launcher->login()->CmdLogin_Click();
        window = launcher->mainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        window->RunCommand("open");
    }
    void cleanup() { launcher.reset(); }

    void editAndUndoRunFromEveryKindOfBox() {
        RecordedMessages messages;
        const struct {
            const char* box;
            bool detail;
        } boxes[] = {{"TxtKapal", false}, {"TxtShipperNm", true}};
        for (const auto& b : boxes) {
            if (b.detail)
                field<QPushButton>("CmdDetail")->click();
            QWidget* box = field<QWidget>(b.box);
            const QString before = box->property(b.detail ? "plainText" : "text").toString();
            focus(box);
            QTest::keyClick(box, Qt::Key_E, Qt::ControlModifier); // locked: begins the edit
            QVERIFY2(editing(), b.box);
            QTest::keyClick(box, Qt::Key_U, Qt::ControlModifier); // editable: undoes it
            QVERIFY2(!editing(), b.box);
            QCOMPARE(box->property(b.detail ? "plainText" : "text").toString(), before);
        }
    }

    void aLookupIsOpenedAndPickedByKeyboardAlone() {
        window->RunCommand("edit");
        QLineEdit* vessel = field("TxtKapal");
        focus(vessel);
        QString firstVessel;
        QTimer::singleShot(0, this, [&] {
            QWidget* lookup = QApplication::activeModalWidget();
            QVERIFY(lookup && lookup->objectName() == "FrmFind");
            auto* search = child<QLineEdit>(lookup, "TxtFind");
            QTRY_COMPARE(QApplication::focusWidget(), search);
            QTest::keyClick(search, Qt::Key_Down);
            auto* list = child<QTableView>(lookup, "LvFind");
            QCOMPARE(QApplication::focusWidget(), list);
            firstVessel = list->model()->index(0, 0).data().toString();
            QTest::keyClick(list, Qt::Key_Return);
        });
        QTest::keyClick(vessel, Qt::Key_F4);
        QVERIFY(!firstVessel.isEmpty());
        QCOMPARE(vessel->text(), firstVessel);
        QVERIFY(!QApplication::activeModalWidget());
    }

    void menusOpenFromTheKeyboard() {
        const struct {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
        } keys[] = {{Qt::Key_F, Qt::AltModifier}, {Qt::Key_F10, Qt::NoModifier}};
        for (const auto& k : keys) {
            focus(field("TxtKapal"));
            QTest::keyClick(QApplication::focusWidget(), k.key, k.modifiers);
            QTRY_VERIFY(window->menuBar()->activeAction());
            QCOMPARE(window->menuBar()->activeAction(),
                     child<QMenu>(window, "mnFile")->menuAction());
            QTest::keyClick(window->menuBar(), Qt::Key_Escape);
            QTest::keyClick(window->menuBar(), Qt::Key_Escape);
        }
    }
};

QTEST_MAIN(DesktopKeysTest)
#include "DesktopKeysTest.moc"
