// Runs under a real X server (xcb), where text boxes claim editing keys such as Ctrl+E and
// Ctrl+U before any shortcut: the clerk's keyboard works there as it does offscreen.

#include "FrmHeader.h"
#include "FrmLogin.h"
#include "GuiTestSupport.h"
#include "Installation.h"
#include "Launcher.h"
#include "MainWindow.h"
#include "ReportPreview.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
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
    // Runs `inside` on the modal screen that `key` in `box` opens, then closes that screen.
    void onModalOpenedBy(QWidget* box, QKeyCombination key,
                         const std::function<void(QWidget*)>& inside) {
        focus(box);
        bool ran = false;
        QTimer::singleShot(0, this, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            QVERIFY(modal);
            inside(modal);
            ran = true;
            if (QApplication::activeModalWidget() == modal)
                modal->close();
        });
        QTest::keyClick(box, key.key(), key.keyboardModifiers());
        QVERIFY(ran);
    }

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
        QString firstVessel;
        onModalOpenedBy(vessel, QKeyCombination(Qt::Key_F4), [&](QWidget* lookup) {
            QCOMPARE(lookup->objectName(), QString("FrmFind"));
            auto* search = child<QLineEdit>(lookup, "TxtFind");
            QTRY_COMPARE(QApplication::focusWidget(), search);
            QTest::keyClick(search, Qt::Key_Down);
            auto* list = child<QTableView>(lookup, "LvFind");
            QCOMPARE(QApplication::focusWidget(), list);
            firstVessel = list->model()->index(0, 0).data().toString();
            QTest::keyClick(list, Qt::Key_Return);
        });
        QVERIFY(!firstVessel.isEmpty());
        QCOMPARE(vessel->text(), firstVessel);
        QVERIFY(!QApplication::activeModalWidget());
    }

    void theHistoryOpensFromATextBoxAndClosesWithEscape() {
        field<QPushButton>("CmdDetail")->click();
        onModalOpenedBy(field<QPlainTextEdit>("TxtShipperNm"),
                        QKeyCombination(Qt::ControlModifier, Qt::Key_H), [](QWidget* history) {
                            QCOMPARE(history->objectName(), QString("FrmRiwayat"));
                            QTest::keyClick(history, Qt::Key_Escape);
                            QTRY_VERIFY(!history->isVisible());
                        });
    }

    void recordsAreWalkedByKeysFromAnyField() {
        launcher->state().Conn.exec("CREATE TEMP TABLE pos AS SELECT * FROM tbldetail");
        for (const char* nopos : {"0002", "0003"}) {
            launcher->state().Conn.exec("UPDATE pos SET nopos = ?", {nopos});
            launcher->state().Conn.exec("INSERT INTO tbldetail SELECT * FROM pos");
        }
        focus(field("TxtKapal"));
        QTest::keyClick(field("TxtKapal"), Qt::Key_D, Qt::AltModifier);
        QTRY_COMPARE(field("TextPos")->text(), QString("0003"));
        QWidget* box = field<QWidget>("TxtShipperNm");
        focus(box);
        const struct {
            Qt::Key key;
            const char* pos;
        } moves[] = {{Qt::Key_Home, "0001"},
                     {Qt::Key_PageDown, "0002"},
                     {Qt::Key_End, "0003"},
                     {Qt::Key_PageUp, "0002"}};
        for (const auto& m : moves) {
            QTest::keyClick(QApplication::focusWidget(), m.key, Qt::AltModifier);
            QCOMPARE(field("TextPos")->text(), QString(m.pos));
        }
        QVERIFY(child<QAction>(window, "first")->toolTip().contains("Alt+Home"));
    }

    void tabLeavesTheListsOfTheGenerateScreen() {
        onModalOpenedBy(field("TxtKapal"), Qt::ControlModifier | Qt::Key_G, [](QWidget* screen) {
            auto* list = child<QTableView>(screen, "LvHeader");
            const QModelIndex current = list->currentIndex();
            for (const Qt::KeyboardModifier direction : {Qt::NoModifier, Qt::ShiftModifier}) {
                list->setFocus(Qt::TabFocusReason);
                QTest::keyClick(list, Qt::Key_Tab, direction);
                QVERIFY(QApplication::focusWidget() != list);
                QCOMPARE(list->currentIndex(), current);
            }
        });
    }

    void theLookupFiltersAsTheClerkTypes_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("pause");
        QTest::newRow("after a pause") << "OCEAN" << true;
        QTest::newRow("Down at once") << "MERATUS" << false;
    }
    void theLookupFiltersAsTheClerkTypes() {
        QFETCH(QString, typed);
        QFETCH(bool, pause);
        window->RunCommand("edit");
        QLineEdit* vessel = field("TxtKapal");
        onModalOpenedBy(vessel, QKeyCombination(Qt::Key_F4), [&](QWidget* lookup) {
            auto* search = child<QLineEdit>(lookup, "TxtFind");
            auto* list = child<QTableView>(lookup, "LvFind");
            typeInto(search, typed);
            if (pause)
                QTRY_COMPARE(list->model()->rowCount(), 1);
            QTest::keyClick(search, Qt::Key_Down);
            QTest::keyClick(list, Qt::Key_Return);
        });
        QVERIFY2(vessel->text().startsWith(typed), qPrintable(vessel->text()));
    }

    void thePreviewPrintsAndSavesFromItsKeys() {
        RecordedMessages messages; // the save dialog is cancelled
        ReportPreview preview(BandedReport{}, "Preview", "report.pdf", window);
        preview.show();
        QVERIFY(QTest::qWaitForWindowActive(&preview));
        auto* print = child<QAction>(&preview, "ActPrint");
        auto* savePdf = child<QAction>(&preview, "ActSavePdf");
        QSignalSpy printed(print, &QAction::triggered);
        QSignalSpy saved(savePdf, &QAction::triggered);
        QTimer closePrintDialog;
        connect(&closePrintDialog, &QTimer::timeout, [&] {
            if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != &preview)
                modal->close();
        });
        closePrintDialog.start(50);
        QWidget* focused = QApplication::focusWidget() ? QApplication::focusWidget() : &preview;
        QTest::keyClick(focused, Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(focused, Qt::Key_S, Qt::AltModifier);
        QTest::keyClick(focused, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(printed.count(), 1);
        QCOMPARE(saved.count(), 2);
        QVERIFY(print->toolTip().contains("Ctrl+P"));
        QVERIFY(savePdf->toolTip().contains("Ctrl+S"));
    }

    void everyFileMenuItemHasAnAccessKeyOfItsOwn() {
        QSet<QKeySequence> keys;
        for (const QAction* item : child<QMenu>(window, "mnFile")->actions()) {
            if (item->isSeparator())
                continue;
            const QKeySequence key = QKeySequence::mnemonic(item->text());
            QVERIFY2(!key.isEmpty() && !keys.contains(key), qPrintable(item->text()));
            keys.insert(key);
        }
        RecordedMessages messages;
        Messages::answerNext(false);
        focus(field("TxtKapal"));
        QTest::keyClick(field("TxtKapal"), Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_X);
        QTRY_COMPARE(Messages::lastText(), QString("Apakah Anda akan keluar dari aplikasi ini?"));
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
