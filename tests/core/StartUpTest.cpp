#include "StartUp.h"
#include "CryptText.h"
#include "Installation.h"
#include "ManifestIni.h"
#include "Schema.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>

using namespace vastrel;
using namespace vastrel::test;

class StartUpTest : public TempDirTest {
protected:
    // An installation whose INI holds `iniTail` below the database values.
    void install(const QByteArray& iniTail, const QString& nama, const QString& kind) {
        Database db = Database::create(path("my data.db"), kTestPassword);
        schema::create(db);
        if (!kind.isEmpty())
            db.exec("INSERT INTO tblsetting (nama, inisial, jenis_manifest) VALUES (?, 'AB', ?)",
                    {nama, kind});
        writeFile("MANIFEST.INI", databaseValuesLine("my data.db", kTestPassword) + iniTail);
    }
    StartScreen start() {
        state = AppState{};
        state.programFolder = folder();
        return StartUp(state);
    }
    AppState state;
};

TEST_F(StartUpTest, ProfilePresentGoesToLoginWithTheDatabaseKind) {
    install("[MANIFEST]\r\nJENIS=1\r\nVERSION=2.1\r\n", "PT A", "0");
    EXPECT_EQ(start(), StartScreen::Login);
    EXPECT_TRUE(state.VarProfile);
    EXPECT_EQ(state.StrJenis, "0");
    EXPECT_EQ(state.StrVersion, "2.1");
    EXPECT_EQ(state.StrInisial, "AB");
}

TEST_F(StartUpTest, EmptyNameOrNoRowGoesToProfile) {
    install("[MANIFEST]\r\n", "", "1");
    EXPECT_EQ(start(), StartScreen::Profile);
    EXPECT_EQ(state.StrJenis, "1");
    EXPECT_EQ(state.StrVersion, "");
}

TEST_F(StartUpTest, EmptySettingTableMeansSea) {
    install("[MANIFEST]\r\nJENIS=1\r\n", "", "");
    EXPECT_EQ(start(), StartScreen::Profile);
    EXPECT_EQ(state.StrJenis, "0");
}

TEST_F(StartUpTest, FailureTable) {
    EXPECT_EQ(start(), StartScreen::IniFailed);
    writeFile("MANIFEST.INI", "\"my data.db\"\r\n");
    EXPECT_EQ(start(), StartScreen::IniFailed);

    writeFile("MANIFEST.INI", databaseValuesLine("missing.db", kTestPassword));
    EXPECT_EQ(start(), StartScreen::ConnectionFailed);

    install("", "PT A", "0");
    writeFile("MANIFEST.INI", databaseValuesLine("my data.db", "wrong password"));
    EXPECT_EQ(start(), StartScreen::ConnectionFailed);
    writeFile("MANIFEST.INI", "\"my data.db\",\"0A1\"\r\n"); // deciphers to nothing
    EXPECT_EQ(start(), StartScreen::ConnectionFailed);

    writeFile("plain.txt", "just text");
    writeFile("MANIFEST.INI", databaseValuesLine("plain.txt", kTestPassword));
    EXPECT_EQ(start(), StartScreen::ConnectionFailed);

    { Database::create(path("bare.db"), kTestPassword).exec("CREATE TABLE x (y)"); }
    writeFile("MANIFEST.INI", databaseValuesLine("bare.db", kTestPassword));
    EXPECT_EQ(start(), StartScreen::ConnectionFailed) << "a database without the tables";
}

TEST_F(StartUpTest, ProgramFolderIsHomeThenEnvironmentThenExecutableFolderThenPerUser) {
    qputenv("XDG_DATA_HOME", "/data");
    const QString program = folder();
    const struct {
        const char* env; // VASTREL_HOME
        QStringList arguments;
        bool iniBesideProgram;
        QString expected;
    } cases[] = {
        {"/env/v", {"vastrel", "--home", "/arg/v"}, true, "/arg/v"},
        {"", {"vastrel", "--home", "/arg/v"}, false, "/arg/v"},
        {"/env/v", {"vastrel"}, true, "/env/v"},
        {"", {"vastrel"}, true, program},
        {"", {"vastrel"}, false, "/data/vastrel"},
    };
    for (const auto& c : cases) {
        qputenv("VASTREL_HOME", c.env);
        QFile::remove(path("MANIFEST.INI"));
        if (c.iniBesideProgram)
            writeFile("MANIFEST.INI", "");
        EXPECT_EQ(resolveProgramFolder(c.arguments, program), c.expected) << c.env;
        // Only a folder the user named is refused plainly when it holds no installation.
        const bool named = c.expected != program && c.expected != "/data/vastrel";
        EXPECT_EQ(namedProgramFolder(c.arguments), named ? c.expected : "") << c.env;
    }
    EXPECT_EQ(resolveProgramFolder({"vastrel-admin"}, QString()), "") << "the admin tool asks";
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(userDataFolder(), QDir::home().filePath(".local/share/vastrel"));
    qunsetenv("VASTREL_HOME");
}

TEST(CommandLine, HelpVersionAndMistakesAreToldBeforeAnyWindow) {
    const std::pair<QStringList, CommandLineAction> cases[] = {
        {{"vastrel"}, CommandLineAction::Run},
        {{"vastrel", "--home", "/h", "-platform", "offscreen"}, CommandLineAction::Run},
        {{"vastrel", "--help"}, CommandLineAction::Help},
        {{"vastrel", "-h"}, CommandLineAction::Help},
        {{"vastrel", "--home", "/h", "--version"}, CommandLineAction::Version},
        {{"vastrel", "--home"}, CommandLineAction::Mistake},
        {{"vastrel", "--colour"}, CommandLineAction::Mistake},
    };
    for (const auto& [arguments, action] : cases)
        EXPECT_EQ(parseCommandLine(arguments), action) << arguments.join(' ').toStdString();
}
