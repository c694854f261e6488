#include "ReferenceTables.h"

#include "Database.h"
#include "History.h"

namespace vastrel {

namespace {

QRegularExpression shape(const char* pattern) {
    return QRegularExpression(QStringLiteral("^%1$").arg(QLatin1String(pattern)),
                              QRegularExpression::CaseInsensitiveOption);
}

} // namespace

const std::vector<ReferenceTable>& referenceTables() {
    static const std::vector<ReferenceTable> all = {
        {"pelabuhan",
         "tblpelabuhan",
         "kdport",
         "nmport",
         shape("[A-Z]{2}[A-Z0-9]{3}"),
         100,
         {"tbldetail.pasalcd", "tbldetail.pmuatcd", "tbldetail.pbongkarcd", "tbldetail.pakhircd"}},
        {"kemasan",
         "tblkemasan",
         "kdedi",
         "uredi",
         shape("[A-Z0-9]{2,3}"),
         100,
         {"tbldetail.satuankemasan"}},
        {"hs", "tbl_hs", "hs", "description", shape("[0-9]{4,10}"), 1000, {"tblhs.hs"}},
        {"kpbc",
         "tblkpbc",
         "kode",
         "nama",
         shape("[0-9]{6}"),
         100,
         {"tbldetail.kpbc", "tblpeb.kpbc"}},
        {"grup",
         "tblGrup",
         "kdgrup",
         "urkdgrup",
         shape("[A-Z0-9]{1,5}"),
         100,
         {"tblheader.kdgrup"}},
    };
    return all;
}

const ReferenceTable& referenceTable(const QString& kind) {
    QStringList kinds;
    for (const ReferenceTable& table : referenceTables()) {
        if (table.kind == kind)
            return table;
        kinds << table.kind;
    }
    throw DbError(("Unknown reference table " + kind + ": " + kinds.join(", ")).toStdString());
}

std::vector<ReferenceState> referenceStatus(const Database& db) {
    std::vector<ReferenceState> states;
    for (const ReferenceTable& table : referenceTables()) {
        ReferenceState state{
            table.kind, db.scalar("SELECT count(*) FROM " + table.table).toInt(), {}, {}};
        const RowSet source =
            db.query(QStringLiteral("SELECT source, loadedat FROM tblrefsource WHERE reftable = ?"),
                     {table.table});
        if (!source.eof()) {
            state.source = source.text(QStringLiteral("source"));
            state.loadedAt = source.text(QStringLiteral("loadedat"));
        }
        states.push_back(state);
    }
    return states;
}

void recordReferenceSource(Database& db, const ReferenceTable& table, const QString& source) {
    db.exec(QStringLiteral("DELETE FROM tblrefsource WHERE reftable = ?"), {table.table});
    db.exec(
        QStringLiteral("INSERT INTO tblrefsource (reftable, source, loadedat) VALUES (?, ?, ?)"),
        {table.table, source, recordedNow()});
}

} // namespace vastrel
