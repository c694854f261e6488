#include "CsvImport.h"
#include "DemoData.h"
#include "Installation.h"
#include "PasswordHash.h"
#include "StartUp.h"
#include "TestSupport.h"
#include "UserError.h"

#include <QDir>
#include <QProcess>

using namespace vastrel;
using namespace vastrel::test;

class AdminTest : public TempDirTest {
protected:
    void SetUp() override { initInstallation({folder(), kTestPassword, false, true}); }
    int count(const QString& table) {
        return openInstallation(folder()).scalar("SELECT count(*) FROM " + table).toInt();
    }
    void import(const QString& table, const QByteArray& csv,
                CsvEncoding encoding = CsvEncoding::Utf8) {
        writeFile("in.csv", csv);
        Database db = openInstallation(folder());
        importCsv(db, table, path("in.csv"), encoding);
    }
    QString importError(const QString& table, const QByteArray& csv) {
        try {
            import(table, csv);
        } catch (const DbError& e) {
            return QString::fromUtf8(e.what());
        }
        return {};
    }
};

TEST_F(AdminTest, DemoInstallationStartsAtLoginWithAReadyManifest) {
    AppState state;
    state.programFolder = folder();
    EXPECT_EQ(StartUp(state), StartScreen::Login);
    EXPECT_EQ(state.StrInisial, "VST");
    const QVariant status = state.Conn.scalar("SELECT status FROM tblheader WHERE nodaftar = ?",
                                              {QString(kDemoManifestKey)});
    EXPECT_EQ(status.toString(), "Y");
    const QString hash = state.Conn.scalar("SELECT password FROM tbluser").toString();
    EXPECT_TRUE(verifyPassword("demo", hash));
    EXPECT_FALSE(verifyPassword("DEMO1", hash));
    EXPECT_THROW(initInstallation({folder(), kTestPassword, false, false}), UserError)
        << "a folder with an installation is refused";
}

TEST_F(AdminTest, ANewInstallationHasAboutNotesAndTheCarriersOfItsKind) {
    const struct {
        bool air;
        const char* carriers;
    } kinds[] = {{false, "MERATUS JAYA|OCEAN STAR|SEA BREEZE"},
                 {true, "CATHAY PACIFIC|GARUDA INDONESIA|SINGAPORE AIRLINES"}};
    for (const auto& kind : kinds) {
        const QString home = kind.air ? "air" : "sea";
        initInstallation({path(home), kTestPassword, kind.air, true});
        EXPECT_TRUE(readFile(home + "/About.INI").endsWith(" Instalasi baru\r\n"));
        Database db = openInstallation(path(home));
        QStringList carriers;
        const RowSet rows = db.query("SELECT nmkapal FROM tblkapal ORDER BY nmkapal");
        for (int row = 0; row < rows.recordCount(); ++row)
            carriers << rows.row(row).value(0).toString();
        EXPECT_EQ(carriers.join('|'), kind.carriers);
    }
    QDir(folder()).mkdir("own");
    writeFile("own/About.INI", "2.0 kept\r\n");
    initInstallation({path("own"), kTestPassword, false, false});
    EXPECT_EQ(readFile("own/About.INI"), "2.0 kept\r\n") << "a shipped history is kept";
}

TEST_F(AdminTest, UsersAreHashedAndUnique) {
    Database db = openInstallation(folder());
    addUser(db, "clerk", "Pa55");
    const QString stored =
        db.scalar("SELECT password FROM tbluser WHERE user = 'CLERK'").toString();
    EXPECT_FALSE(stored.contains("Pa55", Qt::CaseInsensitive));
    EXPECT_TRUE(verifyPassword("pA55", stored));
    EXPECT_THROW(addUser(db, "Clerk", "x"), DbError);
}

TEST_F(AdminTest, ImportLoadsAllRowsWithQuotedValues) {
    import("tblkapal", "\xEF\xBB\xBFNMKAPAL\r\n\"O'NEIL, \"\"THE\"\" SHIP\"\r\nKM BARU\r\n");
    EXPECT_EQ(count("tblkapal"), 5);
    import("tblkapal", "NMKAPAL\nCAF\xC9\n", CsvEncoding::Windows1252);
    import("tblGrup", "kdgrup,urkdgrup,inward,outward,adadetil\n12X,TEST,-1,0,9\n");
    EXPECT_EQ(openInstallation(folder())
                  .scalar("SELECT inward FROM tblGrup WHERE kdgrup = '12X'")
                  .toInt(),
              -1);
    for (const QString name : {"O'NEIL, \"THE\" SHIP", "CAF\u00C9"})
        EXPECT_EQ(openInstallation(folder())
                      .scalar("SELECT count(*) FROM tblkapal WHERE nmkapal = ?", {name})
                      .toInt(),
                  1)
            << name.toStdString();
}

