#include "ManifestIni.h"
#include "TestSupport.h"

using namespace vastrel;
using namespace vastrel::test;

using IniTest = TempDirTest;

TEST_F(IniTest, DatabaseValuesQuotedOnOneLineOrBareOnTwoLinesReadAlike) {
    const QByteArray forms[] = {
        "\"manifest db.mdb\",\"0A1B\"\r\n[MANIFEST]\r\nJENIS=0\r\n",
        "  manifest db.mdb\n0A1B\n[MANIFEST]\n",
        "manifest db.mdb,  \"0A1B\"",
    };
    for (const QByteArray& content : forms) {
        writeFile("MANIFEST.INI", content);
        const auto values = readDatabaseValues(path("MANIFEST.INI"));
        ASSERT_TRUE(values) << content.constData();
        EXPECT_EQ(values->dbName, "manifest db.mdb");
        EXPECT_EQ(values->passwordHex, "0A1B");
    }
}

TEST_F(IniTest, MissingFileOrOneValueReadsNothing) {
    EXPECT_FALSE(readDatabaseValues(path("MANIFEST.INI")));
    writeFile("MANIFEST.INI", "\"only.mdb\"\r\n");
    EXPECT_FALSE(readDatabaseValues(path("MANIFEST.INI")));
    writeFile("MANIFEST.INI", "");
    EXPECT_FALSE(readDatabaseValues(path("MANIFEST.INI")));
}

TEST_F(IniTest, GetIniReadsItsSectionWithDefaultsAndLimit) {
    const QString file = path("MANIFEST.INI");
    writeFile("MANIFEST.INI", "\"a.mdb\",\"00\"\r\nJENIS=9\r\n[OTHER]\r\nJENIS=7\r\n"
                              "[manifest]\r\n jenis = 1 \r\nJENIS=0\r\nVERSION=" +
                                  QByteArray(300, 'v') + "\r\n");
    EXPECT_EQ(GetINI(file, "MANIFEST", "JENIS", "0"), "1");
    EXPECT_EQ(GetINI(file, "MANIFEST", "VERSION", "").size(), kIniValueLimit);
    EXPECT_EQ(GetINI(file, "MANIFEST", "NOKEY", "dflt"), "dflt");
    EXPECT_EQ(GetINI(path("none.ini"), "MANIFEST", "JENIS", "0"), "0");
}

TEST_F(IniTest, WriteIniKeepsEveryOtherLine) {
    const QString file = path("MANIFEST.INI");
    const QByteArray head = "\"a.mdb\",\"0A1B\"\r\n; note\r\n";
    writeFile("MANIFEST.INI", head + "[MANIFEST]\r\nJENIS=0\r\nVERSION=2.1\r\n\r\n[X]\r\nK=V\r\n");
    WriteINI(file, "MANIFEST", "JENIS", "1");
    EXPECT_EQ(readFile("MANIFEST.INI"),
              head + "[MANIFEST]\r\nJENIS=1\r\nVERSION=2.1\r\n\r\n[X]\r\nK=V\r\n");
    WriteINI(file, "MANIFEST", "NEW", "x");
    EXPECT_EQ(readFile("MANIFEST.INI"),
              head + "[MANIFEST]\r\nJENIS=1\r\nVERSION=2.1\r\nNEW=x\r\n\r\n[X]\r\nK=V\r\n");
    EXPECT_TRUE(readDatabaseValues(file));
}

TEST_F(IniTest, WriteIniCreatesSectionOrFile) {
    writeFile("MANIFEST.INI", "\"a.mdb\",\"0A1B\"\n");
    WriteINI(path("MANIFEST.INI"), "MANIFEST", "JENIS", "1");
    EXPECT_EQ(readFile("MANIFEST.INI"), "\"a.mdb\",\"0A1B\"\n[MANIFEST]\nJENIS=1\n");
    WriteINI(path("new.ini"), "MANIFEST", "VERSION", "3");
    EXPECT_EQ(GetINI(path("new.ini"), "MANIFEST", "VERSION", ""), "3");
}
