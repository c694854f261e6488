#include "Numbering.h"
#include "Readiness.h"
#include "TestSupport.h"

using namespace vastrel;
using namespace vastrel::test;

TEST(NextNumber, CountsUpAndWrapsBeforeTheLastNumber) {
    const struct {
        const char* last;
        int width;
        const char* next;
    } cases[] = {
        {"", 6, "000001"},       {"000041", 6, "000042"}, {"099999", 6, "100000"},
        {"999998", 6, "000001"}, {"", 4, "0001"},         {"0009", 4, "0010"},
        {"0999", 4, "1000"},     {"9998", 4, "0001"},     {"9999", 4, "0001"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(nextNumber(c.last, c.width), c.next) << c.last;
    EXPECT_THROW(nextNumber("12A", 6), DbError);
}

TEST_F(SchemaTest, RegistrationCounterFromTheSettingRow) {
    EXPECT_EQ(GetNoDaftarAuto(db), "000001") << "no setting row";
    db.exec("INSERT INTO tblsetting (nama, nodaftarauto) VALUES ('X', NULL)");
    EXPECT_EQ(GetNoDaftarAuto(db), "000001");
    SaveNoDaftarAuto(db, " 000041 ");
    EXPECT_EQ(GetNoDaftarAuto(db), "000042");
}

TEST_F(SchemaTest, PosAndLineNumbersFollowTheHighestAndDetectTakenNumbers) {
    const QString key = "20240315000001";
    EXPECT_EQ(GetNextPos(db, key), "0001");
    for (const char* pos : {"0001", "0002", "0009"})
        db.exec("INSERT INTO tbldetail (nodaftar, nopos) VALUES (?, ?)", {key, pos});
    EXPECT_EQ(GetNextPos(db, key), "0010");
    EXPECT_EQ(GetNextPos(db, "20240315000002"), "0001");
    db.exec("INSERT INTO tblhs (nodaftar, nopos, noseq) VALUES (?, '0001', '9998')", {key});
    EXPECT_EQ(GetNextSeqHs(db, key, "0001"), "0001") << "wraps after 9998";
    EXPECT_TRUE(PosExists(db, key, "0009"));
    EXPECT_FALSE(PosExists(db, key, "0003"));
    EXPECT_TRUE(LineExists(db, "tblhs", key, "0001", "9998"));
    EXPECT_FALSE(LineExists(db, "tblpeb", key, "0001", "9998"));
    EXPECT_THROW(LineExists(db, "tblheader", key, "0001", "0001"), DbError);
}

TEST_F(SchemaTest, LineNumbersAreCountedPerPos) {
    const QString key = "20240315000001";
    const struct {
        const char* table;
        QString (*next)(const Database&, const QString&, const QString&);
    } lines[] = {
        {"tblhs", GetNextSeqHs}, {"tblcontainer", GetNextSeqContainer}, {"tblpeb", GetNextSeqPeb}};
    for (const auto& l : lines) {
        db.exec(
            QStringLiteral("INSERT INTO %1 (nodaftar, nopos, noseq) VALUES (?, '0001', '0001'), "
                           "(?, '0002', '0007')")
                .arg(l.table),
            {key, key});
        EXPECT_EQ(l.next(db, key, "0001"), "0002") << l.table;
        EXPECT_EQ(l.next(db, key, "0002"), "0008") << l.table;
        EXPECT_EQ(l.next(db, key, "0003"), "0001") << l.table;
    }
}

class ReadinessTest : public SchemaTest {
protected:
    const QString key = "20240315000001";
    void header(const char* direction, const char* group) {
        db.exec("INSERT INTO tblheader (nodaftar, jnsmanifest, kdgrup, status) VALUES (?,?,?,'N')",
                {key, direction, group});
    }
    // One POS per entry of `goodsLines`, each with that many goods lines.
    void pos(std::initializer_list<int> goodsLines, const char* unit = "") {
        int n = CountDetail(db, key);
        for (int lines : goodsLines) {
            const QString nopos = QString::number(++n).rightJustified(4, '0');
            db.exec("INSERT INTO tbldetail (nodaftar, nopos, satuankemasan) VALUES (?, ?, ?)",
                    {key, nopos, unit});
            for (int l = 1; l <= lines; ++l)
                addGoods(nopos, l);
        }
    }
    void addGoods(const QString& nopos, int line) {
        db.exec("INSERT INTO tblhs (nodaftar, nopos, noseq) VALUES (?, ?, ?)",
                {key, nopos, QString::number(line).rightJustified(4, '0')});
    }
    void document(const QString& nopos) {
        db.exec("INSERT INTO tblpeb (nodaftar, nopos, noseq) VALUES (?, ?, '0001')", {key, nopos});
    }
    QString status() {
        UpdateStatus(db, key);
        return GetStatus(db, key);
    }
};

TEST_F(ReadinessTest, EveryPosNeedsAGoodsLine) {
    header("Inward", "A1");
    EXPECT_EQ(status(), "N") << "no POS";
    pos({3, 0, 5});
    EXPECT_EQ(GetMinHsCount(db, key), 0);
    EXPECT_EQ(status(), "N");
    addGoods("0002", 1);
    EXPECT_EQ(status(), "Y");
    EXPECT_EQ(GetMinHsCount(db, key), 1);
    EXPECT_EQ(CountHsManifest(db, key), 9);
}

TEST_F(ReadinessTest, Group08XNeedsOnlyAPos) {
    header("Inward", "08X");
    EXPECT_EQ(status(), "N");
    pos({0});
    EXPECT_EQ(status(), "Y");
}

TEST_F(ReadinessTest, Outward09EAnd10ENeedUnitAndDocumentOnEveryPos) {
    for (const char* group : {"09e", "10E"}) {
        SCOPED_TRACE(group);
        for (const char* table : {"tblheader", "tbldetail", "tblhs", "tblpeb"})
            db.exec(QStringLiteral("DELETE FROM %1").arg(table));
        header("Outward", group);
        pos({2});
        EXPECT_EQ(status(), "N") << "no unit, no document";
        document("0001");
        EXPECT_EQ(status(), "N") << "no unit";
        db.exec("UPDATE tbldetail SET satuankemasan = 'PK'");
        EXPECT_EQ(status(), "Y");
        pos({1}, "PK");
        EXPECT_EQ(status(), "N") << "second POS without a document";
    }
}

TEST_F(ReadinessTest, Inward09EIsReadyWithoutDocuments) {
    header("Inward", "09E");
    pos({2});
    EXPECT_EQ(status(), "Y");
}

TEST_F(ReadinessTest, CountsAndMissingManifest) {
    EXPECT_EQ(GetStatus(db, key), "N");
    EXPECT_EQ(CountContainerManifest(db, key), 0);
    header("Outward", "10E");
    pos({1, 1});
    db.exec("INSERT INTO tblcontainer (nodaftar, nopos, noseq) VALUES (?, '0001', '0001'), "
            "(?, '0001', '0002'), (?, '0002', '0001')",
            {key, key, key});
    EXPECT_EQ(CountContainerManifest(db, key), 3);
    EXPECT_EQ(CountKontainer(db, key, "0001"), 2);
    EXPECT_EQ(CountDetail(db, key), 2);
    EXPECT_FALSE(IsGroup08X(db, key));
}