TEST_F(AdminTest, ImportRefusesBadFilesWithTheLineAndLoadsNothing) {
    const int before = count("tblheader");
    const struct {
        const char* table;
        QByteArray csv;
        QString expected;
    } cases[] = {
        {"tblheader", "nodaftar,arrivingdate\nK1,2024-03-01\nK2,31-02-2024\n", "line 3"},
        {"tblheader", "nodaftar,arrivingdate\nK1\n", "line 2: expected 2 values"},
        {"tblheader", "vessel\nX\n", "\"nodaftar\" is missing"},
        {"tblheader", "nodaftar,nosuch\nK1,2\n", "no column \"nosuch\""},
        {"tblGrup", "kdgrup,inward\nZZ,maybe\n", "line 2"},
        {"tblkemasan", "kdedi\nPK\n", "line 2"}, // already in the demo set
        {"tblnothing", "a\n1\n", "Unknown table"},
        {"tblGrup", "kdgrup,adadetil\nZ1,nan\n", "\"nan\" in column adadetil is not a number"},
        {"tblGrup", "kdgrup,adadetil\nZ1,INF\n", "line 2"},
        {"tblGrup", "kdgrup,adadetil\nZ1,-inf\n", "line 2"},
        {"tblkapal", "nmkapal\nKM A\nKM \xC3\xA9\xC3(\n",
         "line 3, column 5: the text is not valid UTF-8"},
        {"tblkapal", QByteArrayLiteral("nmkapal\n\"KM\nA\0\"\n"),
         "line 3, column 2: the file holds a NUL"},
        {"tblheader", "nodaftar,arrivingdate\nK1," + QByteArray(100000, '7') + "\n",
         "line 2: \"" + QString(60, '7') + "...\" in column arrivingdate"},
    };
    for (const auto& c : cases) {
        const QString error = importError(c.table, c.csv);
        EXPECT_TRUE(error.contains(c.expected))
            << c.expected.toStdString() << " / " << error.toStdString();
        EXPECT_LT(error.size(), 300) << error.toStdString();
    }
    EXPECT_EQ(count("tblheader"), before);
}

TEST_F(AdminTest, PasswordChangeRekeysAndRewritesTheIni) {
    AppState state = connectInstallation(folder());
    changePassword(state, "new pass");
    EXPECT_NO_THROW(Database::open(path(kDefaultDbFileName), "new pass"));
    EXPECT_THROW(Database::open(path(kDefaultDbFileName), kTestPassword), DbError);
    EXPECT_EQ(count("tblheader"), 1);
    EXPECT_TRUE(readFile("MANIFEST.INI").contains("[MANIFEST]\r\nJENIS=0"));
}

TEST_F(AdminTest, CommandLineReportsErrorsWithoutCrashing) {
    auto run = [](const QStringList& args) {
        QProcess p;
        p.start(VASTREL_ADMIN_BIN, args);
        p.waitForFinished();
        return p.exitCode();
    };
    EXPECT_EQ(run({"init", "--help"}), 0);
    EXPECT_EQ(run({}), 2);
    EXPECT_EQ(run({"user", "add", "--home", folder()}), 2);
    EXPECT_EQ(run({"tighten", "--hme", folder()}), 2) << "a mistyped option is refused";
    EXPECT_EQ(run({"import", "--home", folder(), "tblkapal", path("none.csv")}), 1);
    writeFile("in.csv", "nmkapal\nKM A\n");
    for (const auto& [encoding, exitCode] : {std::pair{"ebcdic", 1}, {"Windows-1252", 0}})
        EXPECT_EQ(
            run({"import", "--home", folder(), "--encoding", encoding, "tblkapal", path("in.csv")}),
            exitCode);
    EXPECT_EQ(run({"user", "add", "--home", folder(), "B", "pw"}), 0);
    // A filing's ID that is no number is refused, never read as the last filing.
    const QString key = QString::fromLatin1(kDemoManifestKey);
    ASSERT_EQ(run({"flatfile", "--home", folder(), key, "-o", path("filed.txt")}), 0);
    for (const auto& [since, exitCode] : {std::pair{"1", 0}, {"last", 1}, {"0", 1}})
        EXPECT_EQ(run({"diff", "--home", folder(), key, "--since", since}), exitCode) << since;
    EXPECT_EQ(run({"filing", "--home", folder(), "x", "-o", path("again.txt")}), 1);
}
