#include "FlatFileImport.h"
#include "DemoData.h"
#include "FlatFile.h"
#include "FlatFileTestSupport.h"
#include "Installation.h"
#include "Schema.h"
#include "TestSupport.h"

#include <QProcess>

#include <functional>
#include <list>

using namespace vastrel;
using namespace vastrel::test;

namespace {

const QString kKey = QStringLiteral("20240501000007");
const QDate kToday(2024, 6, 1);

struct Shape {
    const char* name;
    bool air;
    bool outward;
    bool layoutE;
};

const Shape kShapes[] = {
    {"sea inward", false, false, false},  {"sea outward", false, true, false},
    {"air inward", true, false, false},   {"air outward", true, true, true},
    {"sea outward E", false, true, true},
};

// Long texts and a full first POS; a second POS of nulls, where the screens allow them, in the
// "E" layout with a blank flag.
void addManifest(Database& db, const Shape& s, const QString& mark) {
    const auto add = [&](const char* sql, const Params& values) {
        db.exec(QLatin1String(sql), Params{kKey} + values);
    };
    add("INSERT INTO tblheader VALUES (?, ?, 'MV TEST', 'V01', 'A1', '2024-05-01', '10:15:00', "
        "'Y', 'MBL1', '2024-04-30')",
        {s.outward ? "Outward" : "Inward"});
    add("INSERT INTO tbldetail (nodaftar, nopos, mot_vessel, nobl, tglbl, pasalcd, pmuatcd, "
        "pbongkarcd, pakhircd, snm, sna, cnm, cna, nnm, nna, mark, bruto, volume, jmlkemasan, "
        "satuankemasan, flagconsolidate, flagpartial, grandcontainer, grandpackage) VALUES (?, "
        "'0001', 'MOTHER', 'BL1', '2024-04-29', 'SGSIN', 'SGSIN', 'IDTPP', 'XXPRT', 'SHIPPER', "
        "'ADDR 1', 'CONSIGNEE', 'ADDR 2', 'NOTIFY', '', ?, 10.5, 0.0001, 12, 'PK', 'C', ?, 3, 500)",
        {mark, s.layoutE ? "E" : ""});
    add("INSERT INTO tbldetail (nodaftar, nopos, nobl, mot_vessel, satuankemasan, grandpackage) "
        "VALUES (?, '0002', 'BL2', 'MOTHER', 'PK', 7)",
        {});
    add("INSERT INTO tblhs VALUES (?, '0001', '0001', '847130', ?)", {QString(250, 'G')});
    add("INSERT INTO tblhs VALUES (?, '0001', '0002', '640299', 'SHOES')", {});
    add("INSERT INTO tblhs VALUES (?, '0002', '0001', NULL, 'GOODS')", {});
    add("INSERT INTO tblcontainer VALUES (?, '0001', '0001', 'ABCU1234560', '40', 'F', 'S1')", {});
    add("INSERT INTO tblcontainer VALUES (?, '0001', '0002', NULL, '20', 'L', NULL)", {});
    add("INSERT INTO tblpeb VALUES (?, '0001', '0001', 'PEB', '123400', '654321', '2024-04-28')",
        {});
    add("INSERT INTO tblpeb VALUES (?, '0001', '0002', 'PEB', 'ZZ0000', NULL, NULL)", {});
}

const QString kLongMark = QString(430, 'M') + " END";

} // namespace

class FlatFileImportTest : public SchemaTest {
protected:
    Database freshDatabase() {
        m_stores.emplace_back();
        return m_stores.back().create(path(QStringLiteral("db%1").arg(m_stores.size())),
                                      kTestPassword);
    }
    FlatFileImportPlan plan(const Database& target, const QStringList& file, bool air,
                            const QString& into = {}) {
        return planFlatFileImport(target, air, readFlatFile(fileBytes(file)), into, kToday);
    }
    // Imports the file into a fresh database and writes the manifest again.
    QStringList roundTrip(const QStringList& file, bool air) {
        Database target = freshDatabase();
        FlatFileImportPlan p = plan(target, file, air);
        EXPECT_TRUE(p.canImport()) << p.refusals.join("; ").toStdString();
        QList<qint64> progress;
        importFlatFile(target, p, [&](qint64 done, qint64 total) { progress = {done, total}; });
        EXPECT_EQ(progress, QList<qint64>({2, 2})) << "POS written of the file's two";
        return FlatFile(target, p.target, air ? "1" : "0").lines();
    }
    int rows() {
        int total = 0;
        for (const QString& table : kManifestTables + QStringList{"tblkapal", "tblparties"})
            total += count(table);
        return total;
    }

private:
    std::list<TestStore> m_stores; // one per fresh database
};

