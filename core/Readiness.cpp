#include "Readiness.h"

#include "Database.h"

namespace vastrel {

namespace {

int count(const Database& db, const QString& sql, const Params& params) {
    return db.scalar(sql, params).toInt();
}

} // namespace

int CountDetail(const Database& db, const QString& nodaftar) {
    return count(db, "SELECT count(*) FROM tbldetail WHERE nodaftar = ?", {nodaftar});
}

int CountHs(const Database& db, const QString& nodaftar, const QString& nopos) {
    return count(db, "SELECT count(*) FROM tblhs WHERE nodaftar = ? AND nopos = ?",
                 {nodaftar, nopos});
}

int CountPeb(const Database& db, const QString& nodaftar, const QString& nopos) {
    return count(db, "SELECT count(*) FROM tblpeb WHERE nodaftar = ? AND nopos = ?",
                 {nodaftar, nopos});
}

int CountKontainer(const Database& db, const QString& nodaftar, const QString& nopos) {
    return count(db, "SELECT count(*) FROM tblcontainer WHERE nodaftar = ? AND nopos = ?",
                 {nodaftar, nopos});
}

int CountHsManifest(const Database& db, const QString& nodaftar) {
    return count(db, "SELECT count(*) FROM tblhs WHERE nodaftar = ?", {nodaftar});
}

int CountContainerManifest(const Database& db, const QString& nodaftar) {
    return count(db, "SELECT count(*) FROM tblcontainer WHERE nodaftar = ?", {nodaftar});
}

bool IsGroup08X(const Database& db, const QString& nodaftar) {
    return db.scalar("SELECT kdgrup FROM tblheader WHERE nodaftar = ?", {nodaftar}).toString() ==
           QLatin1String("08X");
}

HeaderKind GetHeaderKind(const Database& db, const QString& nodaftar) {
    RowSet rs =
        db.query("SELECT jnsmanifest, kdgrup FROM tblheader WHERE nodaftar = ?", {nodaftar});
    if (rs.eof())
        return {};
    return {rs.text("jnsmanifest"), rs.text("kdgrup")};
}

bool PebExists(const Database& db, const QString& nodaftar, const QString& nopos) {
    return CountPeb(db, nodaftar, nopos) > 0;
}

bool CheckPebPerPos(const Database& db, const QString& nodaftar, bool skipPeb) {
    if (CountDetail(db, nodaftar) == 0)
        return false;
    if (skipPeb)
        return true;
    return count(db,
                 "SELECT count(*) FROM tbldetail d WHERE d.nodaftar = ? "
                 "AND (coalesce(d.satuankemasan, '') = '' OR NOT EXISTS "
                 "(SELECT 1 FROM tblpeb p WHERE p.nodaftar = d.nodaftar AND p.nopos = d.nopos))",
                 {nodaftar}) == 0;
}

int GetMinHsCount(const Database& db, const QString& nodaftar) {
    if (IsGroup08X(db, nodaftar))
        return CheckPebPerPos(db, nodaftar, true) ? 1 : 0;
    // The fewest goods lines of any POS; null when the manifest has no POS.
    const QVariant fewest =
        db.scalar("SELECT min(lines) FROM (SELECT count(h.noseq) AS lines FROM tbldetail d "
                  "LEFT JOIN tblhs h ON h.nodaftar = d.nodaftar AND h.nopos = d.nopos "
                  "WHERE d.nodaftar = ? GROUP BY d.nopos) AS per_pos",
                  {nodaftar});
    if (fewest.isNull())
        return 0;
    const HeaderKind kind = GetHeaderKind(db, nodaftar);
    const QString group = kind.kdgrup.toUpper();
    if (kind.jnsmanifest.toLower() == QLatin1String("outward") &&
        (group == QLatin1String("09E") || group == QLatin1String("10E")) &&
        !CheckPebPerPos(db, nodaftar, false))
        return 0;
    return fewest.toInt();
}

void UpdateStatus(Database& db, const QString& nodaftar) {
    // A colleague's save of the same manifest is seen whole, or waited for.
    db.lockRows(QStringLiteral("tblheader"), QStringLiteral("nodaftar = ?"), {nodaftar});
    const QString status = GetMinHsCount(db, nodaftar) >= 1 ? "Y" : "N";
    db.exec("UPDATE tblheader SET status = ? WHERE nodaftar = ?", {status, nodaftar});
}

QString GetStatus(const Database& db, const QString& nodaftar) {
    RowSet rs = db.query("SELECT status FROM tblheader WHERE nodaftar = ?", {nodaftar});
    return rs.eof() ? QStringLiteral("N") : rs.text("status");
}

} // namespace vastrel
