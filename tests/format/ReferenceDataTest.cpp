// The code lists: the UN/LOCODE release reader, the packs, and the rules of loading them.

#include "DemoData.h"
#include "FlatFile.h"
#include "LocodeRelease.h"
#include "ReferencePack.h"
#include "ReferenceUpdate.h"
#include "TestSupport.h"

using namespace vastrel;
using namespace vastrel::test;

namespace {

// A small release with every kind of row, the Latin-1 name as a Latin-1 byte.
const QByteArray kRelease =
    ",\"ID\",,\".INDONESIA\",,,,,,,,\n"
    ",\"ID\",\"TPP\",\"Tanjung Priok\",\"Tanjung Priok\",\"JK\",\"AI\",\"1-------\",\"0207\",,,\n"
    ",\"ID\",\"CGK\",\"Soekarno-Hatta Apt\",\"Soekarno-Hatta Apt\",\"JK\",\"AI\",\"---4----\","
    "\"0207\",,,\n"
    ",\"SG\",\"SIN\",\"Singapore\",\"Singapore\",,\"AI\",\"1--4----\",\"0207\",,,\n"
    "X,\"ID\",\"ZZZ\",\"Old Place\",\"Old Place\",,\"RL\",\"1-------\",\"9501\",,,\n"
    "=,\"ID\",\"JKT\",\"Batavia = Jakarta\",,,,,,,,\n"
    ",\"FR\",\"MCN\",\"M\xe2"
    "con\",\"\",,\"AI\",\"1-------\",\"0207\",,,\n";

class ReferenceDataTest : public TempDirTest {
protected:
    QStringList codesOf(const ReferenceContent& content) {
        QStringList codes;
        for (const ReferenceEntry& entry : content.entries)
            codes << entry.code + (entry.withdrawn ? "-" : "") + ' ' + entry.name;
        return codes;
    }
    QString refusal(const QByteArray& release) {
        writeFile("bad.csv", release);
        try {
            readLocodeRelease({path("bad.csv")}, LocodePlaces::All);
        } catch (const DbError& e) {
            return QString::fromUtf8(e.what());
        }
        return {};
    }
};

TEST_F(ReferenceDataTest, ReleaseReaderTakesThePlacesOfTheInstallationsKind) {
    writeFile("part1.csv", kRelease);
    const struct {
        LocodePlaces places;
        QStringList codes;
    } cases[] = {
        {LocodePlaces::Ports,
         {"IDTPP TANJUNG PRIOK", "SGSIN SINGAPORE", "IDZZZ- OLD PLACE", "FRMCN MACON"}},
        {LocodePlaces::Airports,
         {"IDCGK SOEKARNO-HATTA APT", "SGSIN SINGAPORE", "IDZZZ- OLD PLACE"}},
        {LocodePlaces::All,
         {"IDTPP TANJUNG PRIOK", "IDCGK SOEKARNO-HATTA APT", "SGSIN SINGAPORE", "IDZZZ- OLD PLACE",
          "FRMCN MACON"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(codesOf(readLocodeRelease({path("part1.csv")}, c.places)), c.codes);
}

TEST_F(ReferenceDataTest, ReleaseReaderKnowsAHeadingWithExtraColumns) {
    writeFile("part.csv", "Change,Country,Location,Name,NameWoDiacritics,Subdivision,Status,"
                          "Function,Date,IATA,Coordinates,Remarks,Extra\n"
                          ",ID,SUB,Surabaya,Surabaya,,AI,1-------,0207,,,,x\n");
    EXPECT_EQ(codesOf(readLocodeRelease({path("part.csv")}, LocodePlaces::Ports)),
              QStringList{"IDSUB SURABAYA"});
}

TEST_F(ReferenceDataTest, ReleaseReaderRefusesWhatIsNotARelease) {
    const struct {
        QByteArray content;
        const char* says;
    } cases[] = {
        {"", "bad.csv:1: the file is empty"},
        {",ID,TPP,Priok\n", "bad.csv:1: expected 12 values, found 4"},
        {kRelease + ",ID,TP,x,x,,,1-------,,,,\n", "bad.csv:8: \"IDTP\" is not a UN/LOCODE"},
        {",ID,TPP,x," + QByteArray(101, 'a') + ",,,1-------,,,,\n", "bad.csv:1: the name is"},
        {",ID,TPP,\x85x,x,,,1-------,,,,\n", "neither UTF-8 nor Latin-1"},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(refusal(c.content).contains(QLatin1String(c.says)))
            << refusal(c.content).toStdString();
}

TEST_F(ReferenceDataTest, PacksAreFoundBesideTheBuildAndRead) {
    const std::vector<ReferenceContent> packs = readShippedPacks();
    ASSERT_EQ(packs.size(), 2u);
    EXPECT_EQ(packs[0].entries.size(), 405u);
    EXPECT_GT(packs[1].entries.size(), 5000u);
    for (const ReferenceEntry& hs : packs[1].entries)
        ASSERT_EQ(hs.code.size(), 6) << hs.code.toStdString();
}

TEST_F(ReferenceDataTest, PlainCodeListRefusesACodeOfTheWrongShape) {
    writeFile("units.csv", "code,name\nPK,Package\nTOOLONG,Nope\n");
    EXPECT_THROW(
        try {
            readReferenceFile(referenceTable("kemasan"), path("units.csv"));
        } catch (const DbError& e) {
            EXPECT_TRUE(QString(e.what()).endsWith("units.csv:3: \"TOOLONG\" is not a code of "
                                                   "kemasan"))
                << e.what();
            throw;
        },
        DbError);
}

// The rules of a load, on both engines.
class ReferenceLoadTest : public SchemaTest {
protected:
    ReferenceLoadResult load(std::vector<ReferenceEntry> entries) {
        return loadReference(db, referenceTable("pelabuhan"), entries, "test release");
    }
    QString name(const QString& code) {
        return db.scalar("SELECT nmport FROM tblpelabuhan WHERE kdport = ?", {code}).toString();
    }
};

TEST_F(ReferenceLoadTest, ANewerReleaseUpdatesAndKeepsWhatManifestsUse) {
    load({{"IDTPP", "PRIOK"}, {"IDOLD", "OLD"}, {"IDUSE", "USED"}, {"SGSIN", "SINGAPORE"}});
    db.exec("INSERT INTO tbldetail (nodaftar, nopos, pmuatcd) VALUES ('20240101000001', '0001', "
            "'iduse')");
    const ReferenceLoadResult result = load({{"IDTPP", "TANJUNG PRIOK"},
                                             {"SGSIN", "SINGAPORE"},
                                             {"IDNEW", "NEW"},
                                             {"IDOLD", "", true},
                                             {"IDUSE", "", true},
                                             {"IDNON", "", true}});
    EXPECT_EQ(result.summary(), "1 added, 1 renamed, 1 unchanged, 1 withdrawn; withdrawn but "
                                "kept, as manifests use them: IDUSE");
    EXPECT_EQ(name("IDTPP"), "TANJUNG PRIOK");
    EXPECT_EQ(name("IDNEW"), "NEW");
    EXPECT_EQ(count("tblpelabuhan", "kdport = 'IDOLD'"), 0);
    EXPECT_EQ(count("tblpelabuhan", "kdport = 'IDUSE'"), 1);
    EXPECT_EQ(
        db.scalar("SELECT source FROM tblrefsource WHERE reftable = 'tblpelabuhan'").toString(),
        "test release");
}

TEST_F(ReferenceLoadTest, ManyRowsGoInBatchesAndAFailureLeavesTheTableAsItWas) {
    std::vector<ReferenceEntry> entries;
    for (int i = 0; i < 1200; ++i)
        entries.push_back({QStringLiteral("ZZ%1").arg(i, 3, 36, QChar('0')).toUpper(), "P"});
    EXPECT_EQ(load(entries).added, 1200);
    db.exec("DROP TABLE tblrefsource"); // the last statement of the unit fails
    entries.push_back({"ZZZZZ", "LAST"});
    EXPECT_THROW(load(entries), DbError);
    EXPECT_EQ(count("tblpelabuhan"), 1200);
}

// A new installation starts with the packs, and a manifest uses their codes to the flat file.
TEST_F(ReferenceDataTest, PacksAtInitServeAManifestsFlatFile) {
    TestStore store;
    InitOptions options{path("inst"), kTestPassword, false, true};
    options.reference = readShippedPacks();
    initInstallation(store.onEngine(options));
    Database db = openInstallation(path("inst"));
    EXPECT_EQ(db.scalar("SELECT count(*) FROM tblkemasan").toInt(), 405);
    const QString key = QString::fromLatin1(kDemoManifestKey);
    db.exec("UPDATE tbldetail SET satuankemasan = ? WHERE nodaftar = ?", {"1A", key});
    db.exec("UPDATE tblhs SET hs = ? WHERE nodaftar = ?", {"010121", key});
    const QString flat = FlatFile(db, key, "0").lines().join('\n');
    EXPECT_TRUE(flat.contains("1A")) << flat.toStdString();
    EXPECT_TRUE(flat.contains("010121")) << flat.toStdString();
}

} // namespace
