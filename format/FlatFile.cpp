#include "FlatFile.h"

#include "Database.h"
#include "DurableFile.h"
#include "Filings.h"
#include "InstallationFiles.h"

#include <QDate>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QStringDecoder>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
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

uchar upperAnsiCode(QChar ch) {
    return upperAnsiCodes().value(ch.unicode(), '?');
}

inline uchar ansiCode(QChar ch) {
    return ch.unicode() < 0x80 ? static_cast<uchar>(ch.unicode()) : upperAnsiCode(ch);
}

// `line` in the file's code page, appended to `bytes`.
void appendAnsi(QByteArray& bytes, const QString& line) {
    const qsizetype start = bytes.size();
    bytes.resize(start + line.size());
    char* out = bytes.data() + start;
    for (const QChar c : line)
        *out++ = static_cast<char>(ansiCode(c));
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

// The code a text record writes for a character: printable characters and line breaks as
// they are, anything else as a space.
uchar keptOrBlank(QChar ch) {
    const uchar code = ansiCode(ch);
    return isPrintableOrLineBreak(code) ? code : uchar(' ');
}

// What a text field writes for a character: as keptOrBlank, and a line break, which would
// split the record, as a space too.
char onOneLine(QChar ch) {
    const uchar code = keptOrBlank(ch);
    return code == '\r' || code == '\n' ? ' ' : static_cast<char>(code);
}

// Builds the records straight in the file's code page, one byte per UTF-16 unit, and hands
// each one whole to the sink. Calls chained on one record run left to right, so a refusal
// always names the first field that does not fit.
class RecordBuilder {
public:
    explicit RecordBuilder(const FlatFile::RecordSink& sink) : m_sink(sink) {
        m_bytes.reserve(1024);
    }

    RecordBuilder& ascii(QLatin1StringView text) {
        m_bytes.append(text.data(), static_cast<size_t>(text.size()));
        return *this;
    }

    RecordBuilder& blanks(qsizetype width) {
        m_bytes.append(static_cast<size_t>(width), ' ');
        return *this;
    }

    // Left-aligned in exactly `width` bytes: padded with spaces or cut at the right.
    RecordBuilder& text(QStringView value, qsizetype width) {
        const qsizetype kept = std::min(value.size(), width);
        for (const QChar ch : value.first(kept))
            m_bytes.push_back(static_cast<char>(ansiCode(ch)));
        return blanks(width - kept);
    }

    RecordBuilder& text(QStringView value) { return text(value, value.size()); }

    // A vessel, voyage, mother vessel or B/L field: printable characters in a fixed width.
    // A line break would split the record, so it becomes a space here as well.
    RecordBuilder& printable(const QVariant& value, qsizetype width) {
        const QString text = value.toString();
        const qsizetype kept = std::min(text.size(), width);
        for (const QChar ch : QStringView(text).first(kept))
            m_bytes.push_back(onOneLine(ch));
        return blanks(width - kept);
    }

    // The pieces of a free text, each a record "DTL02" + kind + nn + piece.
    void textRecords(const QString& value, QLatin1StringView kind);

    void end() {
        m_sink(QByteArrayView(m_bytes.data(), static_cast<qsizetype>(m_bytes.size())));
        m_bytes.clear();
    }

private:
    std::string m_bytes; // appended to byte by byte: std::string's are inline

    const FlatFile::RecordSink& m_sink;
};

// A text is trimmed of spaces and its line breaks become spaces. One that fits in one record
// is trimmed again once its invalid characters have become spaces; a longer one is cut into
// pieces of 200, as many as 99 pieces hold.
void RecordBuilder::textRecords(const QString& value, QLatin1StringView kind) {
    const auto spaceAt = [&](qsizetype i) { return value[i] == u' '; };
    qsizetype first = 0;
    qsizetype end = value.size();
    while (first < end && spaceAt(first))
        ++first;
    while (end > first && spaceAt(end - 1))
        --end;
    if (end - first <= kTextPieceLength) {
        while (first < end && keptOrBlank(value[first]) == ' ')
            ++first;
        while (end > first && keptOrBlank(value[end - 1]) == ' ')
            --end;
        ascii(QLatin1StringView("DTL02")).ascii(kind).ascii(QLatin1StringView("01"));
        for (qsizetype i = first; i < end; ++i)
            m_bytes.push_back(onOneLine(value[i]));
        return this->end();
    }
    const qsizetype pieces =
        std::min((end - first + kTextPieceLength - 1) / kTextPieceLength, kMaxTextPieces);
    for (qsizetype piece = 0; piece < pieces; ++piece) {
        ascii(QLatin1StringView("DTL02")).ascii(kind).text(zeroPadded(piece + 1, 2));
        const qsizetype from = first + piece * kTextPieceLength;
        for (qsizetype i = from; i < std::min(from + kTextPieceLength, end); ++i)
            m_bytes.push_back(onOneLine(value[i]));
        this->end();
    }
}

QStringList decodedRecords(const std::function<void(const FlatFile::RecordSink&)>& write) {
    QStringList records;
    QStringDecoder decoder("windows-1252");
    write([&](QByteArrayView record) { records << decoder.decode(record); });
    return records;
}

QString shown(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// The digits of a stored date ("2024-03-15") or time ("08:30:00") in exactly the stored
// shape, read without the general date parser (the writer meets one per POS and line);
// empty for any other shape or for no valid date or time.
template <typename DateOrTime> QString compactForm(const QString& text, const char* stored) {
    if (text.size() != static_cast<qsizetype>(std::strlen(stored)))
        return {};
    QString digits;
    int parts[3] = {0, 0, 0};
    int part = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (stored[i] == '-' || stored[i] == ':') {
            if (c != char16_t(stored[i]) || ++part > 2)
                return {};
        } else if (c >= u'0' && c <= u'9') {
            parts[part] = parts[part] * 10 + (c - u'0');
            digits += QChar(c);
        } else {
            return {};
        }
    }
    return DateOrTime(parts[0], parts[1], parts[2]).isValid() ? digits : QString();
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
        if (const QString digits = compactForm<DateOrTime>(text, stored); !digits.isEmpty())
            return digits;
        const DateOrTime parsed = DateOrTime::fromString(text, QLatin1String(stored));
        if (!parsed.isValid())
            refuse(label, text, notOfKind);
        return parsed.toString(QLatin1String(written));
    }

    QString m_where;
};

