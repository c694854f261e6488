#include "FlatFileImport.h"

#include "Database.h"
#include "FlatFile.h"
#include "Lookups.h"
#include "Numbering.h"
#include "Readiness.h"

#include <QSet>

#include <functional>
#include <utility>

namespace vastrel {

namespace {

constexpr int kLastLineNumber = 9998;

// A reference list a code of the file should be in.
struct ReferenceList {
    const char* what;
    std::function<bool(const Database&, const QString&)> knows;
};

const ReferenceList kPorts{"port", [](const Database& db, const QString& code) {
                               return GetNmPort(db, code) != kNotFound;
                           }};
const ReferenceList kUnits{"package unit", [](const Database& db, const QString& code) {
                               return GetNmKemasan(db, code) != kNotFound;
                           }};
const ReferenceList kOffices{"customs office", [](const Database& db, const QString& code) {
                                 return GetNmKpbc(db, code) != kNotFound;
                             }};
const ReferenceList kGroups{
    "group", [](const Database& db, const QString& code) {
        return !db.scalar("SELECT 1 FROM tblGrup WHERE kdgrup = ?", {code}).isNull();
    }};

// Warns once for every code of the file that its reference list lacks.
class CodeCheck {
public:
    CodeCheck(const Database& db, QStringList& warnings) : m_db(db), m_warnings(warnings) {}

