// The history of the manifests' rows and the register of filings, on either engine.

#include "History.h"
#include "DemoData.h"
#include "FilingDiff.h"
#include "Filings.h"
#include "FlatFile.h"
#include "Schema.h"
#include "TestSupport.h"

#include <QCryptographicHash>
#include <QFile>

#include <functional>

using namespace vastrel;
using namespace vastrel::test;

namespace {

const QString kKey = QString::fromLatin1(kDemoManifestKey);

class HistoryTest : public SchemaTest {
protected:
    void SetUp() override {
        SchemaTest::SetUp();
        addDemoData(db, false);
        db.setUserName("ANI");
    }
    // The newest entries' "action table key", newest first.
    QStringList actions(int newest, const QString& nopos = {}) {
        QStringList seen;
        for (const HistoryEntry& e : readHistory(db, kKey, nopos).mid(0, newest))
            seen << e.action + ' ' + e.table + ' ' + e.rowKey;
        return seen;
    }
};

TEST_F(HistoryTest, EachChangeOfARowIsRecordedWithWhoAndOnlyWhatChanged) {
    const auto change = [&](const QString& table, const Params& key, const QString& sql,
                            const Params& values) {
        Transaction tx(db);
        RowChange row(db, table, key);
        db.exec(sql, values);
        row.record();
        tx.commit();
    };
    change("tbldetail", {kKey, "0002"},
           "INSERT INTO tbldetail (nodaftar, nopos, nobl) VALUES (?, ?, ?)", {kKey, "0002", "BL2"});
    change("tbldetail", {kKey, "0002"},
           "UPDATE tbldetail SET bruto = 12, nobl = nobl WHERE nopos = ?", {"0002"});
    change("tbldetail", {kKey, "0002"}, "UPDATE tbldetail SET bruto = 12 WHERE nopos = ?",
           {"0002"});
    change("tblhs", {kKey, "0002", "0001"},
           "INSERT INTO tblhs (nodaftar, nopos, noseq, hs) VALUES (?, '0002', '0001', '847130')",
           {kKey});
    const QList<HistoryEntry> entries = readHistory(db, kKey, "0002");
    ASSERT_EQ(entries.size(), 3) << "a save that changes nothing records nothing";
    EXPECT_EQ(entries[1].action, "update");
    EXPECT_EQ(entries[1].changes.keys(), QStringList{"bruto"});
    EXPECT_EQ(entries[1].changes["bruto"].toList().value(1).toDouble(), 12);
    EXPECT_EQ(entries[2].action, "insert");
    EXPECT_EQ(entries[2].changes["nobl"].toList().value(1), "BL2");
    EXPECT_EQ(entries[0].user, "ANI");
    EXPECT_FALSE(entries[0].changedAt.isEmpty());

    // A POS deleted takes its lines with it, and each is recorded.
    deletePos(db, kKey, "0002");
    EXPECT_EQ(actions(2, "0002"), QStringList({"delete tblhs " + kKey + "/0002/0001",
                                               "delete tbldetail " + kKey + "/0002"}));
    deleteManifest(db, kKey);
    for (const char* table : {"tblheader", "tbldetail", "tblhs", "tblcontainer"})
        EXPECT_EQ(count("tblhistory", "action = 'delete' AND tablename = ?", {table}),
                  count("tblhistory", "action = 'insert' AND tablename = ?", {table}) + 1)
            << table << ": the demo's rows and those added here, each deleted once";
}

TEST_F(HistoryTest, AFilingKeepsTheExactBytesAndATamperedOneIsNotServed) {
    const QString file = path("filed.txt");
    const qint64 id = fileFlatFile(db, kKey, "0", file);
    const QList<Filing> filings = listFilings(db, kKey);
    ASSERT_EQ(filings.size(), 1);
    EXPECT_EQ(filings[0].fileName, "filed.txt");
    EXPECT_EQ(filings[0].user, "ANI");
    EXPECT_EQ(filedBytes(db, id), readFile("filed.txt"));
    EXPECT_EQ(filings[0].size, readFile("filed.txt").size());

    EXPECT_ANY_THROW(fileFlatFile(db, kKey, "0", path("missing/folder/x.txt")));
    EXPECT_EQ(listFilings(db, kKey).size(), 1) << "no filing for a file that was not written";

    db.exec("UPDATE tblfiling SET content = ? WHERE idfiling = ?", {QByteArray("forged"), id});
    EXPECT_THROW(filedBytes(db, id), UserError);
}

TEST(FilingSealerTest, PiecesAreKeptInTheirOrder) {
    FilingSealer sealer;
    QByteArray whole;
    for (int i = 0; i < 40; ++i) {
        const QByteArray piece = QByteArray::number(i).repeated(5000 + i);
        sealer.add(piece);
        whole += piece;
    }
    const FilingContent content = sealer.finish();
    EXPECT_EQ(qUncompress(content.compressed), whole);
    EXPECT_EQ(content.size, whole.size());
    EXPECT_EQ(content.sha256, QCryptographicHash::hash(whole, QCryptographicHash::Sha256).toHex());
}

TEST_F(HistoryTest, FilingsKeptUncompressedBeforeTheUpgradeAreServedAfterIt) {
    db.exec("DROP TABLE tblfiling");
    db.exec("CREATE TABLE tblfiling (idfiling INTEGER PRIMARY KEY AUTOINCREMENT, "
            "nodaftar TEXT COLLATE NOCASE NOT NULL, filedat TEXT COLLATE NOCASE NOT NULL, "
            "username TEXT COLLATE NOCASE, host TEXT COLLATE NOCASE, filename TEXT COLLATE "
            "NOCASE, sha256 TEXT COLLATE NOCASE NOT NULL, content BLOB NOT NULL)");
    db.exec("UPDATE tblschema SET version = 4");
    const QByteArray old = QByteArray("OLD FILING\r\n").repeated(50);
    db.exec("INSERT INTO tblfiling (nodaftar, filedat, sha256, content) VALUES (?, ?, ?, ?)",
            {kKey, "2026-12-01 00:00:00",
             QCryptographicHash::hash(old, QCryptographicHash::Sha256).toHex(), old});
    schema::upgrade(db);
    ASSERT_EQ(schema::version(db), schema::kVersion);

    const qint64 id = fileFlatFile(db, kKey, "0", path("new.txt"));
    const QList<Filing> filings = listFilings(db, kKey);
    ASSERT_EQ(filings.size(), 2);
    EXPECT_EQ(filings[1].size, old.size());
    EXPECT_EQ(filedBytes(db, filings[1].id), old);
    EXPECT_EQ(filings[0].size, readFile("new.txt").size());
    EXPECT_EQ(filedBytes(db, id), readFile("new.txt"));
    EXPECT_LT(db.scalar("SELECT length(content) FROM tblfiling WHERE idfiling = ?", {id}).toInt(),
              filings[0].size / 2)
        << "a new filing is kept compressed";
}

TEST_F(HistoryTest, ARecordThatCannotBeWrittenFailsTheWholeChange) {
    const struct {
        const char* record; // the table the change's record goes into
        std::function<void()> change;
        const char* unchanged; // a count that must stay as it was, if any
    } cases[] = {
        {"tblhistory", [&] { deletePos(db, kKey, "0001"); }, "SELECT count(*) FROM tblhs"},
        {"tblhistory", [&] { deleteManifest(db, kKey); }, "SELECT count(*) FROM tbldetail"},
        {"tblfiling", [&] { fileFlatFile(db, kKey, "0", path("filed.txt")); }, nullptr},
    };
    for (const auto& c : cases) {
        const QString table = QString::fromLatin1(c.record);
        const QVariant before = c.unchanged ? db.scalar(c.unchanged) : QVariant();
        db.exec("ALTER TABLE " + table + " RENAME TO away");
        EXPECT_THROW(c.change(), DbError) << c.record;
        db.exec("ALTER TABLE away RENAME TO " + table);
        if (c.unchanged) {
            EXPECT_EQ(db.scalar(c.unchanged), before) << c.record;
        }
    }
    EXPECT_FALSE(QFile::exists(path("filed.txt"))) << "a file written without its filing";
}

TEST_F(HistoryTest, WhatChangedSinceTheLastFilingIsListedByPos) {
    const auto since = [&] {
        QStringList seen;
        for (const PosChange& change : changesSinceFiling(db, kKey, "0"))
            seen << describe(change);
        return seen;
    };
    EXPECT_THROW(since(), UserError) << "nothing filed yet";
    fileFlatFile(db, kKey, "0", path("first.txt"));
    EXPECT_EQ(since(), QStringList());
    db.exec("UPDATE tbldetail SET bruto = 99 WHERE nodaftar = ?", {kKey});
    db.exec("INSERT INTO tbldetail (nodaftar, nopos, nobl) VALUES (?, '0002', 'BL2')", {kKey});
    EXPECT_EQ(since().value(0), "POS 0001 changed: bruto: 1234.5 -> 99");
    EXPECT_EQ(since().value(1), "POS 0002 added");
    fileFlatFile(db, kKey, "0", path("second.txt"));
    deletePos(db, kKey, "0001");
    EXPECT_EQ(since(), QStringList{"POS 0001 removed"});
}

} // namespace
