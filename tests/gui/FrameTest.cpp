#include "FrmAbout.h"
#include "FrmLogin.h"
#include "FrmSetting.h"
#include "GuiTestSupport.h"
#include "Installation.h"
#include "ManifestIni.h"
#include "StartUp.h"
#include "TestSupport.h"

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
    AppState state;

    void writeFile(const QString& name, const QByteArray& content) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

private slots:
    void initTestCase() {
        initInstallation({dir.path(), "pw", false, true});
        state.programFolder = dir.path();
        QVERIFY(StartUp(state) == StartScreen::Login);
        Database db = openInstallation(dir.path());
        addUser(db, "o'neil", "secret");
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
        QVERIFY(FrmAbout::readNotes(dir.filePath("About.INI")).contains("About.INI"));
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
};

QTEST_MAIN(FrameTest)
#include "FrameTest.moc"
