#include "ManifestReports.h"

#include "Database.h"
#include "InputHelpers.h"
#include "Lookups.h"
#include "Readiness.h"

#include <QTime>

namespace vastrel {

namespace {

const QString LF = QStringLiteral("\n");

const QString kDetailColumns = QStringLiteral(
    "SELECT nopos, mot_vessel, nobl, tglbl, pasalcd, pmuatcd, pbongkarcd, pakhircd, snm, sna, "
    "cnm, cna, nnm, nna, mark, bruto, volume, jmlkemasan, satuankemasan FROM tbldetail "
    "WHERE nodaftar = ?");

// A stored "HH:MM:SS" as "HH:mm"; anything else as stored.
QString displayTime(const QString& stored) {
    const QTime time = QTime::fromString(stored.left(5), QStringLiteral("HH:mm"));
    return time.isValid() ? time.toString(QStringLiteral("HH:mm")) : stored;
}

QString orDash(const QVariant& value) {
    return value.isNull() ? QStringLiteral("-") : value.toString();
}

// The stored type code followed by "CL" (FCL, LCL); an empty container says so in words.
QString containerType(const QString& tipe) {
    if (tipe.compare(QLatin1String("E"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Empty Container");
    return tipe + "CL";
}

bool isDirection(const QString& jnsmanifest, const char* direction) {
    return jnsmanifest.compare(QLatin1String(direction), Qt::CaseInsensitive) == 0;
}

QString partiesText(const RowSet& pos) {
    return "Shipper Name: " + LF + pos.text("snm") + LF + "Shipper Address: " + LF +
           pos.text("sna") + LF + LF + "Consignee Name: " + LF + pos.text("cnm") + LF +
           "Consignee Address: " + LF + pos.text("cna") + LF + LF + "Notify Name: " + LF +
           pos.text("nnm") + LF + "Notify Address: " + LF + pos.text("nna") + LF;
}

} // namespace

struct ManifestReports::Header {
    QString nodaftar, jnsmanifest, vessel, voyage, kdgrup, arrivingdate, arrivingtime, no_master,
        tgl_master;
};

void ReportRecordSet::add(const QMap<QString, QString>& values) {
    QStringList record;
    for (const QString& field : fields)
        record << values.value(field);
    records << record;
}

QString ReportRecordSet::value(qsizetype record, const QString& field) const {
    return records.at(record).value(fields.indexOf(field));
}

ManifestReports::ManifestReports(const Database& db, QString jenis, QString version,
                                 QDateTime printedAt)
    : m_db(db), m_jenis(std::move(jenis)), m_version(std::move(version)),
      m_printedAt(std::move(printedAt)) {}

bool ManifestReports::isAir() const {
    return m_jenis == QLatin1String("1");
}

ManifestReports::Header ManifestReports::readHeader(const QString& nodaftar) const {
    const RowSet rs = m_db.query(
        QStringLiteral("SELECT nodaftar, jnsmanifest, vessel, voyage, kdgrup, arrivingdate, "
                       "arrivingtime, no_master, tgl_master FROM tblheader "
                       "WHERE nodaftar = ?"),
        {nodaftar});
    if (rs.eof())
        throw ReportError("Data header tidak ditemukan");
    return {rs.text("nodaftar"),     rs.text("jnsmanifest"), rs.text("vessel"),
            rs.text("voyage"),       rs.text("kdgrup"),      rs.text("arrivingdate"),
            rs.text("arrivingtime"), rs.text("no_master"),   rs.text("tgl_master")};
}

QString ManifestReports::footer(const QString& printName) const {
    return m_printedAt.toString(QStringLiteral("dd-MM-yyyy HH:mm")) + " " + printName +
           " - Vastrel " + m_version;
}

QMap<QString, QString> ManifestReports::manifestLabels(const Header& header,
                                                       const QString& dateCaption,
                                                       const QString& timeCaption) const {
    const bool air = isAir();
    const bool outward = isDirection(header.jnsmanifest, "outward");
    return {
        {"lbljudul", header.jnsmanifest + (air ? " Manifest Udara" : " Manifest Laut")},
        {"lbldaftar", "No.Daftar " + header.nodaftar},
        {"lblgroup", header.kdgrup + "-" + GetNmGrup(m_db, header.kdgrup, header.jnsmanifest)},
        {"lblkapal", header.vessel},
        {"lblvoyage", header.voyage},
        {"Label1", outward ? QStringLiteral("Tanggal Berangkat") : dateCaption},
        {"lbltgltiba", StoredToDisplayDate(header.arrivingdate)},
        {"Label6", outward ? QStringLiteral("Jam Berangkat") : timeCaption},
        {"lbljamtiba", displayTime(header.arrivingtime)},
        {"Label19", air ? "No Master AWB" : "No Master B/L"},
        {"Label22", ":"},
        {"Label21", header.no_master},
        {"Label23", air ? "Tgl Master AWB" : "Tgl Master B/L"},
        {"Label25", ":"},
        {"Label24", StoredToDisplayDate(header.tgl_master)},
        {"Label14", "Shipper, Consignee, Notify Party"},
        {"Label15", "Jumlah dan satuan kemasan, Brutto, Volume, Mark"},
        {"Label16", air ? "Barang" : "Kontainer, Uraian Barang"},
        {"lblHalaman", "Halaman"},
        {"Label7", "%p"},
    };
}

QString ManifestReports::blText(const Header& header, const RowSet& pos) const {
    const bool air = isAir();
    const QString text =
        (air ? "NO AWB: " : "NO B/L: ") + pos.text("nobl") + LF + (air ? "Tgl AWB: " : "Tgl B/L: ");
    if (isDirection(header.jnsmanifest, "inward"))
        return text + StoredToDisplayDate(pos.text("tglbl"));
    return text + (pos.isNull("tglbl") ? "-" : StoredToDisplayDate(pos.text("tglbl"))) + LF + LF +
           DocumentText(header.nodaftar, pos.text("nopos"));
}

QString ManifestReports::packagesText(const RowSet& pos) const {
    const QString unit = pos.text("satuankemasan");
    return "Jumlah Kemasan: " + pos.text("jmlkemasan") + LF + "Satuan Kemasan: " + unit + " - " +
           GetNmSatuan(m_db, unit) + LF + "Brutto: " + pos.text("bruto") + " KGM" + LF +
           "Volume: " + pos.text("volume") + " M3" + LF + "Mark: " + pos.text("mark");
}

QString ManifestReports::portsText(const RowSet& pos, bool airportLabels) const {
    const QString word = airportLabels ? "Airport " : "Pelabuhan ";
    const std::pair<const char*, const char*> ports[] = {{"Asal: ", "pasalcd"},
                                                         {"Muat: ", "pmuatcd"},
                                                         {"Bongkar: ", "pbongkarcd"},
                                                         {"Akhir: ", "pakhircd"}};
    QString text;
    for (const auto& [label, column] : ports) {
        const QString code = pos.text(column);
        text += word + label + LF + "Kode: " + code + LF +
                "Nama Pelabuhan: " + GetPortName(m_db, code) + LF + LF;
    }
    return text;
}

QMap<QString, QString> ManifestReports::posValues(const Header& header, const RowSet& pos,
                                                  bool airportLabels) const {
    return {{"no_bl", blText(header, pos)},
            {"mother_vessel", isAir() ? QString() : pos.text("mot_vessel")},
            {"shipper_consignee_notify", partiesText(pos)},
            {"satuan_brutto", packagesText(pos)},
            {"pelabuhan", portsText(pos, airportLabels)}};
}

ReportContent ManifestReports::RptManifesDetil(const QString& nodaftar,
                                               const QString& nopos) const {
    const Header header = readHeader(nodaftar);
    const bool air = isAir();
    ReportContent report;
    report.name = QStringLiteral("RptManifesDetil");
    report.caption = QStringLiteral("Preview Detil Manifes");
    report.labels = manifestLabels(header, "Tanggal Tiba", "Jam Tiba");
    report.labels.insert(QMap<QString, QString>{
        {"Label3", air ? "Nama Airlines" : "Nama Kapal"},
        {"Label5", air ? "No Flight" : "No Voyage"},
        {"Label18", "Group"},
        {"Label4", "No POS"},
        {"lblPOS", nopos},
        {"Label9", air ? "" : "Jml. Kontainer"},
        {"Label27", air ? "" : ":"},
        {"lblJmlCont", air ? QString() : QString::number(CountKontainer(m_db, nodaftar, nopos))},
        {"Label10", "Jml. Barang"},
        {"lblJmlKemasan", QString::number(CountHs(m_db, nodaftar, nopos))},
        {"Label28", ":"},
        {"Label29", ":"},
        {"Label31", ":"},
        {"Label11", ":"},
        {"Label12", ":"},
        {"Label13", air ? "AWB\nTgl. AWB" : "B/L\nTgl. B/L"},
        {"Label8", "Mother Vessel"},
        {"Label17", air ? "Airport Asal/Bongkar" : "Pelabuhan Asal/Bongkar"},
        {"Label20", air ? "Airport Muat/Akhir" : "Pelabuhan Muat/Akhir"},
        {"lbldate", footer("Print Detail")},
    });
    if (air)
        report.hidden.insert(QStringLiteral("Label8"));
    report.widthsTwips.insert(QStringLiteral("TxtPOS"), air ? 2970 : 1350);

    report.recordSet.fields = {"no_bl",         "mother_vessel",       "shipper_consignee_notify",
                               "satuan_brutto", "kontainer_uraianbrg", "pelabuhan"};
    RowSet pos = m_db.query(kDetailColumns + " AND nopos = ?", {nodaftar, nopos});
    for (; !pos.eof(); pos.moveNext()) {
        QMap<QString, QString> values = posValues(header, pos, air);
        const QString goods = GoodsText(nodaftar, nopos);
        values.insert("kontainer_uraianbrg",
                      air ? goods : ContainerText(nodaftar, nopos) + LF + goods);
        report.recordSet.add(values);
    }
    return report;
}

ReportContent ManifestReports::RptManifesRekap(const QString& nodaftar) const {
    const Header header = readHeader(nodaftar);
    const bool air = isAir();
    ReportContent report;
    report.name = QStringLiteral("RptManifesRekap");
    report.caption = QStringLiteral("Preview Rekap Manifes");
    report.labels = manifestLabels(header, "Tanggal tiba", "Jam tiba");
    report.labels.insert(QMap<QString, QString>{
        {"lblGrupManifes", "Group"},
        {"Label3", air ? "Nama Airlines" : "Nama kapal"},
        {"Label5", air ? "Flight No" : "No. Voyage"},
        {"Label9", "Jml. Kontainer"},
        {"Label27", ":"},
        {"lblJmlCont", QString::number(CountContainerManifest(m_db, nodaftar))},
        {"Label10", "Jml. Barang"},
        {"lblJmlKemasan", QString::number(CountHsManifest(m_db, nodaftar))},
        {"Label12", "Jml. POS"},
        {"LblJmlPos", QString::number(CountDetail(m_db, nodaftar))},
        {"LblKopNopos", "No. Pos"},
        {"Label11", air ? "AWB\nTgl. AWB" : "B/L\nTgl. B/L"},
        {"Label4", "Mother Vessel"},
        {"Label17", air ? "Airport Asal/Airport Bongkar" : "Pel Asal/Pel Bongkar"},
        {"Label20", air ? "Airport Muat/Airport Akhir" : "Pel Muat/Pel Akhir"},
        {"lbldate", footer("Print Header")},
    });
    if (air)
        report.hidden.unite(QSet<QString>{"Label9", "Label27", "lblJmlCont", "Label4"});
    report.widthsTwips.insert(QStringLiteral("Text5"), air ? 2500 : 900);

    report.recordSet.fields = {"no_pos",        "no_bl",
                               "mother_vessel", "shipper_consignee_notify",
                               "satuan_brutto", "kontainer_uraianbrg",
                               "pelabuhan"};
    RowSet pos = m_db.query(kDetailColumns + " ORDER BY nopos", {nodaftar});
    for (; !pos.eof(); pos.moveNext()) {
        const QString nopos = pos.text("nopos");
        // The recap names its ports "Pelabuhan" in both kinds; only its headings change.
        QMap<QString, QString> values = posValues(header, pos, false);
        values.insert("no_pos", nopos);
        QString lines = QStringLiteral("Barang: (%1)").arg(CountHs(m_db, nodaftar, nopos)) + LF +
                        GoodsText(nodaftar, nopos);
        if (!air)
            lines.prepend(
                QStringLiteral("Kontainer: (%1)").arg(CountKontainer(m_db, nodaftar, nopos)) + LF +
                ContainerText(nodaftar, nopos) + LF);
        values.insert("kontainer_uraianbrg", lines);
        report.recordSet.add(values);
    }
    return report;
}

QString ManifestReports::ContainerText(const QString& nodaftar, const QString& nopos) const {
    RowSet rs = m_db.query(QStringLiteral("SELECT nocountener, ukuran, tipe FROM tblcontainer "
                                          "WHERE nodaftar = ? AND nopos = ? ORDER BY noseq"),
                           {nodaftar, nopos});
    if (rs.eof())
        return "No Kontainer: - " + LF + "Ukuran: - " + LF + "Tipe: - " + LF;
    QString text;
    for (; !rs.eof(); rs.moveNext())
        text += "No Kontainer: " + rs.text("nocountener") + LF + "Ukuran: " + rs.text("ukuran") +
                LF + "Tipe: " + containerType(rs.text("tipe")) + LF;
    return text;
}

QString ManifestReports::GoodsText(const QString& nodaftar, const QString& nopos) const {
    RowSet rs = m_db.query(QStringLiteral("SELECT hs, uraian FROM tblhs "
                                          "WHERE nodaftar = ? AND nopos = ? ORDER BY noseq"),
                           {nodaftar, nopos});
    if (rs.eof())
        return "HS: - " + LF + "Uraian: - ";
    QString text;
    for (; !rs.eof(); rs.moveNext())
        text += "HS: " + rs.text("hs") + LF + "Uraian: " + rs.text("uraian") + LF;
    return text;
}

QString ManifestReports::DocumentText(const QString& nodaftar, const QString& nopos) const {
    RowSet rs = m_db.query(QStringLiteral("SELECT jenispeb, kpbc, pebno, pebtgl FROM tblpeb "
                                          "WHERE nodaftar = ? AND nopos = ? ORDER BY noseq"),
                           {nodaftar, nopos});
    QString text;
    for (; !rs.eof(); rs.moveNext()) {
        const QString kind = rs.text("jenispeb");
        const QString date = rs.isNull("pebtgl") ? "-" : StoredToDisplayDate(rs.text("pebtgl"));
        text += "KPBC: " + orDash(rs.value("kpbc")) + LF + LF + "No " + kind + ": " +
                orDash(rs.value("pebno")) + LF + "Tgl " + kind + ": " + date + LF + LF;
    }
    return text;
}

} // namespace vastrel
