#include "FlatFile.h"

#include "Database.h"
#include "DurableFile.h"

#include <QDate>
#include <QHash>
#include <QLocale>
#include <QStringDecoder>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <utility>

namespace vastrel {

namespace {

constexpr qsizetype kTextPieceLength = 200;
constexpr qsizetype kMaxTextPieces = 99;
constexpr int kQuantityWidth = 18;
// Above this a count cannot fit any of the record's count fields.
constexpr double kLargestCount = 1e15;

// Windows-1252 code of every character above ASCII that the code page holds.
const QHash<char16_t, uchar>& upperAnsiCodes() {
    static const QHash<char16_t, uchar> codes = [] {
        QHash<char16_t, uchar> table;
        QStringDecoder decoder("windows-1252");
        for (int code = 0x80; code <= 0xFF; ++code) {
            const QString decoded = decoder.decode(QByteArray(1, static_cast<char>(code)));
            if (decoded.size() == 1 && decoded[0] != QChar::ReplacementCharacter)
                table.insert(decoded[0].unicode(), static_cast<uchar>(code));
        }
        return table;
    }();
    return codes;
}

uchar ansiCode(QChar ch) {
    if (ch.unicode() < 0x80)
        return static_cast<uchar>(ch.unicode());
    return upperAnsiCodes().value(ch.unicode(), '?');
}

bool isPrintableOrLineBreak(uchar code) {
    return code == '\n' || code == '\r' || (code >= 32 && code <= 126);
}

// Adds one to a text of decimal digits ("0999" gives "1000", "99" gives "100").
QString incremented(QString digits) {
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != u'9') {
            digits[i] = QChar(digits[i].unicode() + 1);
            return digits;
        }
        digits[i] = u'0';
    }
    return u'1' + digits;
}

// The digits of magnitude x 10000 after rounding half to even at four decimals. Works on the
// shortest decimal text of the value, the number as typed, so that 0.00005 is an exact half.
QString tenThousandths(double magnitude) {
    const QString text = QString::number(magnitude, 'f', QLocale::FloatingPointShortest);
    const qsizetype point = text.indexOf(u'.');
    const QString whole = point < 0 ? text : text.left(point);
    const QString fraction = (point < 0 ? QString() : text.mid(point + 1)).leftJustified(5, u'0');
    const QString kept = whole + fraction.left(4);
    const QChar next = fraction[4];
    const bool beyondHalf = !fraction.mid(5).remove(u'0').isEmpty();
    const bool keptIsOdd = (kept.back().unicode() - u'0') % 2 == 1;
    const bool roundUp = next > u'5' || (next == u'5' && (beyondHalf || keptIsOdd));
    return roundUp ? incremented(kept) : kept;
}

// At most 15 significant digits, the rest rounded away into zeros, as a double prints.
QString fifteenSignificant(QString digits) {
    constexpr qsizetype kSignificant = 15;
    while (digits.size() > 1 && digits[0] == u'0')
        digits.remove(0, 1);
    if (digits.size() <= kSignificant)
        return digits;
    const QString dropped(digits.size() - kSignificant, u'0');
    const QString head = digits.left(kSignificant);
    return (digits[kSignificant] >= u'5' ? incremented(head) : head) + dropped;
}

QString blanks(int width) {
    return QString(width, u' ');
}

// Joins the fields of one record; the braces evaluate them left to right, so a refusal
// always names the first field that does not fit.
QString record(std::initializer_list<QString> fields) {
    QString line;
    for (const QString& field : fields)
        line += field;
    return line;
}

// A vessel, voyage, mother vessel or B/L field: printable characters in a fixed width.
// A line break would split the record, so it becomes a space here as well.
QString fixedText(const QVariant& value, int width) {
    return padText(RemoveInvalidChar(value.toString()).replace(u'\r', u' ').replace(u'\n', u' '),
                   width);
}

