#include "Schema.h"

#include "Database.h"
#include "History.h"

#include <vector>

namespace vastrel {

namespace {

struct Table {
    const char* name;
    const char* definition;
    std::vector<const char*> indexes;
    // The columns the lookups search for any part of the text, in tables that grow large.
    std::vector<const char*> searched = {};
    // The version of the tables that brought it.
    int since = 1;
    // What a server installation's clerk may do to its rows.
    schema::ClerkAccess clerk = schema::ClerkAccess::Change;
    // Columns later versions added, after those of `definition`: each with its version.
    std::vector<std::pair<const char*, int>> added = {};
};

#define TXT " TEXT COLLATE NOCASE"
constexpr auto Add = schema::ClerkAccess::Add;
constexpr auto Read = schema::ClerkAccess::Read;

const std::vector<Table>& tables() {
    static const std::vector<Table> all = {
        {"tblheader",
         "nodaftar" TXT " NOT NULL PRIMARY KEY, jnsmanifest" TXT ", vessel" TXT ", voyage" TXT
         ", kdgrup" TXT ", arrivingdate" TXT ", arrivingtime" TXT ", status" TXT ", no_master" TXT
         ", tgl_master" TXT,
         {"arrivingdate"}},
        {"tbldetail",
         "nodaftar" TXT " NOT NULL, nopos" TXT " NOT NULL, mot_vessel" TXT ", nobl" TXT
         ", tglbl" TXT ", pasalcd" TXT ", pmuatcd" TXT ", pbongkarcd" TXT ", pakhircd" TXT
         ", snm" TXT ", sna" TXT ", cnm" TXT ", cna" TXT ", nnm" TXT ", nna" TXT ", mark" TXT
         ", bruto NUMERIC, volume NUMERIC, jmlkemasan NUMERIC, satuankemasan" TXT
         ", flagconsolidate" TXT ", flagpartial" TXT
         ", grandcontainer NUMERIC, grandpackage NUMERIC, kpbc" TXT ", pebno" TXT ", pebtgl" TXT
         ", PRIMARY KEY (nodaftar, nopos)",
         {}},
        {"tblhs",
         "nodaftar" TXT " NOT NULL, nopos" TXT " NOT NULL, noseq" TXT " NOT NULL, hs" TXT
         ", uraian" TXT ", PRIMARY KEY (nodaftar, nopos, noseq)",
         {}},
        {"tblcontainer",
         "nodaftar" TXT " NOT NULL, nopos" TXT " NOT NULL, noseq" TXT " NOT NULL, nocountener" TXT
         ", ukuran" TXT ", tipe" TXT ", seal" TXT ", PRIMARY KEY (nodaftar, nopos, noseq)",
         {}},
        {"tblpeb",
         "nodaftar" TXT " NOT NULL, nopos" TXT " NOT NULL, noseq" TXT " NOT NULL, jenispeb" TXT
         ", kpbc" TXT ", pebno" TXT ", pebtgl" TXT ", PRIMARY KEY (nodaftar, nopos, noseq)",
         {}},
        {"tblsetting",
         "nama" TXT ", inisial" TXT ", alamat" TXT ", notelp" TXT ", fax" TXT ", jenis_manifest" TXT
         " NOT NULL DEFAULT '0', nodaftarauto" TXT,
         {}},
        // Users are added by the tables' owner.
        {"tbluser", "user" TXT " NOT NULL PRIMARY KEY, password" TXT, {}, {}, 1, Read},
        {"tblkapal", "idkapal INTEGER PRIMARY KEY AUTOINCREMENT, nmkapal" TXT, {"nmkapal"}},
        {"tblparties",
         "idparties INTEGER PRIMARY KEY AUTOINCREMENT, NamaParties" TXT ", AlmtParties" TXT
         ", KodeParties" TXT,
         {"NamaParties, KodeParties"},
         {"NamaParties"}},
        {"tblpelabuhan", "kdport" TXT " NOT NULL PRIMARY KEY, nmport" TXT, {}},
        {"tblkpbc", "kode" TXT " NOT NULL PRIMARY KEY, nama" TXT, {}},
        {"tblkemasan", "kdedi" TXT " NOT NULL PRIMARY KEY, uredi" TXT, {}},
        {"tbl_hs", "hs" TXT " NOT NULL PRIMARY KEY, description" TXT, {}, {"description"}},
        {"tblGrup",
         "kdgrup" TXT " NOT NULL PRIMARY KEY, urkdgrup" TXT
         ", inward INTEGER NOT NULL DEFAULT 0, outward INTEGER NOT NULL DEFAULT 0, adadetil "
         "INTEGER",
         {"adadetil"}},
        {"tblschema", "version INTEGER NOT NULL PRIMARY KEY", {}, {}, 2, Read},
        // The files imported, so that the same file is not imported twice by mistake.
        {"tblimported",
         "idimported INTEGER PRIMARY KEY AUTOINCREMENT, nodaftar" TXT " NOT NULL, sha256" TXT
         " NOT NULL, filename" TXT ", importedat" TXT,
         {"sha256"},
         {},
         2,
         Add},
        // Where each reference table's rows came from, for the administrator.
        {"tblrefsource",
         "reftable" TXT " NOT NULL PRIMARY KEY, source" TXT ", loadedat" TXT,
         {},
         {},
         3},
        // Every change of a manifest's rows, only ever added to.
        {"tblhistory",
         "idhistory INTEGER PRIMARY KEY AUTOINCREMENT, changedat" TXT " NOT NULL, username" TXT
         ", host" TXT ", tablename" TXT " NOT NULL, nodaftar" TXT " NOT NULL, nopos" TXT
         ", rowkey" TXT " NOT NULL, action" TXT " NOT NULL, changes" TXT,
         {"nodaftar, nopos"},
         {},
         4,
         Add},
        // Every flat file written for customs, byte for byte; only ever added to.
        {"tblfiling",
         "idfiling INTEGER PRIMARY KEY AUTOINCREMENT, nodaftar" TXT " NOT NULL, filedat" TXT
         " NOT NULL, username" TXT ", host" TXT ", filename" TXT ", sha256" TXT
         " NOT NULL, content BLOB NOT NULL",
         {"nodaftar"},
         {},
         4,
         Add,
         // The filed size, and "zlib" when the content is compressed; both empty in the
         // filings of version 4, which kept the bytes as they are.
         {{"filesize INTEGER", 5}, {"compression" TXT, 5}}},
    };
    return all;
}

#undef TXT

// The table's columns and constraints, the added columns among them.
QString definitionOf(const Table& t) {
    QString definition = QLatin1String(t.definition);
    QString added;
    for (const auto& [column, since] : t.added)
        added += ", " + QLatin1String(column);
    const qsizetype constraints = definition.indexOf(QLatin1String(", PRIMARY KEY"));
    return constraints < 0 ? definition + added : definition.insert(constraints, added);
}

const Table* findTable(const QString& name) {
    for (const Table& t : tables()) {
        if (name.compare(QLatin1String(t.name), Qt::CaseInsensitive) == 0)
            return &t;
    }
    return nullptr;
}

// Deletes the rows of `tables` that match `where`, one transaction for all.
void deleteEverywhere(Database& db, const QStringList& tableList, const QString& where,
                      const Params& params) {
    Transaction tx(db);
    for (const QString& table : tableList) {
        recordDeletes(db, table, where, params);
        db.exec("DELETE FROM " + table + " WHERE " + where, params);
    }
    tx.commit();
}

} // namespace

namespace schema {

QStringList tableNames(int version) {
    QStringList names;
    for (const Table& t : tables()) {
        if (t.since <= version)
            names << QLatin1String(t.name);
    }
    return names;
}

namespace {

// The column definitions of a table ("name TYPE ..."), table constraints left out.
QStringList columnDefinitions(const QString& table) {
    const Table* t = findTable(table);
    if (!t)
        return {};
    const QString columns = definitionOf(*t).section(", PRIMARY KEY", 0, 0);
    QStringList definitions;
    for (const QString& part : columns.split(','))
        definitions << part.trimmed();
    return definitions;
}

} // namespace

QStringList columnNames(const QString& table) {
    QStringList columns;
    for (const QString& definition : columnDefinitions(table))
        columns << definition.section(' ', 0, 0);
    return columns;
}

QStringList requiredColumns(const QString& table) {
    QStringList columns;
    for (const QString& definition : columnDefinitions(table)) {
        if (definition.contains(QLatin1String("NOT NULL")) &&
            !definition.contains(QLatin1String("DEFAULT")))
            columns << definition.section(' ', 0, 0);
    }
    return columns;
}

QString numberedColumn(const QString& table) {
    for (const QString& definition : columnDefinitions(table)) {
        if (definition.contains(QLatin1String("AUTOINCREMENT")))
            return definition.section(' ', 0, 0);
    }
    return {};
}

ClerkAccess clerkAccess(const QString& table) {
    const Table* t = findTable(table);
    return t ? t->clerk : ClerkAccess::Read;
}

ColumnKind columnKind(const QString& column) {
    static const QStringList dates = {"arrivingdate", "tgl_master", "tglbl", "pebtgl"};
    static const QStringList numbers = {
        "bruto",     "volume",   "jmlkemasan", "grandcontainer", "grandpackage",
        "adadetil",  "idkapal",  "idparties",  "version",        "idimported",
        "idhistory", "idfiling", "filesize"};
    const QString name = column.toLower();
    if (dates.contains(name))
        return ColumnKind::Date;
    if (name == QLatin1String("arrivingtime"))
        return ColumnKind::Time;
    if (name == QLatin1String("inward") || name == QLatin1String("outward"))
        return ColumnKind::Boolean;
    return numbers.contains(name) ? ColumnKind::Number : ColumnKind::Text;
}

namespace {

void createTable(Database& db, const Table& t) {
    const QString name = QLatin1String(t.name);
    db.exec("CREATE TABLE " + name + " (" + definitionOf(t) + ")");
    for (const char* columns : t.indexes) {
        const QString suffix = QString::fromLatin1(columns).remove(' ').replace(',', '_');
        db.exec("CREATE INDEX ix_" + name + "_" + suffix + " ON " + name + " (" +
                QLatin1String(columns) + ")");
    }
    for (const char* column : t.searched)
        db.indexForSearch(name, QLatin1String(column));
}

// Adds what the versions after `from` brought, and records the version reached.
void createSince(Database& db, int from) {
    Transaction tx(db);
    for (const Table& t : tables()) {
        if (t.since > from) {
            createTable(db, t);
            continue;
        }
        for (const auto& [column, since] : t.added) {
            if (since > from)
                db.exec("ALTER TABLE " + QLatin1String(t.name) + " ADD COLUMN " +
                        QLatin1String(column));
        }
    }
    db.exec(QStringLiteral("DELETE FROM tblschema"));
    db.exec(QStringLiteral("INSERT INTO tblschema (version) VALUES (?)"), {kVersion});
    tx.commit();
}

} // namespace

void create(Database& db) {
    createSince(db, 0);
}

int version(const Database& db) {
    if (!db.tableNames().contains(QStringLiteral("tblschema"), Qt::CaseInsensitive))
        return 1; // tables made before their version was recorded
    return db.scalar(QStringLiteral("SELECT max(version) FROM tblschema")).toInt();
}

void upgrade(Database& db) {
    const int from = version(db);
    if (from < kVersion)
        createSince(db, from);
}

} // namespace schema

void deleteManifest(Database& db, const QString& nodaftar) {
    deleteEverywhere(db, kManifestTables, QStringLiteral("nodaftar = ?"), {nodaftar});
}

void deletePos(Database& db, const QString& nodaftar, const QString& nopos) {
    deleteEverywhere(db, kManifestTables.mid(1), QStringLiteral("nodaftar = ? AND nopos = ?"),
                     {nodaftar, nopos});
}

void clearDocumentsAndUnits(Database& db, const QString& nodaftar) {
    Transaction tx(db);
    deleteEverywhere(db, {QStringLiteral("tblpeb")}, QStringLiteral("nodaftar = ?"), {nodaftar});
    const RowSet units = db.query(QStringLiteral("SELECT nopos FROM tbldetail WHERE nodaftar = ? "
                                                 "AND satuankemasan <> ''"),
                                  {nodaftar});
    for (int i = 0; i < units.recordCount(); ++i) {
        const QString nopos = units.row(i).at(0).toString();
        RowChange change(db, QStringLiteral("tbldetail"), {nodaftar, nopos});
        db.exec(QStringLiteral("UPDATE tbldetail SET satuankemasan = '' WHERE nodaftar = ? AND "
                               "nopos = ?"),
                {nodaftar, nopos});
        change.record();
    }
    tx.commit();
}

} // namespace vastrel