char16_t foldedAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c;
}

// POS numbers in the order of the database's NOCASE collation: ASCII letters without regard
// to case, everything else by its UTF-8 bytes.
int compareNocase(const QString& a, const QString& b) {
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        if (x >= 0x80 || y >= 0x80) { // UTF-16 and UTF-8 order differ beyond ASCII
            const auto folded = [](const QString& text) {
                QByteArray bytes = text.toUtf8();
                for (char& c : bytes)
                    c = static_cast<char>(foldedAscii(static_cast<uchar>(c)));
                return bytes;
            };
            return folded(a).compare(folded(b));
        }
        if (foldedAscii(x) != foldedAscii(y))
            return foldedAscii(x) < foldedAscii(y) ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// The rows of one child table, POS by POS: one query in POS and line order is read along
// with the POS list, so writing a POS needs no query of its own and the manifest is never
// held whole. Rows of a POS that does not exist are passed over.
class ChildRows {
public:
    // `sql` selects nopos first and binds the document number.
    ChildRows(const Database& db, const QString& sql, const QString& nodaftar)
        : m_cursor(db.cursor(sql, {nodaftar})), m_more(m_cursor.next()) {}

    // The rows of `nopos`; POS are asked for in the order of the POS list.
    const std::vector<QVariantList>& of(const QVariant& nopos) {
        m_rows.clear();
        const QString pos = nopos.toString();
        int order = -1;
        while (m_more && (order = compareNocase(m_cursor.row().at(0).toString(), pos)) <= 0) {
            if (order == 0)
                m_rows.push_back(m_cursor.row());
            m_more = m_cursor.next();
        }
        return m_rows;
    }

private:
    Cursor m_cursor;
    bool m_more;
    std::vector<QVariantList> m_rows;
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
constexpr QLatin1StringView kZeroCounts("0000000000000");

const QString kDetailSql = QStringLiteral(
    "SELECT nopos, mot_vessel, nobl, tglbl, pasalcd, pmuatcd, pbongkarcd, pakhircd, snm, sna, "
    "cnm, cna, nnm, nna, mark, bruto, volume, jmlkemasan, satuankemasan, flagconsolidate, "
    "flagpartial, grandcontainer, grandpackage FROM tbldetail WHERE nodaftar = ? ORDER BY nopos");
// A child table's rows for ChildRows: `columns` after nopos, in POS and line order.
QString childSql(const char* table, const char* columns) {
    return QStringLiteral("SELECT nopos, %2 FROM %1 WHERE nodaftar = ? ORDER BY nopos, noseq")
        .arg(QLatin1String(table), QLatin1String(columns));
}

const QString kHsSql = childSql("tblhs", "hs, uraian");
const QString kDokSql = childSql("tblpeb", "jenispeb, kpbc, pebno, pebtgl");
const QString kContainerSql = childSql("tblcontainer", "nocountener, ukuran, tipe, seal");

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
    for (qsizetype i = 0; i < text.size(); ++i)
        result[i] = QChar(keptOrBlank(text[i]));
    return result;
}

QString FormatDecimal(int width, double value) {
    const QString digits = fifteenSignificant(tenThousandths(std::fabs(value)));
    const QString sign = value < 0 && digits != u"0" ? QStringLiteral("-") : QString();
    return (sign + digits).rightJustified(width, u'0');
}

QString zeroPadded(long long value, int digits) {
    return QString::number(value).rightJustified(digits, u'0');
}

QStringList textRecords(const QString& value, const QString& kind) {
    const QByteArray id = kind.toLatin1();
    return decodedRecords([&](const FlatFile::RecordSink& sink) {
        RecordBuilder(sink).textRecords(value, QLatin1StringView(id));
    });
}

QByteArray fileBytes(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) {
        appendAnsi(bytes, line);
        bytes += "\r\n";
    }
    return bytes;
}