QString shown(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// Formats the numbers and dates of one record; a value that cannot be written in its field
// refuses the whole file with a message that names the POS and the field.
class Fields {
public:
    explicit Fields(QString where) : m_where(std::move(where)) {}

    QString date(const QVariant& value, const QString& label) const {
        return reformatted<QDate>(value, "yyyy-MM-dd", "yyyyMMdd", label,
                                  {"is not a date", "bukan tanggal"});
    }

    QString time(const QVariant& value, const QString& label) const {
        return reformatted<QTime>(value, "HH:mm:ss", "HHmmss", label,
                                  {"is not a time", "bukan waktu"});
    }

    QString count(const QVariant& value, int digits, const QString& label) const {
        return count(number(value, label), digits, label);
    }

    QString count(double value, int digits, const QString& label) const {
        refuseNegative(value, label);
        const QString text =
            value < kLargestCount ? zeroPadded(std::llround(value), digits) : shown(value);
        if (text.size() > digits)
            refuseWidth(label, value, digits);
        return text;
    }

    QString quantity(const QVariant& value, const QString& label) const {
        const double amount = number(value, label);
        refuseNegative(amount, label);
        const QString text = FormatDecimal(kQuantityWidth, amount);
        if (text.size() > kQuantityWidth)
            refuseWidth(label, amount, kQuantityWidth);
        return text;
    }

private:
    // What is wrong with a value, in English and in Indonesian.
    struct Problem {
        const char* english;
        const char* indonesian;
    };

    [[noreturn]] void refuse(const QString& label, const QString& value,
                             const Problem& problem) const {
        const QString what = m_where + label + ' ' + value + ' ';
        throw FlatFileError(what + QLatin1String(problem.english),
                            what + QLatin1String(problem.indonesian));
    }

    [[noreturn]] void refuseWidth(const QString& label, double value, int digits) const {
        const QString what = m_where + label + ' ' + shown(value);
        throw FlatFileError(what + QStringLiteral(" does not fit in %1 digits").arg(digits),
                            what + QStringLiteral(" tidak muat dalam %1 digit").arg(digits));
    }

    void refuseNegative(double value, const QString& label) const {
        if (value < 0)
            refuse(label, shown(value), {"is negative", "bernilai negatif"});
    }

    // A null or empty number counts as 0.
    double number(const QVariant& value, const QString& label) const {
        if (value.isNull() || value.toString().trimmed().isEmpty())
            return 0;
        bool ok = false;
        const double result = value.toDouble(&ok);
        if (!ok || !std::isfinite(result))
            refuse(label, value.toString(), {"is not a number", "bukan angka"});
        return result;
    }

    // A stored date or time in the record's digits-only form; blanks when there is none.
    template <typename DateOrTime>
    QString reformatted(const QVariant& value, const char* stored, const char* written,
                        const QString& label, const Problem& notOfKind) const {
        const QString text = value.toString();
        if (text.isEmpty())
            return blanks(static_cast<int>(std::strlen(written)));
        const DateOrTime parsed = DateOrTime::fromString(text, QLatin1String(stored));
        if (!parsed.isValid())
            refuse(label, text, notOfKind);
        return parsed.toString(QLatin1String(written));
    }

    QString m_where;
};

// The rows of one child table of the manifest, read in one query ordered by POS and line
// number and grouped by POS, so writing a POS needs no query of its own.
class ChildRows {
public:
    struct Range {
        int first = 0;
        int end = 0;
    };

    // `sql` selects nopos first and binds the document number.
    ChildRows(const Database& db, const QString& sql, const QString& nodaftar)
        : m_rows(db.query(sql, {nodaftar})) {
        for (int i = 0; i < m_rows.recordCount(); ++i) {
            Range& range = m_ranges[key(m_rows.row(i).at(0))];
            if (range.end == 0)
                range.first = i;
            range.end = i + 1;
        }
    }

    Range of(const QVariant& nopos) const { return m_ranges.value(key(nopos)); }
    const QVariantList& row(int index) const { return m_rows.row(index); }

private:
    // POS numbers compare without regard to case, as the database does.
    static QString key(const QVariant& nopos) { return nopos.toString().toUpper(); }

    RowSet m_rows;
    QHash<QString, Range> m_ranges;
};

// Columns of the detail query, in their SELECT order.
enum DetailColumn {
    DNopos,
    DMotVessel,
    DNobl,
    DTglbl,
    DPasal,
    DPmuat,
    DPbongkar,
    DPakhir,
    DSnm,
    DSna,
    DCnm,
    DCna,
    DNnm,
    DNna,
    DMark,
    DBruto,
    DVolume,
    DJmlKemasan,
    DSatuanKemasan,
    DFlagConsolidate,
    DFlagPartial,
    DGrandContainer,
    DGrandPackage,
};

// The text records that follow DTL01, in their order, with the detail column each writes.
constexpr std::pair<DetailColumn, const char*> kPartyTexts[] = {
    {DSnm, "SNM"}, {DSna, "SNA"}, {DCnm, "CNM"},  {DCna, "CNA"},
    {DNnm, "NNM"}, {DNna, "NNA"}, {DMark, "SMR"},
};

// A five-digit container count and an eight-digit package count that stay at zero.
const QString kZeroCounts = QStringLiteral("00000") + QStringLiteral("00000000");

const QString kDetailSql = QStringLiteral(
    "SELECT nopos, mot_vessel, nobl, tglbl, pasalcd, pmuatcd, pbongkarcd, pakhircd, snm, sna, "
    "cnm, cna, nnm, nna, mark, bruto, volume, jmlkemasan, satuankemasan, flagconsolidate, "
    "flagpartial, grandcontainer, grandpackage FROM tbldetail WHERE nodaftar = ? ORDER BY nopos");
const QString kHsSql =
    QStringLiteral("SELECT nopos, hs, uraian FROM tblhs WHERE nodaftar = ? ORDER BY nopos, noseq");
const QString kDokSql =
    QStringLiteral("SELECT nopos, jenispeb, kpbc, pebno, pebtgl FROM tblpeb WHERE nodaftar = ? "
                   "ORDER BY nopos, noseq");
const QString kContainerSql =
    QStringLiteral("SELECT nopos, nocountener, ukuran, tipe, seal FROM tblcontainer "
                   "WHERE nodaftar = ? ORDER BY nopos, noseq");

} // namespace

