#include "FlatFileImport.h"

#include "BulkInsert.h"
#include "ContainerCheck.h"
#include "Database.h"
#include "EntryRules.h"
#include "FlatFile.h"
#include "History.h"
#include "Lookups.h"
#include "Numbering.h"
#include "Readiness.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <functional>
#include <utility>

namespace vastrel {

namespace {

constexpr int kPosPerProgress = 100;

// A reference list a code of the file should be in.
struct ReferenceList {
    Wording what;
    std::function<bool(const Database&, const QString&)> knows;
};

const ReferenceList kPorts{{"port", "pelabuhan"}, [](const Database& db, const QString& code) {
                               return GetNmPort(db, code) != kNotFound;
                           }};
const ReferenceList kUnits{
    {"package unit", "satuan kemasan"},
    [](const Database& db, const QString& code) { return GetNmKemasan(db, code) != kNotFound; }};
const ReferenceList kOffices{
    {"customs office", "KPBC"},
    [](const Database& db, const QString& code) { return GetNmKpbc(db, code) != kNotFound; }};
const ReferenceList kGroups{
    {"group", "grup"}, [](const Database& db, const QString& code) {
        return !db.scalar("SELECT 1 FROM tblGrup WHERE kdgrup = ?", {code}).isNull();
    }};

// Warns once for every code of the file that its reference list lacks.
class CodeCheck {
public:
    CodeCheck(const Database& db, FlatFileImportPlan& plan) : m_db(db), m_plan(plan) {}

