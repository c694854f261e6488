#include "Database.h"
#include "Schema.h"
#include "TestSupport.h"

#include <QProcess>
#include <QStandardPaths>

using namespace vastrel;
using namespace vastrel::test;

using DatabaseOpenTest = TempDirTest;

TEST_F(DatabaseOpenTest, RefusesWrongPasswordMissingFileAndNonDatabase) {
    { Database::create(path("a.db"), kTestPassword).exec("CREATE TABLE t (x)"); }
    EXPECT_NO_THROW(Database::open(path("a.db"), kTestPassword));
    EXPECT_THROW(Database::open(path("a.db"), "wrong"), DbError);
    EXPECT_THROW(Database::open(path("missing.db"), kTestPassword), DbError);
    EXPECT_FALSE(QFile::exists(path("missing.db"))) << "opening must never create a file";
    writeFile("text.db", "this is not a database at all, just some text\n");
    EXPECT_THROW(Database::open(path("text.db"), kTestPassword), DbError);
    EXPECT_THROW(Database::create(path("a.db"), kTestPassword), DbError);
}

TEST_F(DatabaseOpenTest, SqlcipherShellReadsTheFileWithTheSamePasswordOnly) {
    const QString shell = QStandardPaths::findExecutable("sqlcipher");
    if (shell.isEmpty())
        GTEST_SKIP() << "the sqlcipher shell is not installed";
    {
        Database db = Database::create(path("a.db"), "pass'word");
        schema::create(db);
    }
    auto tables = [&](const QByteArray& key) {
        QProcess p;
        p.start(shell, {path("a.db")});
        p.write("PRAGMA key='" + key + "';\n.tables\n");
        p.closeWriteChannel();
        p.waitForFinished();
        return p.readAllStandardOutput();
    };
    EXPECT_TRUE(tables("pass''word").contains("tblheader"));
    EXPECT_FALSE(tables("other").contains("tblheader"));
}

TEST_F(SchemaTest, RowSetWalksLikeAStaticRecordset) {
    for (const char* code : {"A", "B", "C"})
        db.exec("INSERT INTO tblkemasan (kdedi, uredi) VALUES (?, ?)", {code, QVariant()});
    RowSet rs = db.query("SELECT kdedi, uredi FROM tblkemasan ORDER BY kdedi");
    EXPECT_EQ(rs.recordCount(), 3);
    EXPECT_EQ(rs.absolutePosition(), 1);
    EXPECT_EQ(rs.value(0).toString(), "A");
    EXPECT_TRUE(rs.isNull("UREDI"));
    rs.moveLast();
    EXPECT_EQ(rs.text("kdedi"), "C");
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    EXPECT_THROW(rs.value(0), DbError);
    rs.setAbsolutePosition(2);
    EXPECT_EQ(rs.text("kdedi"), "B");
    rs.movePrevious();
    rs.movePrevious();
    EXPECT_TRUE(rs.bof());
    EXPECT_EQ(rs.absolutePosition(), 0);

    RowSet empty = db.query("SELECT kdedi FROM tblkemasan WHERE kdedi = ?", {"Z"});
    EXPECT_TRUE(empty.eof());
    EXPECT_EQ(empty.recordCount(), 0);
}

TEST_F(SchemaTest, BoundTextIsStoredAsTypedAndComparesWithoutCase) {
    const QString name = "O'NEIL'S \"BEST\"; DROP TABLE tblkapal; --";
    db.exec("INSERT INTO tblkapal (nmkapal) VALUES (?)", {name});
    EXPECT_EQ(db.scalar("SELECT nmkapal FROM tblkapal WHERE nmkapal = ?", {name.toLower()}), name);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM tblKAPAL").toInt(), 1);
}

TEST_F(SchemaTest, TransactionRollsBackUnlessCommitted) {
    {
        Transaction tx(db);
        db.exec("INSERT INTO tblkapal (nmkapal) VALUES ('X')");
    }
    EXPECT_EQ(count("tblkapal"), 0);
    EXPECT_THROW(db.exec("INSERT INTO nosuchtable VALUES (1)"), DbError);
    EXPECT_THROW(db.exec("INSERT INTO tblkapal (nmkapal) VALUES (?)", {}), DbError);
}

