#include "MainWindow.h"
#include "DemoData.h"
#include "FlatFile.h"
#include "FrmFirstRun.h"
#include "FrmHeader.h"
#include "FrmLogin.h"
#include "GuiTestSupport.h"
#include "Installation.h"
#include "Launcher.h"
#include "ManifestIni.h"
#include "Readiness.h"
#include "ReferenceTestSupport.h"
#include "StartUp.h"
#include "TestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>

using namespace vastrel;
using namespace vastrel::test;

namespace {

// The enabled commands, in the order New, Edit, Open, Save, Delete, Undo, Generate.
QString enabledCommands(MainWindow& window) {
    QString states;
    for (const char* key : {"new", "edit", "open", "save", "delete", "undo", "generate"})
        states += window.command(key)->isEnabled() ? 'T' : 'F';
    return states;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::optional<TestStore> store;
    std::unique_ptr<Launcher> launcher;
    MainWindow* window = nullptr;

private slots:
    void init() {
        QVERIFY(dir.isValid());
        QDir(dir.path()).removeRecursively();
        store.emplace();
        initInstallation(store->onEngine({dir.path(), "pw", false, true}));
        launcher = std::make_unique<Launcher>(dir.path());
        QVERIFY(launcher->startUp());
        FrmLogin* login = launcher->login();
        QVERIFY(login);
        child<QLineEdit>(login, "TxtUser")->setText("demo");
        child<QLineEdit>(login, "TxtPassword")->setText("DEMO");
        login->CmdLogin_Click();
        window = launcher->mainWindow();
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        window->activateWindow();
    }

    void cleanup() {
        Messages::stopRecording();
        launcher.reset();
    }

    void afterLoginOnlyNewOpenGenerateAndExit() {
        QCOMPARE(enabledCommands(*window), QString("TFTFFFT"));
        // A disabled command's icon is plainly faded, also where the icon is grey already.
        const auto opacity = [](const QIcon& icon, QIcon::Mode mode) {
            const QImage image = icon.pixmap(24, mode).toImage();
            long alpha = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    alpha += qAlpha(image.pixel(x, y));
            return alpha;
        };
        for (QAction* command : child<QToolBar>(window, "TB1")->actions())
            QVERIFY2(opacity(command->icon(), QIcon::Disabled) <
                         opacity(command->icon(), QIcon::Normal) / 2,
                     qPrintable(command->objectName()));
        QVERIFY(window->command("exit")->isEnabled());
        QCOMPARE(child<QLabel>(window, "StBarPanel1")->text(), QString("User Name : DEMO"));
        QCOMPARE(window->windowTitle(), QString("Vastrel Laut 1.0"));
        QVERIFY(!child<QToolBar>(window, "TB2")->isVisible());
    }

    void commandStatesFollowTheEntry() {
        RecordedMessages messages;
        window->RunCommand("open");
        QVERIFY(window->entryScreen());
        QCOMPARE(enabledCommands(*window), QString("TTFFTFT"));
        QVERIFY(child<QToolBar>(window, "TB2")->isVisible());
        window->RunCommand("edit");
        QCOMPARE(enabledCommands(*window), QString("FFFTFTT"));
        window->RunCommand("undo");
        QCOMPARE(enabledCommands(*window), QString("TTFFTFT"));
        window->RunCommand("new");
        QCOMPARE(enabledCommands(*window), QString("FFFTFTT"));
        window->RunCommand("undo");
        QVERIFY(!window->entryScreen() || !window->entryScreen()->isVisible());
        QCOMPARE(enabledCommands(*window), QString("TFTFFFT"));
    }

    void aNewManifestStaysOnScreenAfterItsSave() {
        RecordedMessages messages;
        window->RunCommand("new");
        FrmHeader* entry = window->entryScreen();
        QCOMPARE(QApplication::focusWidget(), child<QWidget>(entry, "CmbManifest"));
        const struct {
            const char* box;
            const char* text;
        } fields[] = {{"TxtKapal", "KM BARU"},   {"TxtNoVoy", "V01"},
                      {"TxtDate", "01-12-2024"}, {"TxtTime", "0830"},
                      {"TxtMasterNoBL", "MBL1"}, {"TxtMasterTglBL", "01-12-2024"}};
        for (const auto& f : fields)
            child<QLineEdit>(entry, f.box)->setText(f.text);
        window->RunCommand("save");
        QCOMPARE(child<QLineEdit>(entry, "TextNoDaftar")->text(), QString("000002"));
        QCOMPARE(child<QLineEdit>(entry, "TxtTime")->text(), QString("08:30"));
        QCOMPARE(enabledCommands(*window), QString("TTFFTFT"));
        QVERIFY(child<QToolBar>(window, "TB2")->isVisible());
        child<QAction>(window, "prev")->trigger();
        QCOMPARE(child<QLineEdit>(entry, "TextNoDaftar")->text(), QString("000001"));
    }

    void aManifestFoundBySearchStaysOnScreenAfterItsSave() {
        RecordedMessages messages;
        for (const char* key : {"20240316000002", "20240317000003"})
            launcher->state().Conn.exec("INSERT INTO tblheader (nodaftar, jnsmanifest, kdgrup, "
                                        "arrivingdate, arrivingtime, no_master, tgl_master) "
                                        "VALUES (?, 'Inward', 'A1', '2024-03-16', '08:30:00', "
                                        "'MBL2', '2024-03-09')",
                                        {key});
        QTimer::singleShot(0, [] {
            QWidget* search = QApplication::activeModalWidget();
            auto* headers = child<QTableView>(search, "LvHeader");
            headers->setCurrentIndex(
                headers->model()
                    ->match(headers->model()->index(0, 0), Qt::DisplayRole, "20240316000002")
                    .value(0));
            child<QPushButton>(search, "CmdOk")->click();
        });
        child<QAction>(window, "mnSearch")->trigger();
        FrmHeader* entry = window->entryScreen();
        window->RunCommand("edit");
        child<QLineEdit>(entry, "TxtNoVoy")->setText("V02");
        window->RunCommand("save");
        QCOMPARE(child<QLineEdit>(entry, "TextNoDaftar")->text() + " " +
                     child<QLineEdit>(entry, "TxtNoVoy")->text(),
                 QString("000002 V02"));
    }

    void historyShowsTheShownManifestOrPosNewestFirst() {
        RecordedMessages messages;
        QAction* history = child<QAction>(window, "mnRiwayat");
        QVERIFY(!history->isEnabled());
        window->RunCommand("open");
        FrmHeader* entry = window->entryScreen();
        window->RunCommand("edit");
        child<QLineEdit>(entry, "TxtNoVoy")->setText("V09");
        window->RunCommand("save");
        child<QPushButton>(entry, "CmdDetail")->click();
        window->RunCommand("edit");
        child<QLineEdit>(entry, "TxtBerat")->setText("99");
        window->RunCommand("save");
        QCOMPARE(textsOf(messages.take()), QStringList{"Data berhasil disimpan"});

        // Ctrl+H from a field of the shown half.
        const auto shown = [&](const char* field) {
            QStringList rows;
            window->activateWindow(); // back from the last history window
            if (!QTest::qWaitForWindowActive(window))
                return QStringList{"the window is not active"};
            const bool opened = inNextModal<QDialog>(
                [&] {
                    QTest::keyClick(child<QLineEdit>(entry, field), Qt::Key_H, Qt::ControlModifier);
                },
                [&](QDialog* dialog) {
                    const auto* list = child<QTableView>(dialog, "LvRiwayat");
                    QVERIFY(list->editTriggers() == QAbstractItemView::NoEditTriggers);
                    rows << dialog->windowTitle();
                    for (int row = 0; row < list->model()->rowCount(); ++row)
                        rows << QStringList{list->model()->index(row, 1).data().toString(),
                                            list->model()->index(row, 3).data().toString(),
                                            list->model()->index(row, 5).data().toString(),
                                            list->model()->index(row, 6).data().toString()}
                                    .join('|');
                });
            return opened ? rows : QStringList{"no history window"};
        };
        const QString key = "20240315000001";
        QCOMPARE(shown("TxtBerat"), QStringList({"Riwayat POS 0001 Manifest " + key,
                                                 "DEMO|POS|ubah|bruto 1234.5 -> 99"}));
        child<QPushButton>(entry, "CmdHeader")->click();
        QCOMPARE(shown("TxtNoVoy"),
                 QStringList({"Riwayat Manifest " + key, "DEMO|POS|ubah|bruto 1234.5 -> 99",
                              "DEMO|Header|ubah|voyage 012N -> V09"}));
        entry->parentWidget()->close();
        QTRY_VERIFY(!history->isEnabled());
    }

    void deleteAnsweredNoKeepsTheManifest() {
        RecordedMessages messages;
        window->RunCommand("open");
        Messages::answerNext(false);
        window->RunCommand("delete");
        const auto log = messages.take();
        QCOMPARE(log.size(), 1);
        QCOMPARE(log[0].title, QString("Informtion"));
        QCOMPARE(log[0].text, QString("Apakah Anda akan menghapus Header ini?"));
        QCOMPARE(GetStatus(launcher->state().Conn, "20240315000001"), QString("Y"));
    }

    void exitAnsweredNoKeepsTheWindow() {
        RecordedMessages messages;
        Messages::answerNext(false);
        QVERIFY(!window->close());
        QVERIFY(window->isVisible());
        QCOMPARE(messages.take().value(0).text,
                 QString("Apakah Anda akan keluar dari aplikasi ini?"));
    }

    void backupWritesACopyThatOpensOrSaysWhyNot() {
        if (onTestServer()) { // the server's own tools back it up
            RecordedMessages messages;
            child<QAction>(window, "mnBackup")->trigger();
            const auto log = messages.take();
            QCOMPARE(log.size(), 1);
            QCOMPARE(
                log[0].text,
                QString("Database di server dibackup dengan alat server itu sendiri (pg_dump)"));
            return;
        }
        const struct {
            const char* target;
            const char* message;
        } cases[] = {
            {"copy.db", "Backup database telah dibuat"},
            {"missing/copy.db", "Folder tidak ditemukan"},
        };
        for (const auto& c : cases) {
            RecordedMessages messages;
            Messages::nextFileName(dir.filePath(c.target));
            child<QAction>(window, "mnBackup")->trigger();
            const auto log = messages.take();
            QCOMPARE(log.size(), 2);
            QVERIFY(log[0].text.contains("manifest-backup-" +
                                         QDate::currentDate().toString("yyyyMMdd") + ".db"));
            QVERIFY2(log[1].text.contains(c.message), qPrintable(log[1].text));
        }
        QCOMPARE(Database::open(dir.filePath("copy.db"), "pw")
                     .scalar("SELECT count(*) FROM tblheader")
                     .toInt(),
                 1);
    }

    void filesAreImportedAfterTheirSummaryOrRefusedWithTheirProblems() {
        const QString flat = dir.filePath("partner.txt");
        const QString broken = dir.filePath("broken.txt");
        const QString book = dir.filePath("book");
        const QString badBook = dir.filePath("bad");
        FlatFile(launcher->state().Conn, kDemoManifestKey, "0").CreateFlatFile(flat);
        const std::pair<QString, QByteArray> files[] = {
            {broken, "HDR99 not a flat file\r\n"},
            {book + "/Header.csv", "jnsmanifest,vessel,voyage,kdgrup,arrivingdate,arrivingtime,"
                                   "no_master,tgl_master\nInward,MV TEST,V01,A1,15-03-2024,"
                                   "08:30,MBL1,14-03-2024\n"},
            {book + "/POS.csv", "nobl,tglbl,mot_vessel,pasalcd,pmuatcd,pbongkarcd,pakhircd,snm,"
                                "cnm,bruto,volume,jmlkemasan,satuankemasan\nBL1,14-03-2024,"
                                "MOTHER,SGSIN,SGSIN,IDTPP,IDTPP,SHIPPER,CONS,10.5,1.25,12,PK\n"},
            {book + "/Barang.csv", "nobl,hs,uraian\nBL1,847130,LAPTOPS\n"},
            {badBook + "/POS.csv", "nobl,NOBL\nBL1,BL1\n"},
        };
        QDir().mkpath(book);
        QDir().mkpath(badBook);
        for (const auto& [name, content] : files) {
            QFile file(name);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        }
        const struct {
            const char* action;
            QString file;
            QStringList shown; // in the box after the file dialog and the last, in Indonesian
            int manifests;     // afterwards
        } cases[] = {
            {"mnImportFlatFile",
             broken,
             {"2 masalah dalam file\nbaris 1 kolom 1: id record \"HDR99\" tidak dikenal\n"
              "baris 1 kolom 1: file tidak berisi record HDR01"},
             1},
            {"mnImportSpreadsheet",
             badBook,
             {"POS baris 1: kolom \"nobl\" ditulis dua kali\nHeader: sheet ini tidak berisi "
              "baris header\nPOS baris 2: tglbl harus diisi\n"},
             1},
            {"mnImportFlatFile",
             flat,
             {"(baru): 1 POS (0001-0001), 1 baris barang, 1 kontainer, 0 dokumen, 0 peringatan",
              "Data telah diimpor ke manifes "},
             2},
            {"mnImportSpreadsheet",
             book,
             {"(baru): 1 POS (0001-0001), 1 baris barang, 0 kontainer", "Data telah diimpor"},
             3},
        };
        for (const auto& c : cases) {
            RecordedMessages messages;
            Messages::nextFileName(c.file);
            child<QAction>(window, c.action)->trigger();
            const auto log = messages.take();
            QVERIFY2(log.value(1).text.contains(c.shown.first()), qPrintable(log.value(1).text));
            QVERIFY2(log.last().text.contains(c.shown.last()), qPrintable(log.last().text));
            QCOMPARE(launcher->state().Conn.scalar("SELECT count(*) FROM tblheader").toInt(),
                     c.manifests);
        }
        // The last imported manifest is on screen.
        QVERIFY(window->entryScreen());
        QCOMPARE(child<QLineEdit>(window->entryScreen(), "TextNoDaftar")->text(),
                 QString("000003"));
    }

    void withoutAnInstallationAFirstRunIsOfferedWhereTheProgramLooksByItself() {
        QTemporaryDir empty;
        const QString folder = empty.filePath("vastrel");
        QVERIFY2(!Launcher(folder, false).startUp(), "a folder the user named is refused");
        QVERIFY(!QDir(folder).exists());

        Launcher first(folder, true);
        QSignalSpy finished(&first, &Launcher::finished);
        QVERIFY(first.startUp());
        FrmFirstRun* dialog = first.firstRun();
        QVERIFY(dialog && dialog->isVisible());
        for (const char* name : {"TxtDbPassword", "TxtDbPassword2"})
            child<QLineEdit>(dialog, name)->setText("db");
        child<QLineEdit>(dialog, "TxtUser")->setText("ani");
        for (const char* name : {"TxtUserPassword", "TxtUserPassword2"})
            child<QLineEdit>(dialog, name)->setText("u");
        child<QCheckBox>(dialog, "ChkDemo")->setChecked(true);
        child<QPushButton>(dialog, "CmdCreate")->click();
        QVERIFY2(first.login(), "the demo data holds a profile: the login follows");
        QVERIFY(finished.isEmpty());

        QTemporaryDir other;
        Launcher cancelled(other.filePath("vastrel"), true);
        QSignalSpy ended(&cancelled, &Launcher::finished);
        QVERIFY(cancelled.startUp());
        child<QPushButton>(cancelled.firstRun(), "CmdCancel")->click();
        QCOMPARE(ended.value(0).value(0).toInt(), 0);
        QVERIFY(!QDir(other.filePath("vastrel")).exists());
    }

    void aServerThatRefusesThePasswordIsSaidBeneathTheStartUpMessage() {
        if (!onTestServer())
            QSKIP("a server's refusal");
        const QString iniPath = QDir(dir.path()).filePath(kIniFileName);
        const QString uri = readDatabaseValues(iniPath)->dbName;
        QFile ini(iniPath);
        QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write(databaseValuesLine(uri, "wrong password"));
        ini.close();
        RecordedMessages messages;
        QVERIFY(!Launcher(dir.path(), false).startUp());
        const QString shown = messages.take().value(0).text;
        QVERIFY2(shown.startsWith(kConnectionFailedMessage +
                                  "\nPassword database ditolak oleh server untuk user vastrel"),
                 qPrintable(shown));
    }

    void navigationIsIgnoredBeforeOpen() {
        child<QAction>(window, "next")->trigger();
        QVERIFY(!window->entryScreen());
    }

    void screenshotOfTheMainWindow() {
        RecordedMessages messages;
        window->RunCommand("open");
        window->resize(1100, 760);
        QCoreApplication::processEvents();
        QVERIFY(window->grab().save(QCoreApplication::applicationDirPath() + "/main-window.png"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