QString generateRefusal(bool hasHeader, bool hasDetails, const QString& status) {
    if (!hasHeader)
        return QStringLiteral("Data header tidak ditemukan");
    if (!hasDetails)
        return QStringLiteral("Data detail tidak ditemukan");
    if (status != QLatin1String("Y"))
        return QStringLiteral("Kode dokumen tersebut tidak memiliki uraian barang");
    return {};
}

// ---- Field helpers ----

QString CleanText(const QString& text) {
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && text[first] == u' ')
        ++first;
    while (end > first && text[end - 1] == u' ')
        --end;
    return text.mid(first, end - first).replace(u'\r', u' ').replace(u'\n', u' ');
}

QString RemoveInvalidChar(const QString& text) {
    QString result(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const uchar code = ansiCode(text[i]);
        result[i] = isPrintableOrLineBreak(code) ? QChar(code) : QChar(u' ');
    }
    return result;
}

QString FormatDecimal(int width, double value) {
    const QString digits = fifteenSignificant(tenThousandths(std::fabs(value)));
    const QString sign = value < 0 && digits != u"0" ? QStringLiteral("-") : QString();
    return (sign + digits).rightJustified(width, u'0');
}

QString padText(const QString& value, int width) {
    return value.leftJustified(width, u' ', true);
}

QString zeroPadded(long long value, int digits) {
    return QString::number(value).rightJustified(digits, u'0');
}

QStringList textRecords(const QString& value, const QString& kind) {
    const QString id = QStringLiteral("DTL02") + kind;
    const QString prepared = RemoveInvalidChar(CleanText(value));
    if (prepared.size() <= kTextPieceLength)
        return {id + QStringLiteral("01") + CleanText(RemoveInvalidChar(value))};
    const qsizetype pieces =
        std::min((prepared.size() + kTextPieceLength - 1) / kTextPieceLength, kMaxTextPieces);
    QStringList records;
    for (qsizetype i = 0; i < pieces; ++i)
        records << id + zeroPadded(i + 1, 2) + prepared.mid(i * kTextPieceLength, kTextPieceLength);
    return records;
}

QByteArray toAnsi(const QString& line) {
    QByteArray bytes(line.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < line.size(); ++i)
        bytes[i] = static_cast<char>(ansiCode(line[i]));
    return bytes;
}

// ---- The writer ----

// The HDR01 line and the header values every DTL01 repeats.
struct FlatFile::Header {
    QString record;
    QString kdgrup;
    QString noMaster;
    QString tglMaster;
    bool outward = false;
};