    void check(const ReferenceList& list, const QString& code, const QString& where) {
        const QString key = QLatin1String(list.what) + '\n' + code;
        if (code.isEmpty() || m_seen.contains(key))
            return;
        m_seen.insert(key);
        if (!list.knows(m_db, code))
            m_warnings << QStringLiteral("%1 code %2 (%3) is not in the reference list")
                              .arg(QLatin1String(list.what), code, where);
    }

private:
    const Database& m_db;
    QStringList& m_warnings;
    QSet<QString> m_seen;
};

void warnUnknownCodes(const Database& db, const FlatFileManifest& manifest, bool newManifest,
                      QStringList& warnings) {
    CodeCheck codes(db, warnings);
    if (newManifest)
        codes.check(kGroups, manifest.header.kdgrup, QStringLiteral("header"));
    for (const FlatFilePos& pos : manifest.pos) {
        const QString where = "POS " + pos.nopos;
        for (const QString& port : {pos.pasalcd, pos.pmuatcd, pos.pbongkarcd, pos.pakhircd})
            codes.check(kPorts, port, where);
        codes.check(kUnits, pos.satuankemasan, where);
        for (const FlatFileDocument& document : pos.documents)
            codes.check(kOffices, document.kpbc, where);
    }
}

// The new manifest's key, or a refusal when it is taken.
void planNewManifest(const Database& db, const QDate& today, FlatFileImportPlan& plan) {
    plan.registrationNumber = GetNoDaftarAuto(db);
    plan.target = today.toString(QStringLiteral("yyyyMMdd")) + plan.registrationNumber;
    if (HeaderExists(db, plan.target))
        plan.refusals << "manifest " + plan.target + " already exists";
    for (const FlatFilePos& pos : plan.reading.manifest.pos)
        plan.posNumbers << pos.nopos;
}

// The file's POS after the manifest's highest POS, or a refusal when there is no room.
void planAppend(const Database& db, const QString& into, FlatFileImportPlan& plan) {
    plan.newManifest = false;
    plan.target = into;
    const RowSet header =
        db.query(QStringLiteral("SELECT vessel, voyage, jnsmanifest FROM tblheader WHERE "
                                "nodaftar = ?"),
                 {into});
    if (header.eof()) {
        plan.refusals << "manifest " + into + " does not exist";
        return;
    }
    const FlatFileHeader& file = plan.reading.manifest.header;
    for (const auto& [column, value] : {std::pair{"vessel", file.vessel},
                                        {"voyage", file.voyage},
                                        {"jnsmanifest", file.jnsmanifest}})
        if (header.text(QLatin1String(column)).trimmed() != value.trimmed())
            plan.warnings << QStringLiteral("the file's %1 \"%2\" differs from the manifest's "
                                            "\"%3\", which stays")
                                 .arg(QLatin1String(column), value,
                                      header.text(QLatin1String(column)));
    const QString last =
        db.scalar(QStringLiteral("SELECT max(nopos) FROM tbldetail WHERE nodaftar = ?"), {into})
            .toString();
    const int first = GetNextPos(db, into).toInt();
    const auto count = static_cast<int>(plan.reading.manifest.pos.size());
    if ((!last.isEmpty() && first == 1) || first + count - 1 > kLastLineNumber)
        plan.refusals << QStringLiteral("manifest %1 has no room for %2 more POS after POS %3")
                             .arg(into)
                             .arg(count)
                             .arg(last);
    for (int i = 0; i < count; ++i)
        plan.posNumbers << zeroPadded(first + i, 4);
}

void refuseLongLists(FlatFileImportPlan& plan) {
    for (const FlatFilePos& pos : plan.reading.manifest.pos) {
        const qsizetype longest =
            std::max({pos.goods.size(), pos.documents.size(), pos.containers.size()});
        if (longest > kLastLineNumber)
            plan.refusals << QStringLiteral("POS %1 has more than %2 lines of one kind")
                                 .arg(pos.nopos)
                                 .arg(kLastLineNumber);
    }
}

QVariant nullWhenEmpty(const QString& text) {
    return text.isEmpty() ? QVariant() : QVariant(text);
}

void insertHeader(Database& db, const FlatFileImportPlan& plan) {
    const FlatFileHeader& h = plan.reading.manifest.header;
    db.exec(QStringLiteral("INSERT INTO tblheader (nodaftar, jnsmanifest, vessel, voyage, kdgrup, "
                           "arrivingdate, arrivingtime, status, no_master, tgl_master) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, 'N', ?, ?)"),
            {plan.target, h.jnsmanifest, h.vessel, h.voyage, h.kdgrup, h.arrivingdate,
             h.arrivingtime, h.noMaster, h.tglMaster});
    if (!h.vessel.isEmpty())
        AddKapal(db, h.vessel);
    SaveNoDaftarAuto(db, plan.registrationNumber);
}

void insertPos(Database& db, const QString& key, const QString& nopos, const FlatFilePos& p) {
    db.exec(QStringLiteral(
                "INSERT INTO tbldetail (nodaftar, nopos, mot_vessel, nobl, tglbl, pasalcd, "
                "pmuatcd, pbongkarcd, pakhircd, snm, sna, cnm, cna, nnm, nna, mark, bruto, volume, "
                "jmlkemasan, satuankemasan, flagconsolidate, flagpartial, grandcontainer, "
                "grandpackage) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                "?, ?, ?, ?)"),
            {key,
             nopos,
             p.motVessel,
             p.nobl,
             p.tglbl,
             p.pasalcd,
             p.pmuatcd,
             p.pbongkarcd,
             p.pakhircd,
             p.snm,
             p.sna,
             p.cnm,
             p.cna,
             p.nnm,
             p.nna,
             p.mark,
             p.bruto,
             p.volume,
             p.jmlkemasan,
             p.satuankemasan,
             p.flagconsolidate,
             p.flagpartial,
             p.grandcontainer,
             p.grandpackage});
    AddParties(db, p.snm, p.sna, QStringLiteral("1"));
    AddParties(db, p.cnm, p.cna, QStringLiteral("2"));
    AddParties(db, p.nnm, p.nna, QStringLiteral("3"));
    const Params scope{key, nopos};
    for (int i = 0; i < p.goods.size(); ++i)
        db.exec(QStringLiteral("INSERT INTO tblhs (nodaftar, nopos, noseq, hs, uraian) "
                               "VALUES (?, ?, ?, ?, ?)"),
                scope + Params{zeroPadded(i + 1, 4), p.goods[i].hs, p.goods[i].uraian});
    for (int i = 0; i < p.documents.size(); ++i) {
        const FlatFileDocument& d = p.documents[i];
        db.exec(QStringLiteral("INSERT INTO tblpeb (nodaftar, nopos, noseq, jenispeb, kpbc, "
                               "pebno, pebtgl) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                scope + Params{zeroPadded(i + 1, 4), d.jenispeb, nullWhenEmpty(d.kpbc),
                               nullWhenEmpty(d.pebno), d.pebtgl});
    }
    for (int i = 0; i < p.containers.size(); ++i) {
        const FlatFileContainer& c = p.containers[i];
        db.exec(QStringLiteral("INSERT INTO tblcontainer (nodaftar, nopos, noseq, nocountener, "
                               "ukuran, tipe, seal) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                scope + Params{zeroPadded(i + 1, 4), c.nocountener, c.ukuran, c.tipe, c.seal});
    }
}

QString counted(qsizetype count, const char* what) {
    return QStringLiteral("%1 %2%3").arg(count).arg(QLatin1String(what), count == 1 ? "" : "s");
}

} // namespace

QString FlatFileImportPlan::summary() const {
    const FlatFileManifest& m = reading.manifest;
    const QString range = posNumbers.isEmpty()
                              ? QString()
                              : " (" + posNumbers.first() + "-" + posNumbers.last() + ")";
    return QStringLiteral("manifest %1 (%2): %3, %4, %5, %6, %7")
        .arg(target, newManifest ? "new" : "appended",
             QStringLiteral("%1 POS").arg(m.pos.size()) + range,
             counted(m.goodsCount(), "goods line"), counted(m.containerCount(), "container"),
             counted(m.documentCount(), "document"), counted(warnings.size(), "warning"));
}

FlatFileImportPlan planFlatFileImport(const Database& db, bool air, FlatFileReading reading,
                                      const QString& into, const QDate& today) {
    FlatFileImportPlan plan;
    plan.reading = std::move(reading);
    if (!plan.reading.problems.isEmpty())
        plan.refusals << counted(plan.reading.problems.size(), "problem") + " in the file";
    const FlatFileHeader& header = plan.reading.manifest.header;
    if (header.air != air)
        plan.refusals << QStringLiteral("the file's manifest travels by %1; the installation "
                                        "keeps %2 manifests")
                             .arg(header.air ? "air" : "sea", air ? "air" : "sea");
    if (into.isEmpty())
        planNewManifest(db, today, plan);
    else
        planAppend(db, into, plan);
    refuseLongLists(plan);
    warnUnknownCodes(db, plan.reading.manifest, plan.newManifest, plan.warnings);
    return plan;
}

void importFlatFile(Database& db, const FlatFileImportPlan& plan) {
    if (!plan.canImport())
        throw FlatFileError("The flat file cannot be imported: " + plan.refusals.join("; "),
                            "Flat file tidak dapat diimpor: " + plan.refusals.join("; "));
    try {
        Transaction tx(db);
        if (plan.newManifest)
            insertHeader(db, plan);
        const QList<FlatFilePos>& pos = plan.reading.manifest.pos;
        for (int i = 0; i < pos.size(); ++i)
            insertPos(db, plan.target, plan.posNumbers[i], pos[i]);
        UpdateStatus(db, plan.target);
        tx.commit();
    } catch (const DbError& e) {
        throw FlatFileError("The flat file was not imported: " + QString::fromUtf8(e.what()),
                            "Flat file tidak diimpor: " + QString::fromUtf8(e.what()));
    }
}

} // namespace vastrel