TEST_F(FlatFileImportTest, EveryShapeComesBackAsTheSameFile) {
    for (const Shape& shape : kShapes) {
        SCOPED_TRACE(shape.name);
        db.exec("DELETE FROM tblheader");
        for (const char* table : {"tbldetail", "tblhs", "tblcontainer", "tblpeb"})
            db.exec(QStringLiteral("DELETE FROM ") + QLatin1String(table));
        addManifest(db, shape, kLongMark);
        const QStringList written = FlatFile(db, kKey, shape.air ? "1" : "0").lines();
        const QStringList again = roundTrip(written, shape.air);
        EXPECT_EQ(again, written);
        EXPECT_EQ(roundTrip(again, shape.air), again);
    }
}

TEST_F(FlatFileImportTest, ATextBeginningWithABlankComesBackTrimmed) {
    addManifest(db, kShapes[0], "\t" + kLongMark);
    const QStringList written = FlatFile(db, kKey, "0").lines();
    const QStringList again = roundTrip(written, false);
    const auto marks = [](const QStringList& file) {
        return readFlatFile(fileBytes(file)).manifest.pos.at(0).mark;
    };
    EXPECT_EQ(marks(written), " " + kLongMark);
    EXPECT_EQ(marks(again), kLongMark);
    EXPECT_EQ(roundTrip(again, false), again);
}

TEST_F(FlatFileImportTest, IntoAppendsAfterTheHighestPosAndKeepsTheHeader) {
    addDemoData(db, false);
    addManifest(db, kShapes[0], kLongMark);
    const QStringList file = FlatFile(db, kKey, "0").lines();
    const QString demo = QString::fromLatin1(kDemoManifestKey);
    FlatFileImportPlan p = plan(db, file, false, demo);
    EXPECT_EQ(p.posNumbers, QStringList({"0002", "0003"}));
    EXPECT_EQ(p.warnings,
              QStringList({"the file's vessel \"MV TEST\" differs from the manifest's \"SEA "
                           "BREEZE\", which stays",
                           "the file's voyage \"V01\" differs from the manifest's \"012N\", "
                           "which stays",
                           "port code XXPRT (POS 0001) is not in the reference list"}));
    importFlatFile(db, p);
    EXPECT_EQ(count("tbldetail", "nodaftar = ?", {demo}), 3);
    EXPECT_EQ(count("tblhs", "nodaftar = ? AND nopos = '0003'", {demo}), 1);
    EXPECT_EQ(count("tblheader", "nodaftar = ? AND vessel = 'SEA BREEZE'", {demo}), 1);
    EXPECT_EQ(p.summary(), "manifest 20240315000001 (appended): 2 POS (0002-0003), 3 goods lines, "
                           "2 containers, 0 documents, 3 warnings");
    EXPECT_EQ(p.summaryInIndonesian(), "manifes 20240315000001 (ditambahkan): 2 POS (0002-0003), "
                                       "3 baris barang, 2 kontainer, 0 dokumen, 3 peringatan");
    EXPECT_EQ(p.warningsInIndonesian.value(2),
              "kode pelabuhan XXPRT (POS 0001) tidak ada dalam daftar referensi");
}

TEST_F(FlatFileImportTest, ARefusedOrFailedImportWritesNothing) {
    addDemoData(db, false);
    const QStringList file = FlatFile(db, QString::fromLatin1(kDemoManifestKey), "0").lines();
    const int before = rows();
    QStringList broken = file;
    broken[1].replace(119, 8, "2024XX10");
    EXPECT_EQ(plan(db, broken, false).refusals, QStringList{"1 problem in the file"});
    FlatFileImportPlan refused = plan(db, broken, false);
    EXPECT_THROW(importFlatFile(db, refused), FlatFileError);
    EXPECT_EQ(
        plan(db, file, true).refusals,
        QStringList{"the file's manifest travels by sea; the installation keeps air manifests"});
    FlatFileImportPlan clash = plan(db, file + file.mid(1), false);
    clash.posNumbers = QStringList{"0001", "0001"}; // the second insert fails
    EXPECT_THROW(importFlatFile(db, clash), FlatFileError);
    EXPECT_EQ(rows(), before);
}

TEST_F(FlatFileImportTest, WhatTheScreensRefuseIsRefused) {
    addDemoData(db, false);
    const QStringList file = FlatFile(db, QString::fromLatin1(kDemoManifestKey), "0").lines();
    // Lines: HDR01, DTL01, SNM, SNA, CNM, CNA, NNM, NNA, SMR, HSC, DES, CNT01.
    const struct {
        std::function<void(QStringList&)> change;
        const char* refusal;
    } blanks[] = {
        {put(2, 40, QString(40, ' ')), "POS 0001: mot_vessel is blank"},
        {put(2, 90, QString(30, ' ')), "POS 0001: nobl is blank"},
        {put(2, 243, "  "), "POS 0001: satuankemasan is blank"},
        {[](QStringList& l) { l[10] = l[10].left(10) + ' '; }, "POS 0001: uraian is blank"},
    };
    for (const auto& b : blanks) {
        SCOPED_TRACE(b.refusal);
        QStringList changed = file;
        b.change(changed);
        EXPECT_EQ(plan(db, changed, false).refusals, QStringList{b.refusal});
        writeFile("blank.txt", fileBytes(changed));
        QProcess check; // the checker agrees with the import
        check.start(VASTREL_ADMIN_BIN, {"check", path("blank.txt")});
        check.waitForFinished();
        EXPECT_EQ(check.exitCode(), 1);
        EXPECT_TRUE(check.readAllStandardOutput().contains(b.refusal));
    }
}

