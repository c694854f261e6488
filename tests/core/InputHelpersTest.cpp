#include "InputHelpers.h"
#include "Lookups.h"
#include "TestSupport.h"

using namespace vastrel;
using namespace vastrel::test;
using Msg = DateCheck::Message;

TEST(InputHelpers, CheckDateNormalisesOrNamesTheFault) {
    const struct {
        const char* typed;
        bool accepted;
        const char* shown;
        Msg message;
    } cases[] = {
        {"300507", true, "30-05-2007", Msg::None},
        {"30-05-51", true, "30-05-1951", Msg::None},
        {"30-05-50", true, "30-05-2050", Msg::None},
        {"30052007", true, "30-05-2007", Msg::None},
        {"29-02-2024", true, "29-02-2024", Msg::None},
        {"", true, "", Msg::None},
        {"31-02-2007", false, "31022007", Msg::InvalidDate},
        {"12-13-2007", false, "12132007", Msg::FormatInformation},
        {"3005", false, "3005", Msg::Format},
        {"3005200712", false, "3005200712", Msg::InvalidDate},
    };
    for (const auto& c : cases) {
        const DateCheck check = CheckDate(c.typed);
        EXPECT_EQ(check.accepted, c.accepted) << c.typed;
        EXPECT_EQ(check.text, c.shown) << c.typed;
        EXPECT_EQ(check.message, c.message) << c.typed;
    }
}

TEST(InputHelpers, FilterDateKeepsDigitsAndDashes) {
    EXPECT_EQ(FilterDate("30/05/2007 12:00", 16).text, "3005200712");
    EXPECT_EQ(FilterDate("30/05/2007 12:00", 16).cursor, 10);
    EXPECT_EQ(FilterDate("3a0-05", 2).text, "30-05");
    EXPECT_EQ(DateKey("30-05-2007"), "20070530");
}

TEST(InputHelpers, TimesAreHoursAndMinutes) {
    const struct {
        const char* typed;
        const char* normalised;
    } cases[] = {{"0830", "08:30"},  {"23:59", "23:59"}, {"00:00", "00:00"}, {"24:00", ""},
                 {"12:60", ""},      {"1:30", ""},       {"8:30", ""},       {"830", ""},
                 {"08300", ""},      {"ab:cd", ""},      {"12.30", ""},      {"12,30", ""},
                 {"12-30", "12:30"}, {"12 30", "12:30"}, {"12h30", "12:30"}, {"", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(NormaliseTime(c.typed), c.normalised) << c.typed;
    EXPECT_TRUE(IsValidTime("08.30")) << "the separator is not examined";
}

TEST(InputHelpers, InvalidCharactersAreListedByPosition) {
    const QString text = QStringLiteral("ABC\tDEFG\u00e9\r\nZ\u007f");
    const QList<int> positions = InvalidCharPositions(text);
    EXPECT_EQ(positions, (QList<int>{4, 9, 13}));
    EXPECT_EQ(InvalidCharMessage(text, positions),
              QStringLiteral("Posisi 4 [\t], Posisi 9 [\u00e9], Posisi 13 [\u007f]"));
    EXPECT_EQ(InvalidCharTitle("Nama Shipper"), "Invalid Character - Nama Shipper");
    EXPECT_TRUE(InvalidCharPositions("O'NEIL\r\nLINE 2").isEmpty());
}

TEST(InputHelpers, OnlyAccentedLatinLettersAreOfferedPlain) {
    const struct {
        const char* text;
        const char* plain; // empty: no offer
    } cases[] = {
        {"SOCI\u00c9T\u00c9 G\u00c9N\u00c9RALE", "SOCIETE GENERALE"},
        {"KAF\u00c9 \u00c7A", "KAFE CA"},
        {"STRA\u00dfE \u00c6RO \u0141\u00d3D\u0179", "STRASSE AERO LODZ"},
        {"\u00f1and\u00fa", "nandu"},
        {"CAF\u00c9\tX", ""},           // a tab is refused whatever the letters
        {"CAF\u00c9 \u4e2d\u6587", ""}, // Chinese stays refused
        {"CAF\u00c9 \u00a9", ""},       // a sign, not a letter
        {"PLAIN", ""},                  // nothing to replace
    };
    for (const auto& c : cases)
        EXPECT_EQ(WithPlainLetters(QString::fromUtf8(c.text)), QString::fromUtf8(c.plain))
            << c.text;
}

TEST(InputHelpers, CaptionAndDateConversions) {
    EXPECT_EQ(CaptionText("1", "2.1"), "Vastrel Udara 2.1");
    EXPECT_EQ(CaptionText("0", ""), "Vastrel Laut ");
    EXPECT_EQ(DisplayToStoredDate("15-03-2024"), "2024-03-15");
    EXPECT_EQ(StoredToDisplayDate("2024-03-15"), "15-03-2024");
    EXPECT_EQ(DisplayToStoredDate(""), "");
}

TEST_F(SchemaTest, NameLookupsTellUnknownFromEmpty) {
    db.exec("INSERT INTO tblpelabuhan (kdport, nmport) VALUES ('IDTPP', ' PRIOK '), ('X', NULL)");
    db.exec("INSERT INTO tblGrup (kdgrup, urkdgrup, inward, outward) VALUES ('09E', 'EKSPOR', 0, "
            "-1)");
    EXPECT_EQ(GetNmPort(db, "idtpp"), "PRIOK");
    EXPECT_EQ(GetNmPort(db, "X"), "");
    EXPECT_EQ(GetNmPort(db, "NONE"), kNotFound);
    EXPECT_EQ(GetPortName(db, "NONE"), "");
    EXPECT_EQ(GetNmKpbc(db, "O'X"), kNotFound);
    EXPECT_EQ(GetNmKemasan(db, "PK"), kNotFound);
    EXPECT_EQ(GetNmGrup(db, "09E", "Outward"), "EKSPOR");
    EXPECT_EQ(GetNmGrup(db, "09E", "Inward"), "");
}

TEST_F(SchemaTest, AddPartiesAddsOnlyUnknownNamesOfThatKind) {
    AddParties(db, "o'neil", "jl a", "1");
    AddParties(db, "O'NEIL", "JL B", "1");
    AddParties(db, "O'NEIL", "JL C", "2");
    EXPECT_EQ(count("tblparties"), 2);
    EXPECT_EQ(db.scalar("SELECT AlmtParties FROM tblparties WHERE KodeParties = '1'"), "JL A");
}
