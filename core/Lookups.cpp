#include "Lookups.h"

#include "Database.h"

namespace vastrel {

namespace {

QString nameOf(const Database& db, const QString& sql, const QString& code) {
    RowSet rs = db.query(sql, {code});
    return rs.eof() ? kNotFound : rs.value(0).toString().trimmed();
}

} // namespace

QString GetNmKpbc(const Database& db, const QString& code) {
    return nameOf(db, "SELECT nama FROM tblkpbc WHERE kode = ?", code);
}

QString GetNmPort(const Database& db, const QString& code) {
    return nameOf(db, "SELECT nmport FROM tblpelabuhan WHERE kdport = ?", code);
}

QString GetNmKemasan(const Database& db, const QString& code) {
    return nameOf(db, "SELECT uredi FROM tblkemasan WHERE kdedi = ?", code);
}

QString GetNmSatuan(const Database& db, const QString& code) {
    return db.scalar("SELECT uredi FROM tblkemasan WHERE kdedi = ?", {code}).toString();
}

QString GetPortName(const Database& db, const QString& code) {
    return db.scalar("SELECT nmport FROM tblpelabuhan WHERE kdport = ?", {code}).toString();
}

QString GetNmGrup(const Database& db, const QString& kdgrup, const QString& direction) {
    const QString flag = direction == QLatin1String("Inward") ? "inward" : "outward";
    return db
        .scalar("SELECT urkdgrup FROM tblGrup WHERE kdgrup = ? AND " + flag + " = -1", {kdgrup})
        .toString();
}

void AddParties(Database& db, const QString& nama, const QString& alamat, const QString& kode) {
    db.exec("INSERT INTO tblparties (NamaParties, AlmtParties, KodeParties) SELECT ?, ?, ? "
            "WHERE NOT EXISTS (SELECT 1 FROM tblparties WHERE NamaParties = ? AND KodeParties = ?)",
            {nama.toUpper(), alamat.toUpper(), kode, nama, kode});
}

void PartiesAdded::add(Database& db, const QString& nama, const QString& alamat,
                       const QString& kode) {
    const QString key = kode + u'\n' + nama.toUpper();
    if (m_seen.contains(key))
        return;
    AddParties(db, nama, alamat, kode);
    m_seen.insert(key);
}

void AddKapal(Database& db, const QString& name) {
    if (db.query("SELECT 1 FROM tblkapal WHERE nmkapal = ?", {name}).eof())
        db.exec("INSERT INTO tblkapal (nmkapal) VALUES (?)", {name});
}

} // namespace vastrel