TEST_F(SchemaTest, ANestedUnitStandsOrFallsWithTheOuterOne) {
    {
        Transaction outer(db);
        db.exec("INSERT INTO tblkapal (nmkapal) VALUES ('A')");
        {
            Transaction inner(db);
            db.exec("INSERT INTO tblkapal (nmkapal) VALUES ('B')");
        } // not committed: only B goes
        EXPECT_EQ(count("tblkapal"), 1);
        Transaction inner(db);
        db.exec("INSERT INTO tblkapal (nmkapal) VALUES ('C')");
        inner.commit();
    } // the outer unit is not committed: nothing stays
    EXPECT_EQ(count("tblkapal"), 0);
    EXPECT_FALSE(db.inTransaction());
}

TEST_F(SchemaTest, EveryTableHasItsColumnsAndKeysRefuseDuplicates) {
    for (const QString& table : schema::tableNames()) {
        RowSet empty = db.query("SELECT * FROM " + table + " WHERE 1 = 0");
        EXPECT_EQ(empty.fieldCount(), schema::columnNames(table).size()) << table.toStdString();
    }
    EXPECT_EQ(schema::columnNames("tbldetail").size(), 27);
    db.exec("INSERT INTO tblheader (nodaftar) VALUES ('20240315000001')");
    EXPECT_THROW(db.exec("INSERT INTO tblheader (nodaftar) VALUES ('20240315000001')"), DbError);
}

class CascadeTest : public SchemaTest {
protected:
    void SetUp() override {
        SchemaTest::SetUp();
        for (const char* key : {"20240315000001", "20240316000001"}) {
            db.exec("INSERT INTO tblheader (nodaftar) VALUES (?)", {key});
            for (const char* pos : {"0001", "0002", "0003"}) {
                db.exec("INSERT INTO tbldetail (nodaftar, nopos, satuankemasan) VALUES (?,?,'PK')",
                        {key, pos});
                for (const char* table : {"tblhs", "tblcontainer", "tblpeb"})
                    db.exec(QStringLiteral("INSERT INTO %1 (nodaftar, nopos, noseq) "
                                           "VALUES (?, ?, '0001')")
                                .arg(table),
                            {key, pos});
            }
        }
    }
    int rowsOf(const QString& key) {
        int total = 0;
        for (const QString& table : kManifestTables)
            total += count(table, "nodaftar = ?", {key});
        return total;
    }
};

TEST_F(CascadeTest, DeletingAManifestLeavesNoRowWithItsKey) {
    deleteManifest(db, "20240315000001");
    EXPECT_EQ(rowsOf("20240315000001"), 0);
    EXPECT_EQ(rowsOf("20240316000001"), 13);
}

TEST_F(CascadeTest, DeletingAPosKeepsTheOtherPos) {
    deletePos(db, "20240315000001", "0002");
    EXPECT_EQ(count("tbldetail", "nodaftar = '20240315000001'"), 2);
    EXPECT_EQ(count("tblhs", "nopos = '0002'"), 1);
    EXPECT_EQ(rowsOf("20240315000001"), 9);
}

TEST_F(CascadeTest, AFailurePartWayDeletesNothing) {
    // Every delete fails at the documents, the last table of the cascade.
    db.exec("ALTER TABLE tblpeb RENAME TO tblpeb_away");
    EXPECT_THROW(deleteManifest(db, "20240315000001"), DbError);
    EXPECT_THROW(deletePos(db, "20240315000001", "0001"), DbError);
    EXPECT_THROW(clearDocumentsAndUnits(db, "20240315000001"), DbError);
    db.exec("ALTER TABLE tblpeb_away RENAME TO tblpeb");
    EXPECT_EQ(rowsOf("20240315000001"), 13);
    EXPECT_EQ(count("tbldetail", "satuankemasan = 'PK'"), 6);
}

TEST_F(CascadeTest, Group08XDropsDocumentsAndUnitsOfThatManifestOnly) {
    clearDocumentsAndUnits(db, "20240315000001");
    EXPECT_EQ(count("tblpeb", "nodaftar = '20240315000001'"), 0);
    EXPECT_EQ(count("tbldetail", "satuankemasan = ''"), 3);
    EXPECT_EQ(count("tblpeb"), 3);
}