QByteArray toAnsi(const QString& line) {
    QByteArray bytes;
    appendAnsi(bytes, line);
    return bytes;
}

// ---- The writer ----

// The HDR01 line and the header values every DTL01 repeats.
struct FlatFile::Header {
    QByteArray record;
    QString kdgrup;
    QString noMaster;
    QString tglMaster;
    bool outward = false;
};

// Writes the records of one POS from its detail row and its rows in the child tables.
class FlatFile::PosRecords {
public:
    PosRecords(const Header& header, ChildRows& hs, ChildRows* documents, ChildRows& containers,
               bool air)
        : m_header(header), m_hs(hs), m_documents(documents), m_containers(containers), m_air(air) {
    }

    void write(const QVariantList& detail, RecordBuilder& out) const {
        const QVariant& nopos = detail[DNopos];
        const Fields fields(QStringLiteral("POS %1: ").arg(nopos.toString()));
        const std::vector<QVariantList>& containers = m_containers.of(nopos);
        writeDetailRecord(detail, GetTotalContainer(containers), fields, out);
        for (const auto& [column, kind] : kPartyTexts)
            out.textRecords(detail[column].toString(), QLatin1StringView(kind));
        WriteHsRecords(m_hs.of(nopos), out);
        if (m_documents)
            WriteDokRecords(m_documents->of(nopos), fields, out);
        WriteContainerRecords(containers, fields, out);
    }

private:
    void writeDetailRecord(const QVariantList& d, int containers, const Fields& fields,
                           RecordBuilder& out) const {
        out.ascii(QLatin1StringView("DTL01"))
            .text(m_header.kdgrup, 3)
            .text(d[DNopos].toString(), 4)
            .ascii(QLatin1StringView("0000"))
            .text(d[DFlagConsolidate].toString(), 1)
            .text(d[DFlagPartial].toString(), 1)
            .blanks(1)
            .text(d[DPasal].toString(), 5)
            .text(d[DPmuat].toString(), 5)
            .text(d[DPbongkar].toString(), 5)
            .text(d[DPakhir].toString(), 5);
        if (m_air)
            out.blanks(40);
        else
            out.printable(d[DMotVessel], 40);
        out.blanks(10)
            .printable(d[DNobl], 30)
            .text(fields.date(d[DTglbl], QStringLiteral("Tanggal BL")))
            .text(m_header.noMaster, 30)
            .text(m_header.tglMaster)
            .blanks(2)
            .text(fields.quantity(d[DBruto], QStringLiteral("Berat Bruto")))
            .text(fields.quantity(d[DVolume], QStringLiteral("Volume")));
        writePackageBlock(d, containers, fields, out);
        out.text(d[DSatuanKemasan].toString(), 2).end();
    }

