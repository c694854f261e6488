// The program's SQL as the server engine rewrites it: one row per form the program writes,
// and the forms it refuses.
#include "ServerDialect.h"
#include "Database.h"
#include "TestSupport.h"

using namespace vastrel;

namespace {

// What the server's catalog says of a few tables.
const ColumnNulls kCatalog = {
    {"tblkapal", {{"idkapal", false}, {"nmkapal", true}}},
    {"tbl_hs", {{"hs", false}, {"description", true}}},
    {"tblhs", {{"nodaftar", false}, {"hs", true}}},
};

TEST(ServerDialect, StatementsKeepTheFilesMeaning) {
    const std::pair<const char*, const char*> cases[] = {
        // A column that may be null takes the file's place for nulls, a key keeps its index.
        {"SELECT nmkapal FROM tblkapal ORDER BY nmkapal LIMIT 100",
         "SELECT nmkapal FROM tblkapal ORDER BY nmkapal NULLS FIRST LIMIT 100"},
        {"SELECT hs FROM tbl_hs ORDER BY hs DESC LIMIT ?",
         "SELECT hs FROM tbl_hs ORDER BY hs DESC LIMIT $1"},
        // Null in one of the tables read is enough; an expression or a position may be null.
        {"SELECT a.hs FROM tbl_hs a JOIN tblhs b ON a.hs = b.hs ORDER BY b.hs, a.hs",
         "SELECT a.hs FROM tbl_hs a JOIN tblhs b ON a.hs = b.hs ORDER BY b.hs NULLS FIRST, a.hs "
         "NULLS FIRST"},
        {"SELECT idkapal FROM tblkapal ORDER BY idkapal, (nmkapal) DESC, 1;",
         "SELECT idkapal FROM tblkapal ORDER BY idkapal, (nmkapal) DESC NULLS LAST, 1 NULLS "
         "FIRST;"},
        {"SELECT idkapal FROM tblkapal ORDER BY (SELECT nmkapal FROM tblkapal ORDER BY nmkapal "
         "DESC LIMIT 1)",
         "SELECT idkapal FROM tblkapal ORDER BY (SELECT nmkapal FROM tblkapal ORDER BY nmkapal "
         "DESC NULLS LAST LIMIT 1) NULLS FIRST"},
        // A column of a table the catalog does not know, read through a subquery.
        {"SELECT kode FROM (SELECT kode FROM tblkpbc WHERE nama LIKE ?) X ORDER BY kode",
         "SELECT kode FROM (SELECT kode FROM tblkpbc WHERE nama::text ILIKE $1 ESCAPE '') X "
         "ORDER BY kode NULLS FIRST"},
        {"SELECT 1 FROM tbluser WHERE vessel NOT LIKE ? AND user = ?",
         "SELECT 1 FROM tbluser WHERE vessel::text NOT ILIKE $1 ESCAPE '' AND \"user\" = $2"},
        {"SELECT 1 FROM t WHERE x LIKE 'it''s ?%'",
         "SELECT 1 FROM t WHERE x::text ILIKE 'it''s ?%' ESCAPE ''"},
        {"SELECT 'ORDER BY ? LIKE', \"user\" FROM t", "SELECT 'ORDER BY ? LIKE', \"user\" FROM t"},
        // Where a key may be null after all: an alias, an outer join, a table not known.
        {"SELECT nmkapal AS idkapal FROM tblkapal ORDER BY idkapal",
         "SELECT nmkapal AS idkapal FROM tblkapal ORDER BY idkapal NULLS FIRST"},
        {"SELECT 1 FROM tbl_hs a LEFT JOIN tblhs b ON a.hs = b.hs ORDER BY b.nodaftar LIKE ?",
         "SELECT 1 FROM tbl_hs a LEFT JOIN tblhs b ON a.hs = b.hs ORDER BY b.nodaftar::text ILIKE "
         "$1 ESCAPE '' NULLS FIRST"},
        {"SELECT hs FROM tbl_hs JOIN elsewhere USING (hs) ORDER BY hs",
         "SELECT hs FROM tbl_hs JOIN elsewhere USING (hs) ORDER BY hs NULLS FIRST"},
    };
    for (const auto& [sql, server] : cases)
        EXPECT_EQ(QString::fromUtf8(serverStatement(sql, kCatalog)), server);
}

TEST(ServerDialect, APatternWhoseEscapeCannotBeCarriedIsRefused) {
    for (const char* sql :
         {"SELECT 1 FROM t WHERE x LIKE ? || '%'", "SELECT 1 FROM t WHERE x LIKE ? ESCAPE '!'",
          "SELECT 1 FROM t WHERE x LIKE upper(?)"})
        EXPECT_THROW(serverStatement(sql, kCatalog), DbError) << sql;
}

} // namespace
