#include "FrmAbout.h"
#include "FrmFirstRun.h"
#include "FrmLogin.h"
#include "FrmSetting.h"
#include "GuiTestSupport.h"
#include "Installation.h"
#include "ManifestIni.h"
#include "StartUp.h"
#include "TestSupport.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTemporaryDir>

using namespace vastrel;
using namespace vastrel::test;

class FrameTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    TestStore store;
    AppState state;

    void writeFile(const QString& name, const QByteArray& content) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

private slots:
    void initTestCase() {
        initInstallation(store.onEngine({dir.path(), "pw", false, true, "o'neil", "secret"}));
        state.programFolder = dir.path();
        QVERIFY(StartUp(state) == StartScreen::Login);
    }

    void loginMessagesComeInOrder() {
        RecordedMessages messages;
        FrmLogin login(state);
        login.show();
        auto* user = child<QLineEdit>(&login, "TxtUser");
        auto* password = child<QLineEdit>(&login, "TxtPassword");
        QCOMPARE(
            password->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, password),
            int('*'));
        QSignalSpy spy(&login, &FrmLogin::loggedIn);

        login.CmdLogin_Click();
        QCOMPARE(Messages::lastText(), QString("Silahkan isi user name Anda"));
        typeInto(user, "demo");
        QCOMPARE(user->text(), QString("DEMO"));
        login.CmdLogin_Click();
        QCOMPARE(Messages::lastText(), QString("Silahkan isi password Anda"));
        typeInto(password, "wrong");
        login.CmdLogin_Click();
        QCOMPARE(Messages::lastText(), QString("User dan password Anda salah!, coba lagi"));
        QCOMPARE(user->selectedText(), QString("DEMO"));
        QCOMPARE(spy.count(), 0);
        QCOMPARE(messages.take().size(), 3);

        password->clear();
        typeInto(password, "demo");
        pressEnter(password);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy[0][0].toString(), QString("DEMO"));
    }

    void closingTheLoginEndsLikeCancel() {
        FrmLogin login(state);
        QSignalSpy spy(&login, &FrmLogin::cancelled);
        login.show();
        login.close();
        QCOMPARE(spy.count(), 1);
    }

    void loginWithAQuoteInTheName() {
        RecordedMessages messages;
        FrmLogin login(state);
        QSignalSpy spy(&login, &FrmLogin::loggedIn);
        child<QLineEdit>(&login, "TxtUser")->setText("O'NEIL");
        child<QLineEdit>(&login, "TxtPassword")->setText("SECRET");
        login.CmdLogin_Click();
        QCOMPARE(spy.count(), 1);
    }

    void aboutShowsEveryLineOrSaysTheFileIsMissing() {
        QVERIFY(FrmAbout::readNotes(dir.filePath("elsewhere/About.INI")).contains("About.INI"));
        writeFile("About.INI", "1.0 first\r\n1.1 second\nthird");
        FrmAbout about(dir.path());
        QCOMPARE(child<QPlainTextEdit>(&about, "TxtNotes")->toPlainText(),
                 QString("1.0 first\n1.1 second\nthird\n"));
        writeFile("About.INI", "");
        QCOMPARE(FrmAbout::readNotes(dir.filePath("About.INI")), QString());
    }

    void settingWritesOnlyAChosenKind() {
        const QString ini = dir.filePath("MANIFEST.INI");
        WriteINI(ini, "MANIFEST", "JENIS", "2");
        FrmSetting setting(ini);
        auto* laut = child<QRadioButton>(&setting, "OpLaut");
        auto* udara = child<QRadioButton>(&setting, "OpUdara");
        QVERIFY(!laut->isChecked() && !udara->isChecked());
        setting.CmdSave_Click();
        QCOMPARE(GetINI(ini, "MANIFEST", "JENIS", "0"), QString("2"));
        udara->setChecked(true);
        setting.CmdSave_Click();
        QCOMPARE(GetINI(ini, "MANIFEST", "JENIS", "0"), QString("1"));
        QVERIFY(readDatabaseValues(ini).has_value());
        // A save that cannot be written says so and leaves the file as it was.
        RecordedMessages messages;
        laut->setChecked(true);
        {
            test::FileSizeLimit fullDisk(8);
            setting.CmdSave_Click();
        }
        QVERIFY2(messages.take().value(0).text.contains("Gagal menulis"), "no message");
        QCOMPARE(GetINI(ini, "MANIFEST", "JENIS", "0"), QString("1"));
    }

    void firstRunRefusesIncompleteEntriesThenCreatesTheInstallation() {
        QTemporaryDir home;
        const QString folder = home.filePath("vastrel");
        FrmFirstRun first(folder);
        const auto box = [&](const char* name) { return child<QLineEdit>(&first, name); };
        const struct {
            const char* dbPassword;
            const char* dbPasswordAgain;
            const char* user;
            const char* userPassword;
            const char* userPasswordAgain;
            bool demo;
            const char* message;
            const char* focus;
        } refusals[] = {
            {"", "", "ani", "u", "u", false, "Silahkan isi password database", "TxtDbPassword"},
            {"db", "bd", "ani", "u", "u", false, "Ulangan password database tidak sama",
             "TxtDbPassword2"},
            {"db", "db", " ", "u", "u", false, "Silahkan isi user name Anda", "TxtUser"},
            {"db", "db", "demo", "u", "u", true,
             "User DEMO sudah ada pada data contoh, pilih nama lain", "TxtUser"},
            {"db", "db", "ani", "", "", false, "Silahkan isi password user", "TxtUserPassword"},
            {"db", "db", "ani", "u", "v", false, "Ulangan password user tidak sama",
             "TxtUserPassword2"},
        };
        first.show();
        RecordedMessages messages;
        for (const auto& r : refusals) {
            box("TxtDbPassword")->setText(r.dbPassword);
            box("TxtDbPassword2")->setText(r.dbPasswordAgain);
            box("TxtUser")->setText(r.user);
            box("TxtUserPassword")->setText(r.userPassword);
            box("TxtUserPassword2")->setText(r.userPasswordAgain);
            child<QCheckBox>(&first, "ChkDemo")->setChecked(r.demo);
            first.CmdCreate_Click();
            QCOMPARE(messages.take().value(0).text, QString(r.message));
            QCOMPARE(first.focusWidget(), box(r.focus));
            QVERIFY2(!QDir(folder).exists(), r.message);
        }

        box("TxtUserPassword2")->setText("u");
        child<QRadioButton>(&first, "OpUdara")->setChecked(true);
        QVERIFY(child<QCheckBox>(&first, "ChkReference")->isChecked());
        first.CmdCreate_Click();
        // The packs are in; what the agency must give is said, with how to fill it.
        const QString said = messages.take().value(0).text;
        for (const char* empty : {"Pelabuhan", "KPBC", "Grup Manifes"})
            QVERIFY2(said.contains(empty), qPrintable(said));
        for (const char* filled : {"Satuan Kemasan", "Kode HS"})
            QVERIFY2(!said.contains(filled), qPrintable(said));
        QCOMPARE(first.result(), int(QDialog::Accepted));
        AppState created;
        created.programFolder = folder;
        QVERIFY(StartUp(created) == StartScreen::Profile);
        QCOMPARE(created.Conn.scalar("SELECT count(*) FROM tblkemasan").toInt(), 405);
        QCOMPARE(GetINI(created.iniPath(), "MANIFEST", "JENIS", ""), QString("1"));
        FrmLogin login(created);
        child<QLineEdit>(&login, "TxtUser")->setText("ani");
        child<QLineEdit>(&login, "TxtPassword")->setText("u");
        QSignalSpy loggedIn(&login, &FrmLogin::loggedIn);
        login.CmdLogin_Click();
        QCOMPARE(loggedIn.count(), 1);

        // A database left without its MANIFEST.INI is never overwritten.
        QFile::remove(created.iniPath());
        first.CmdCreate_Click();
        QVERIFY(messages.take().value(0).text.contains("sudah berisi instalasi"));
        QVERIFY(QFile::exists(QDir(folder).filePath(kDefaultDbFileName)));
    }
};

QTEST_MAIN(FrameTest)
#include "FrameTest.moc"