    // Positions 204-242. A partial shipment ("E", or no flag at all) states its totals and
    // this POS's part of them; any other POS states its own count and zeros.
    static void writePackageBlock(const QVariantList& d, int containers, const Fields& fields,
                                  RecordBuilder& out) {
        const bool partial =
            d[DFlagPartial].isNull() || d[DFlagPartial].toString() == QLatin1String("E");
        const QString ownContainers = QStringLiteral("Jumlah Kontainer");
        const QString packages = QStringLiteral("Jumlah Kemasan");
        if (!partial) {
            out.text(fields.count(containers, 5, ownContainers))
                .text(fields.count(d[DJmlKemasan], 8, packages))
                .ascii(kZeroCounts)
                .ascii(kZeroCounts);
            return;
        }
        out.text(fields.count(d[DGrandContainer], 5, QStringLiteral("Part Kontainer")))
            .text(fields.count(d[DJmlKemasan], 8, packages))
            .ascii(kZeroCounts)
            .text(fields.count(containers, 5, ownContainers))
            .text(fields.count(d[DGrandPackage], 8, QStringLiteral("Total Kemasan")));
    }

    // The containers of the POS that carry a number.
    static int GetTotalContainer(const std::vector<QVariantList>& containers) {
        return static_cast<int>(
            std::count_if(containers.begin(), containers.end(),
                          [](const QVariantList& c) { return !c[1].isNull(); }));
    }

    static void WriteHsRecords(const std::vector<QVariantList>& lines, RecordBuilder& out) {
        for (const QVariantList& line : lines) {
            out.ascii(QLatin1StringView("DTL02HSC01")).text(line[1].toString()).end();
            out.textRecords(line[2].toString(), QLatin1StringView("DES"));
        }
    }

    static void WriteDokRecords(const std::vector<QVariantList>& documents, const Fields& fields,
                                RecordBuilder& out) {
        for (size_t i = 0; i < documents.size(); ++i) {
            const QVariantList& doc = documents[i];
            out.ascii(QLatin1StringView("DOK01"))
                .text(doc[1].toString(), 3)
                .text(fields.count(static_cast<double>(i + 1), 3, QStringLiteral("Urutan Dokumen")))
                .text(doc[2].toString(), 6)
                .text(doc[3].toString(), 6)
                .text(fields.date(doc[4], QStringLiteral("Tanggal Dokumen")))
                .end();
        }
    }

    static void WriteContainerRecords(const std::vector<QVariantList>& containers,
                                      const Fields& fields, RecordBuilder& out) {
        for (size_t i = 0; i < containers.size(); ++i) {
            const QVariantList& box = containers[i];
            out.ascii(QLatin1StringView("CNT01"))
                .text(fields.count(static_cast<double>(i), 4, QStringLiteral("Urutan Kontainer")))
                .text(box[1].toString(), 20)
                .blanks(5)
                .text(box[2].toString(), 2)
                .text(box[3].toString(), 1)
                .blanks(2)
                .text(box[4].toString(), 15)
                .end();
        }
    }