// Writes the records of one POS from its detail row and its rows in the child tables.
class FlatFile::PosRecords {
public:
    PosRecords(const Header& header, const ChildRows& hs, const ChildRows* documents,
               const ChildRows& containers, bool air)
        : m_header(header), m_hs(hs), m_documents(documents), m_containers(containers), m_air(air) {
    }

    void write(const QVariantList& detail, QStringList& out) const {
        const Fields fields(QStringLiteral("POS %1: ").arg(detail[DNopos].toString()));
        out << detailRecord(detail, fields);
        for (const auto& [column, kind] : kPartyTexts)
            out << textRecords(detail[column].toString(), QLatin1String(kind));
        WriteHsRecords(detail[DNopos], out);
        if (m_documents)
            WriteDokRecords(detail[DNopos], fields, out);
        WriteContainerRecords(detail[DNopos], fields, out);
    }

private:
    QString detailRecord(const QVariantList& d, const Fields& fields) const {
        return record({
            QStringLiteral("DTL01"),
            padText(m_header.kdgrup, 3),
            padText(d[DNopos].toString(), 4),
            QStringLiteral("0000"),
            padText(d[DFlagConsolidate].toString(), 1),
            padText(d[DFlagPartial].toString(), 1),
            blanks(1),
            padText(d[DPasal].toString(), 5),
            padText(d[DPmuat].toString(), 5),
            padText(d[DPbongkar].toString(), 5),
            padText(d[DPakhir].toString(), 5),
            m_air ? blanks(40) : fixedText(d[DMotVessel], 40),
            blanks(10),
            fixedText(d[DNobl], 30),
            fields.date(d[DTglbl], QStringLiteral("Tanggal BL")),
            padText(m_header.noMaster, 30),
            m_header.tglMaster,
            blanks(2),
            fields.quantity(d[DBruto], QStringLiteral("Berat Bruto")),
            fields.quantity(d[DVolume], QStringLiteral("Volume")),
            packageBlock(d, fields),
            padText(d[DSatuanKemasan].toString(), 2),
        });
    }

    // Positions 204-242. A partial shipment ("E", or no flag at all) states its totals and
    // this POS's part of them; any other POS states its own count and zeros.
    QString packageBlock(const QVariantList& d, const Fields& fields) const {
        const bool partial =
            d[DFlagPartial].isNull() || d[DFlagPartial].toString() == QLatin1String("E");
        const double containers = GetTotalContainer(d[DNopos]);
        const QString ownContainers = QStringLiteral("Jumlah Kontainer");
        const QString packages = QStringLiteral("Jumlah Kemasan");
        if (!partial)
            return record({fields.count(containers, 5, ownContainers),
                           fields.count(d[DJmlKemasan], 8, packages), kZeroCounts, kZeroCounts});
        return record({fields.count(d[DGrandContainer], 5, QStringLiteral("Part Kontainer")),
                       fields.count(d[DJmlKemasan], 8, packages), kZeroCounts,
                       fields.count(containers, 5, ownContainers),
                       fields.count(d[DGrandPackage], 8, QStringLiteral("Total Kemasan"))});
    }

    // The containers of the POS that carry a number.
    int GetTotalContainer(const QVariant& nopos) const {
        const ChildRows::Range range = m_containers.of(nopos);
        int total = 0;
        for (int i = range.first; i < range.end; ++i)
            total += m_containers.row(i).at(1).isNull() ? 0 : 1;
        return total;
    }

    void WriteHsRecords(const QVariant& nopos, QStringList& out) const {
        const ChildRows::Range range = m_hs.of(nopos);
        for (int i = range.first; i < range.end; ++i) {
            const QVariantList& line = m_hs.row(i);
            out << QStringLiteral("DTL02HSC01") + line[1].toString();
            out << textRecords(line[2].toString(), QStringLiteral("DES"));
        }
    }

    void WriteDokRecords(const QVariant& nopos, const Fields& fields, QStringList& out) const {
        const ChildRows::Range range = m_documents->of(nopos);
        for (int i = range.first; i < range.end; ++i) {
            const QVariantList& doc = m_documents->row(i);
            out << record({
                QStringLiteral("DOK01"),
                padText(doc[1].toString(), 3),
                fields.count(i - range.first + 1, 3, QStringLiteral("Urutan Dokumen")),
                padText(doc[2].toString(), 6),
                padText(doc[3].toString(), 6),
                fields.date(doc[4], QStringLiteral("Tanggal Dokumen")),
            });
        }
    }

