#include "Numbering.h"

#include "Database.h"

#include <cmath>

namespace vastrel {

namespace {

const QStringList kLineTables = {"tblhs", "tblcontainer", "tblpeb"};

QString checkedLineTable(const QString& table) {
    if (!kLineTables.contains(table))
        throw DbError(("Not a line table: " + table).toStdString());
    return table;
}

QString nextSeq(const Database& db, const QString& table, const QString& nodaftar,
                const QString& nopos) {
    const QVariant last = db.scalar("SELECT max(noseq) FROM " + checkedLineTable(table) +
                                        " WHERE nodaftar = ? AND nopos = ?",
                                    {nodaftar, nopos});
    return nextNumber(last.toString(), 4);
}

} // namespace

QString nextNumber(const QString& last, int width) {
    if (last.trimmed().isEmpty())
        return QString(width - 1, '0') + '1';
    bool ok = false;
    const long long n = last.trimmed().toLongLong(&ok) + 1;
    if (!ok)
        throw DbError(("The stored number \"" + last + "\" is not a number").toStdString());
    long long limit = 1;
    for (int i = 0; i < width; ++i)
        limit *= 10;
    if (n >= limit - 1 || n < 1)
        return QString(width - 1, '0') + '1';
    return QString::number(n).rightJustified(width, '0');
}

QString nextFreeNumber(const QString& taken, int width,
                       const std::function<bool(const QString&)>& isFree) {
    QString number = taken;
    const double scope = std::pow(10, width);
    for (long long tries = 0; tries < scope; ++tries) {
        number = nextNumber(number, width);
        if (isFree(number))
            return number;
    }
    return {};
}

QString GetNoDaftarAuto(const Database& db) {
    return nextNumber(db.scalar("SELECT nodaftarauto FROM tblsetting LIMIT 1").toString(), 6);
}

void SaveNoDaftarAuto(Database& db, const QString& number) {
    db.exec("UPDATE tblsetting SET nodaftarauto = ?", {number.trimmed()});
}

QString GetNextPos(const Database& db, const QString& nodaftar) {
    return nextNumber(
        db.scalar("SELECT max(nopos) FROM tbldetail WHERE nodaftar = ?", {nodaftar}).toString(), 4);
}

QString GetNextSeqHs(const Database& db, const QString& nodaftar, const QString& nopos) {
    return nextSeq(db, "tblhs", nodaftar, nopos);
}

QString GetNextSeqContainer(const Database& db, const QString& nodaftar, const QString& nopos) {
    return nextSeq(db, "tblcontainer", nodaftar, nopos);
}

QString GetNextSeqPeb(const Database& db, const QString& nodaftar, const QString& nopos) {
    return nextSeq(db, "tblpeb", nodaftar, nopos);
}

bool HeaderExists(const Database& db, const QString& nodaftar) {
    return db.query("SELECT 1 FROM tblheader WHERE nodaftar = ?", {nodaftar}).recordCount() > 0;
}

bool PosExists(const Database& db, const QString& nodaftar, const QString& nopos) {
    return db.query("SELECT 1 FROM tbldetail WHERE nodaftar = ? AND nopos = ?", {nodaftar, nopos})
               .recordCount() > 0;
}

bool LineExists(const Database& db, const QString& table, const QString& nodaftar,
                const QString& nopos, const QString& noseq) {
    return db.query("SELECT 1 FROM " + checkedLineTable(table) +
                        " WHERE nodaftar = ? AND nopos = ? AND noseq = ?",
                    {nodaftar, nopos, noseq})
               .recordCount() > 0;
}

} // namespace vastrel