    const Header& m_header;
    ChildRows& m_hs;
    ChildRows* m_documents; // null for an inward manifest, which carries no documents
    ChildRows& m_containers;
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
    const RecordSink keep = [&header](QByteArrayView record) {
        header.record = record.toByteArray();
    };
    RecordBuilder(keep)
        .ascii(QLatin1StringView("HDR01"))
        .ascii(QLatin1StringView("1"))
        .ascii(QLatin1StringView(m_air ? "2" : "1"))
        .ascii(QLatin1StringView(inward ? "I" : "O"))
        .ascii(QLatin1StringView(m_air ? "A" : "S"))
        .printable(rs.value(QStringLiteral("vessel")), 40)
        .blanks(12)
        .printable(rs.value(QStringLiteral("voyage")), 10)
        .blanks(23)
        .text(fields.date(rs.value(QStringLiteral("arrivingdate")),
                          QStringLiteral("Tanggal Tiba/Berangkat")))
        .text(fields.time(rs.value(QStringLiteral("arrivingtime")),
                          QStringLiteral("Jam Tiba/Berangkat")))
        .ascii(QLatin1StringView("V30"))
        .ascii(QLatin1StringView("MEM31"))
        .end();
    header.kdgrup = rs.text(QStringLiteral("kdgrup"));
    header.noMaster = rs.text(QStringLiteral("no_master"));
    header.tglMaster =
        fields.date(rs.value(QStringLiteral("tgl_master")), QStringLiteral("Tanggal Master B/L"));
    header.outward = direction.toLower() == QLatin1String("outward");
    return header;
}

void FlatFile::WriteDetailRecords(const Header& header, const RecordSink& out) const {
    Cursor details = m_db.cursor(kDetailSql, {m_nodaftar});
    ChildRows hs(m_db, kHsSql, m_nodaftar);
    ChildRows containers(m_db, kContainerSql, m_nodaftar);
    std::optional<ChildRows> documents;
    if (header.outward)
        documents.emplace(m_db, kDokSql, m_nodaftar);
    const PosRecords pos(header, hs, documents ? &*documents : nullptr, containers, m_air);
    RecordBuilder builder(out);
    while (details.next())
        pos.write(details.row(), builder);
}

void FlatFile::writeRecords(const RecordSink& out) const {
    try {
        const ReadSnapshot oneMoment(m_db);
        const Header header = GetHeaderRecord();
        out(header.record);
        WriteDetailRecords(header, out);
    } catch (const DbError& e) {
        throw FlatFileError("Cannot read the manifest: " + QString::fromUtf8(e.what()),
                            "Manifes tidak dapat dibaca: " + QString::fromUtf8(e.what()));
    }
}

QStringList FlatFile::lines() const {
    return decodedRecords([this](const RecordSink& sink) { writeRecords(sink); });
}

void FlatFile::writePieces(const std::function<void(const QByteArray& piece)>& out) const {
    constexpr qsizetype kPiece = 1 << 20;
    QByteArray piece;
    writeRecords([&](QByteArrayView record) {
        if (piece.isEmpty())
            piece.reserve(kPiece + record.size() + 2);
        piece.append(record.data(), record.size());
        piece.append("\r\n", 2);
        if (piece.size() >= kPiece)
            out(std::exchange(piece, {}));
    });
    if (!piece.isEmpty())
        out(piece);
}

QByteArray FlatFile::bytes() const {
    QByteArray all;
    writePieces([&](const QByteArray& piece) { all += piece; });
    return all;
}

qint64 fileFlatFile(Database& db, const QString& nodaftar, const QString& jenis,
                    const QString& path) {
    refuseInstallationFile(path);
    Transaction tx(db);
    DurableFile file(path, FileAccess::Shared);
    // The register's copy is made as the file is, on a thread of its own; the file takes its
    // name only once its filing is in.
    FilingSealer sealer;
    FlatFile(db, nodaftar, jenis).writePieces([&](const QByteArray& piece) {
        file.write(piece);
        sealer.add(piece);
    });
    file.sync();
    const qint64 id = recordFiling(db, nodaftar, QFileInfo(path).fileName(), sealer.finish());
    file.commit();
    tx.commit();
    return id;
}

void FlatFile::CreateFlatFile(const QString& path) const {
    refuseInstallationFile(path);
    DurableFile file(path, FileAccess::Shared);
    writePieces([&](const QByteArray& piece) { file.write(piece); });
    file.commit();
}

} // namespace vastrel