TEST_F(FlatFileImportTest, AContainerNumberWithAWrongCheckDigitIsWarnedOf) {
    addDemoData(db, false);
    QStringList file = FlatFile(db, QString::fromLatin1(kDemoManifestKey), "0").lines();
    file[11].replace(9, 20, QStringLiteral("CSQU3054384").leftJustified(20));
    const FlatFileImportPlan p = plan(db, file, false);
    EXPECT_TRUE(p.canImport()) << p.refusals.join("; ").toStdString();
    EXPECT_EQ(p.warnings,
              QStringList{"POS 0001: container number CSQU3054384 has a wrong check digit"});
}

TEST_F(FlatFileImportTest, AdminChecksAndImportsAFile) {
    TestStore home;
    initInstallation(home.onEngine({path("home"), kTestPassword, false, true}));
    const auto admin = [&](const QStringList& args, QString* out = nullptr) {
        QProcess process;
        process.start(VASTREL_ADMIN_BIN, args);
        process.waitForFinished();
        if (out)
            *out = QString::fromUtf8(process.readAllStandardOutput());
        return process.exitCode();
    };
    const QString file = path("demo.txt");
    const QString key = QString::fromLatin1(kDemoManifestKey);
    QString out;
    ASSERT_EQ(admin({"flatfile", "--home", path("home"), key, "-o", file}, &out), 0);
    EXPECT_EQ(out, "Flat file written to " + file + " (filing 1)\n");
    EXPECT_EQ(admin({"check", file}, &out), 0);
    EXPECT_EQ(out, file + ": sea, inward: 1 POS, 1 goods line, 1 container, 0 documents\n");
    EXPECT_EQ(admin({"import-flatfile", "--home", path("home"), file, "--into", key}, &out), 0);
    EXPECT_TRUE(out.startsWith("Imported manifest " + key + " (appended): 1 POS (0002-0002)"));
    // A retry after an unknown outcome must not import the file twice, unless insisted on.
    EXPECT_EQ(admin({"import-flatfile", "--home", path("home"), file, "--into", key}, &out), 1);
    EXPECT_EQ(admin({"import-flatfile", "--home", path("home"), file}, &out), 1)
        << "a new manifest from a file imported before";
    EXPECT_EQ(
        admin({"import-flatfile", "--home", path("home"), file, "--into", key, "--again"}, &out),
        0);
    EXPECT_TRUE(out.startsWith("Imported manifest " + key + " (appended): 1 POS (0003-0003)"));
    writeFile("bad.txt", readFile("demo.txt").replace("HDR011", "HDR012"));
    EXPECT_EQ(admin({"check", path("bad.txt")}, &out), 1);
    EXPECT_EQ(out, path("bad.txt") + ":1:6: expected \"1\"\n");
}

TEST_F(FlatFileImportTest, ClerksImportingIntoOneManifestAtOnceAllLand) {
    TestStore home;
    initInstallation(home.onEngine({path("home"), kTestPassword, false, true}));
    const QString key = QString::fromLatin1(kDemoManifestKey);
    const QString file = path("demo.txt");
    ASSERT_EQ(
        QProcess::execute(VASTREL_ADMIN_BIN, {"flatfile", "--home", path("home"), key, "-o", file}),
        0);
    constexpr int kClerks = 4;
    std::list<QProcess> clerks(kClerks);
    for (QProcess& clerk : clerks)
        clerk.start(VASTREL_ADMIN_BIN,
                    {"import-flatfile", "--home", path("home"), file, "--into", key, "--again"});
    for (QProcess& clerk : clerks) {
        clerk.waitForFinished(60000);
        EXPECT_EQ(clerk.exitCode(), 0) << clerk.readAllStandardError().toStdString();
    }
    const Database db = openInstallation(path("home"));
    EXPECT_EQ(db.scalar("SELECT count(DISTINCT nopos) FROM tbldetail WHERE nodaftar = ?", {key}),
              1 + kClerks);
    EXPECT_EQ(db.scalar("SELECT max(nopos) FROM tbldetail WHERE nodaftar = ?", {key}), "0005");
}