    void WriteContainerRecords(const QVariant& nopos, const Fields& fields,
                               QStringList& out) const {
        const ChildRows::Range range = m_containers.of(nopos);
        for (int i = range.first; i < range.end; ++i) {
            const QVariantList& box = m_containers.row(i);
            out << record({
                QStringLiteral("CNT01"),
                fields.count(i - range.first, 4, QStringLiteral("Urutan Kontainer")),
                padText(box[1].toString(), 20),
                blanks(5),
                padText(box[2].toString(), 2),
                padText(box[3].toString(), 1),
                blanks(2),
                padText(box[4].toString(), 15),
            });
        }
    }

    const Header& m_header;
    const ChildRows& m_hs;
    const ChildRows* m_documents; // null for an inward manifest, which carries no documents
    const ChildRows& m_containers;
    bool m_air;
};

FlatFile::FlatFile(const Database& db, QString nodaftar, QString jenis)
    : m_db(db), m_nodaftar(std::move(nodaftar)), m_air(jenis == QLatin1String("1")) {}

FlatFile::Header FlatFile::GetHeaderRecord() const {
    const RowSet rs = m_db.query(
        QStringLiteral("SELECT jnsmanifest, vessel, voyage, kdgrup, arrivingdate, arrivingtime, "
                       "no_master, tgl_master FROM tblheader WHERE nodaftar = ?"),
        {m_nodaftar});
    if (rs.eof())
        throw FlatFileError("Data header tidak ditemukan: " + m_nodaftar);
    const QString direction = rs.text(QStringLiteral("jnsmanifest"));
    const bool inward = direction.toUpper() == QLatin1String("INWARD");
    const Fields fields{QString()};
    Header header;
    header.record = record({
        QStringLiteral("HDR01"),
        QStringLiteral("1"),
        m_air ? QStringLiteral("2") : QStringLiteral("1"),
        inward ? QStringLiteral("I") : QStringLiteral("O"),
        m_air ? QStringLiteral("A") : QStringLiteral("S"),
        fixedText(rs.value(QStringLiteral("vessel")), 40),
        blanks(12),
        fixedText(rs.value(QStringLiteral("voyage")), 10),
        blanks(23),
        fields.date(rs.value(QStringLiteral("arrivingdate")),
                    QStringLiteral("Tanggal Tiba/Berangkat")),
        fields.time(rs.value(QStringLiteral("arrivingtime")), QStringLiteral("Jam Tiba/Berangkat")),
        QStringLiteral("V30"),
        QStringLiteral("MEM31"),
    });
    header.kdgrup = rs.text(QStringLiteral("kdgrup"));
    header.noMaster = rs.text(QStringLiteral("no_master"));
    header.tglMaster =
        fields.date(rs.value(QStringLiteral("tgl_master")), QStringLiteral("Tanggal Master B/L"));
    header.outward = direction.toLower() == QLatin1String("outward");
    return header;
}

void FlatFile::WriteDetailRecords(const Header& header, QStringList& out) const {
    const RowSet details = m_db.query(kDetailSql, {m_nodaftar});
    const ChildRows hs(m_db, kHsSql, m_nodaftar);
    const ChildRows containers(m_db, kContainerSql, m_nodaftar);
    std::optional<ChildRows> documents;
    if (header.outward)
        documents.emplace(m_db, kDokSql, m_nodaftar);
    const PosRecords pos(header, hs, documents ? &*documents : nullptr, containers, m_air);
    for (int i = 0; i < details.recordCount(); ++i)
        pos.write(details.row(i), out);
}

QStringList FlatFile::lines() const {
    try {
        const Header header = GetHeaderRecord();
        QStringList out{header.record};
        WriteDetailRecords(header, out);
        return out;
    } catch (const DbError& e) {
        throw FlatFileError("Cannot read the manifest: " + QString::fromUtf8(e.what()),
                            "Manifes tidak dapat dibaca: " + QString::fromUtf8(e.what()));
    }
}

void FlatFile::CreateFlatFile(const QString& path) const {
    QByteArray content;
    for (const QString& line : lines()) {
        content += toAnsi(line);
        content += "\r\n";
    }
    writeFileDurably(path, content);
}

} // namespace vastrel