    void check(const ReferenceList& list, const QString& code, const QString& where) {
        const QString key = list.what.english + '\n' + code;
        if (code.isEmpty() || m_seen.contains(key))
            return;
        m_seen.insert(key);
        if (!list.knows(m_db, code))
            m_plan.warn(worded({"%1 code %2 (%3) is not in the reference list",
                                "kode %1 %2 (%3) tidak ada dalam daftar referensi"},
                               list.what, code, where));
    }

private:
    const Database& m_db;
    FlatFileImportPlan& m_plan;
    QSet<QString> m_seen;
};

void warnUnknownCodes(const Database& db, FlatFileImportPlan& plan) {
    const FlatFileManifest& manifest = plan.reading.manifest;
    CodeCheck codes(db, plan);
    if (plan.newManifest)
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

// The manifest's group: the file's for a new manifest, the stored one's when appending.
QString groupOf(const Database& db, const FlatFileImportPlan& plan) {
    if (plan.newManifest)
        return plan.reading.manifest.header.kdgrup;
    return db
        .scalar(QStringLiteral("SELECT kdgrup FROM tblheader WHERE nodaftar = ?"), {plan.target})
        .toString();
}

void refuseBlankRequired(const Database& db, FlatFileImportPlan& plan) {
    for (const FlatFileProblem& blank : blankRequired(plan.reading.manifest, groupOf(db, plan)))
        plan.refuse({blank.message, blank.indonesian});
}

// Only a warning, as on the screen: numbers outside ISO 6346 exist.
void warnWrongCheckDigits(FlatFileImportPlan& plan) {
    for (const FlatFilePos& pos : plan.reading.manifest.pos)
        for (const FlatFileContainer& container : pos.containers)
            if (const QString number = container.nocountener.toString();
                !number.isEmpty() && !CekContainer(number))
                plan.warn(worded({"POS %1: container number %2 has a wrong check digit",
                                  "POS %1: check digit nomor kontainer %2 salah"},
                                 pos.nopos, number));
}

// The new manifest's key: the next registration number of the day `date` ("yyyyMMdd") that
// no manifest holds. False when every number is taken.
bool numberNewManifest(const Database& db, const QString& date, FlatFileImportPlan& plan) {
    QString number = GetNoDaftarAuto(db);
    if (HeaderExists(db, date + number))
        number = nextFreeNumber(number, 6,
                                [&](const QString& n) { return !HeaderExists(db, date + n); });
    plan.registrationNumber = number;
    plan.target = date + number;
    return !number.isEmpty();
}

void planNewManifest(const Database& db, const QDate& today, FlatFileImportPlan& plan) {
    if (!numberNewManifest(db, today.toString(QStringLiteral("yyyyMMdd")), plan))
        plan.refuse(worded({"no registration number is free", "tidak ada nomor daftar yang "
                                                              "tersisa"}));
    for (const FlatFilePos& pos : plan.reading.manifest.pos)
        plan.posNumbers << pos.nopos;
}

// The numbers the file's POS take after the manifest's highest POS; false when there is no
// room for them.
bool numberAppendedPos(const Database& db, FlatFileImportPlan& plan) {
    const QString last =
        db.scalar(QStringLiteral("SELECT max(nopos) FROM tbldetail WHERE nodaftar = ?"),
                  {plan.target})
            .toString();
    const int first = GetNextPos(db, plan.target).toInt();
    const auto count = static_cast<int>(plan.reading.manifest.pos.size());
    plan.posNumbers.clear();
    for (int i = 0; i < count; ++i)
        plan.posNumbers << zeroPadded(first + i, 4);
    if ((!last.isEmpty() && first == 1) || first + count - 1 > kLastPos) {
        plan.refuse(worded({"manifest %1 has no room for %2 more POS after POS %3",
                            "manifes %1 tidak memiliki tempat untuk %2 POS lagi setelah POS %3"},
                           plan.target, count, last));
        return false;
    }
    return true;
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
        plan.refuse(worded({"manifest %1 does not exist", "manifes %1 tidak ada"}, into));
        return;
    }
    const FlatFileHeader& file = plan.reading.manifest.header;
    for (const auto& [column, value] : {std::pair{"vessel", file.vessel},
                                        {"voyage", file.voyage},
                                        {"jnsmanifest", file.jnsmanifest}})
        if (header.text(QLatin1String(column)).trimmed() != value.trimmed())
            plan.warn(worded({"the file's %1 \"%2\" differs from the manifest's \"%3\", which "
                              "stays",
                              "%1 \"%2\" dalam file berbeda dari \"%3\" pada manifes, yang tetap "
                              "dipakai"},
                             column, value, header.text(QLatin1String(column))));
    numberAppendedPos(db, plan);
}

// Inside the import's transaction: takes the plan's numbers again under the lock that clerks
// saving into the manifest, or registering new ones, take as well.
void takeNumbers(Database& db, FlatFileImportPlan& plan) {
    if (plan.newManifest) {
        db.lockRows(QStringLiteral("tblsetting"), QStringLiteral("1 = 1"), {});
        if (!numberNewManifest(db, plan.target.left(8), plan))
            throw FlatFileError(QStringLiteral("No registration number is free"),
                                QStringLiteral("Tidak ada nomor daftar yang tersisa"));
        return;
    }
    db.lockRows(QStringLiteral("tblheader"), QStringLiteral("nodaftar = ?"), {plan.target});
    if (!numberAppendedPos(db, plan))
        throw FlatFileError(plan.refusals.last(), plan.refusalsInIndonesian.last());
}

void recordSource(Database& db, const FlatFileImportPlan& plan) {
    if (plan.sourceDigest.isEmpty())
        return;
    db.exec(QStringLiteral("INSERT INTO tblimported (nodaftar, sha256, filename, importedat) "
                           "VALUES (?, ?, ?, ?)"),
            {plan.target, plan.sourceDigest, plan.sourceName, recordedNow()});
}

// Feeds the bytes of the file at `path` to `hash`, a piece at a time.
void hashFile(const QString& path, QCryptographicHash& hash) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        throw UserError("Cannot read " + path + ": " + file.errorString(),
                        "File " + path + " tidak dapat dibaca: " + file.errorString());
}

void refuseLongLists(FlatFileImportPlan& plan) {
    for (const FlatFilePos& pos : plan.reading.manifest.pos) {
        const qsizetype longest =
            std::max({pos.goods.size(), pos.documents.size(), pos.containers.size()});
        if (longest > kLastLine)
            plan.refuse(worded({"POS %1 has more than %2 lines of one kind",
                                "POS %1 berisi lebih dari %2 baris sejenis"},
                               pos.nopos, kLastLine));
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

// The rows of many POS, written a batch of rows per statement: a server is asked once per
// batch rather than once per row.
struct PosRows {
    std::vector<Params> detail, goods, documents, containers;

    void write(Database& db) {
        insertRows(db, QStringLiteral("tbldetail"), QStringList{"nodaftar", "nopos"} + kPosColumns,
                   std::exchange(detail, {}));
        insertRows(db, QStringLiteral("tblhs"), {"nodaftar", "nopos", "noseq", "hs", "uraian"},
                   std::exchange(goods, {}));
        insertRows(db, QStringLiteral("tblpeb"),
                   {"nodaftar", "nopos", "noseq", "jenispeb", "kpbc", "pebno", "pebtgl"},
                   std::exchange(documents, {}));
        insertRows(db, QStringLiteral("tblcontainer"),
                   {"nodaftar", "nopos", "noseq", "nocountener", "ukuran", "tipe", "seal"},
                   std::exchange(containers, {}));
    }
};

void addPos(PosRows& rows, const QString& key, const QString& nopos, const FlatFilePos& p) {
    rows.detail.push_back({key,
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
    const Params scope{key, nopos};
    for (int i = 0; i < p.goods.size(); ++i)
        rows.goods.push_back(scope +
                             Params{zeroPadded(i + 1, 4), p.goods[i].hs, p.goods[i].uraian});
    for (int i = 0; i < p.documents.size(); ++i) {
        const FlatFileDocument& d = p.documents[i];
        rows.documents.push_back(scope + Params{zeroPadded(i + 1, 4), d.jenispeb,
                                                nullWhenEmpty(d.kpbc), nullWhenEmpty(d.pebno),
                                                d.pebtgl});
    }
    for (int i = 0; i < p.containers.size(); ++i) {
        const FlatFileContainer& c = p.containers[i];
        rows.containers.push_back(
            scope + Params{zeroPadded(i + 1, 4), c.nocountener, c.ukuran, c.tipe, c.seal});
    }
}

void addParties(Database& db, const FlatFilePos& p, PartiesAdded& parties) {
    parties.add(db, p.snm, p.sna, QStringLiteral("1"));
    parties.add(db, p.cnm, p.cna, QStringLiteral("2"));
    parties.add(db, p.nnm, p.nna, QStringLiteral("3"));
}

// "3 goods lines" and "3 baris barang": Indonesian nouns take no plural.
Wording counted(qsizetype count, const char* one, const char* many, const char* indonesian) {
    return worded({"%1 %2", "%1 %3"}, count, count == 1 ? one : many, indonesian);
}

Wording summaryOf(const FlatFileImportPlan& plan) {
    const FlatFileManifest& m = plan.reading.manifest;
    const QString range = plan.posNumbers.isEmpty()
                              ? QString()
                              : " (" + plan.posNumbers.first() + "-" + plan.posNumbers.last() + ")";
    return worded(
        {"manifest %1 (%2): %3 POS%4, %5, %6, %7, %8", "manifes %1 (%2): %3 POS%4, %5, %6, %7, %8"},
        plan.target, plan.newManifest ? Wording{"new", "baru"} : Wording{"appended", "ditambahkan"},
        m.pos.size(), range, counted(m.goodsCount(), "goods line", "goods lines", "baris barang"),
        counted(m.containerCount(), "container", "containers", "kontainer"),
        counted(m.documentCount(), "document", "documents", "dokumen"),
        counted(plan.warnings.size(), "warning", "warnings", "peringatan"));
}

Wording travelsBy(bool air) {
    return air ? Wording{"air", "udara"} : Wording{"sea", "laut"};
}

} // namespace

void FlatFileImportPlan::refuse(const Wording& why) {
    refusals << why.english;
    refusalsInIndonesian << why.indonesian;
}

void FlatFileImportPlan::warn(const Wording& what) {
    warnings << what.english;
    warningsInIndonesian << what.indonesian;
}

QString FlatFileImportPlan::summary() const {
    return summaryOf(*this).english;
}

QString FlatFileImportPlan::summaryInIndonesian() const {
    return summaryOf(*this).indonesian;
}

FlatFileImportPlan planFlatFileImport(const Database& db, bool air, FlatFileReading reading,
                                      const QString& into, const QDate& today) {
    FlatFileImportPlan plan;
    plan.reading = std::move(reading);
    if (!plan.reading.problems.isEmpty())
        plan.refuse(
            worded({"%1 in the file", "%1 dalam file"},
                   counted(plan.reading.problems.count(), "problem", "problems", "masalah")));
    const FlatFileHeader& header = plan.reading.manifest.header;
    if (header.air != air)
        plan.refuse(worded({"the file's manifest travels by %1; the installation keeps %2 "
                            "manifests",
                            "manifes dalam file adalah manifes %1; instalasi ini menyimpan "
                            "manifes %2"},
                           travelsBy(header.air), travelsBy(air)));
    if (into.isEmpty())
        planNewManifest(db, today, plan);
    else
        planAppend(db, into, plan);
    refuseLongLists(plan);
    refuseBlankRequired(db, plan);
    warnUnknownCodes(db, plan);
    warnWrongCheckDigits(plan);
    return plan;
}

QList<FlatFileProblem> blankRequired(const FlatFileManifest& manifest, const QString& group) {
    QList<FlatFileProblem> blanks;
    const auto check = [&](const FlatFilePos& pos, const char* column, const QString& value) {
        if (value.trimmed().isEmpty() &&
            RequiredOnEntry(QLatin1String(column), manifest.header.air, group))
            blanks.append(
                {pos.line, 1,
                 worded({"POS %1: %2 is blank", "POS %1: %2 kosong"}, pos.nopos, column)});
    };
    for (const FlatFilePos& pos : manifest.pos) {
        check(pos, "nobl", pos.nobl);
        check(pos, "mot_vessel", pos.motVessel);
        check(pos, "satuankemasan", pos.satuankemasan);
        for (const FlatFileGoods& goods : pos.goods)
            check(pos, "uraian", goods.uraian);
    }
    return blanks;
}

QString sourceDigest(const QString& path) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!QFileInfo(path).isDir()) {
        hashFile(path, hash);
        return QString::fromLatin1(hash.result().toHex());
    }
    const QDir folder(path);
    for (const QString& name : folder.entryList(QDir::Files, QDir::Name)) {
        hash.addData(name.toUtf8().append('\0'));
        hashFile(folder.filePath(name), hash);
    }
    return QString::fromLatin1(hash.result().toHex());
}

void identifySource(const Database& db, FlatFileImportPlan& plan, const QString& path) {
    plan.sourceName = QFileInfo(path).fileName();
    plan.sourceDigest = sourceDigest(path);
    const RowSet rows =
        plan.newManifest
            ? db.query(QStringLiteral("SELECT nodaftar, importedat FROM tblimported WHERE "
                                      "sha256 = ? ORDER BY idimported"),
                       {plan.sourceDigest})
            : db.query(QStringLiteral("SELECT nodaftar, importedat FROM tblimported WHERE "
                                      "sha256 = ? AND nodaftar = ? ORDER BY idimported"),
                       {plan.sourceDigest, plan.target});
    for (int i = 0; i < rows.recordCount(); ++i)
        plan.importedBefore.append({rows.row(i).at(0).toString(), rows.row(i).at(1).toString()});
}

FlatFileImportPlan planFlatFileImportAt(const Database& db, bool air, const QString& path,
                                        const QString& into, const Progress& progress) {
    FlatFileImportPlan plan = planFlatFileImport(db, air, readFlatFileAt(path, progress), into);
    identifySource(db, plan, path);
    return plan;
}

void importFlatFile(Database& db, FlatFileImportPlan& plan, const Progress& progress) {
    if (!plan.canImport())
        throw FlatFileError("The flat file cannot be imported: " + plan.refusals.join("; "),
                            "Flat file tidak dapat diimpor: " +
                                plan.refusalsInIndonesian.join("; "));
    try {
        const BulkWrite bulk(db);
        Transaction tx(db);
        takeNumbers(db, plan);
        if (plan.newManifest)
            insertHeader(db, plan);
        const QList<FlatFilePos>& pos = plan.reading.manifest.pos;
        PartiesAdded parties;
        PosRows rows;
        for (int i = 0; i < pos.size(); ++i) {
            addPos(rows, plan.target, plan.posNumbers[i], pos[i]);
            addParties(db, pos[i], parties);
            if ((i + 1) % kPosPerProgress != 0)
                continue;
            rows.write(db);
            if (progress)
                progress(i + 1, pos.size());
        }
        rows.write(db);
        recordSource(db, plan);
        recordImport(db, plan.target, plan.summary());
        UpdateStatus(db, plan.target);
        tx.commit();
        if (progress)
            progress(pos.size(), pos.size());
    } catch (const CommitOutcomeUnknown&) {
        throw;
    } catch (const DbError& e) {
        throw FlatFileError("The flat file was not imported: " + QString::fromUtf8(e.what()),
                            "Flat file tidak diimpor: " + QString::fromUtf8(e.what()));
    }
}

} // namespace vastrel
