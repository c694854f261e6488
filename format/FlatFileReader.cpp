#include "FlatFileReader.h"

#include "FlatFile.h"

#include <QDate>
#include <QFile>
#include <QHash>
#include <QStringDecoder>
#include <QTime>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

namespace vastrel {

namespace {

constexpr int kIdLength = 10; // "DTL02" + kind + piece number
constexpr int kTextPieceLength = 200;
constexpr int kSignificantDigits = 15;
constexpr int kLinesPerProgress = 512;

const Phrase kExpected{"expected \"%1\"", "seharusnya \"%1\""};

// ---- Record layouts ----

enum class Kind { Constant, Blank, Choice, Text, Date, Time, Count, Quantity };

// One field of a fixed record: 1-based position, width, what it holds. `key` names the
// value read, or is the expected text of a constant; `choices` lists a choice's letters.
struct Field {
    int from;
    int width;
    Kind kind;
    const char* key;
    const char* choices = "";
};

struct FixedLayout {
    const char* id;
    int length;
    std::vector<Field> fields;
};

const FixedLayout kHeaderLayout{"HDR01",
                                116,
                                {{1, 5, Kind::Constant, "HDR01"},
                                 {6, 1, Kind::Constant, "1"},
                                 {7, 1, Kind::Choice, "mode", "12"},
                                 {8, 1, Kind::Choice, "direction", "IO"},
                                 {9, 1, Kind::Choice, "kind", "SA"},
                                 {10, 40, Kind::Text, "vessel"},
                                 {50, 12, Kind::Blank, ""},
                                 {62, 10, Kind::Text, "voyage"},
                                 {72, 23, Kind::Blank, ""},
                                 {95, 8, Kind::Date, "arrivingdate"},
                                 {103, 6, Kind::Time, "arrivingtime"},
                                 {109, 3, Kind::Constant, "V30"},
                                 {112, 5, Kind::Constant, "MEM31"}}};

const FixedLayout kDetailLayout{"DTL01",
                                244,
                                {{1, 5, Kind::Constant, "DTL01"},
                                 {6, 3, Kind::Text, "kdgrup"},
                                 {9, 4, Kind::Text, "nopos"},
                                 {13, 4, Kind::Constant, "0000"},
                                 {17, 1, Kind::Text, "flagconsolidate"},
                                 {18, 1, Kind::Text, "flagpartial"},
                                 {19, 1, Kind::Blank, ""},
                                 {20, 5, Kind::Text, "pasalcd"},
                                 {25, 5, Kind::Text, "pmuatcd"},
                                 {30, 5, Kind::Text, "pbongkarcd"},
                                 {35, 5, Kind::Text, "pakhircd"},
                                 {40, 40, Kind::Text, "mot_vessel"},
                                 {80, 10, Kind::Blank, ""},
                                 {90, 30, Kind::Text, "nobl"},
                                 {120, 8, Kind::Date, "tglbl"},
                                 {128, 30, Kind::Text, "no_master"},
                                 {158, 8, Kind::Date, "tgl_master"},
                                 {166, 2, Kind::Blank, ""},
                                 {168, 18, Kind::Quantity, "bruto"},
                                 {186, 18, Kind::Quantity, "volume"},
                                 {204, 5, Kind::Count, "firstContainers"},
                                 {209, 8, Kind::Count, "jmlkemasan"},
                                 {217, 5, Kind::Constant, "00000"},
                                 {222, 8, Kind::Constant, "00000000"},
                                 {230, 5, Kind::Count, "secondContainers"},
                                 {235, 8, Kind::Count, "grandpackage"},
                                 {243, 2, Kind::Text, "satuankemasan"}}};

const FixedLayout kDocumentLayout{"DOK01",
                                  31,
                                  {{1, 5, Kind::Constant, "DOK01"},
                                   {6, 3, Kind::Text, "jenispeb"},
                                   {9, 3, Kind::Count, "sequence"},
                                   {12, 6, Kind::Text, "kpbc"},
                                   {18, 6, Kind::Text, "pebno"},
                                   {24, 8, Kind::Date, "pebtgl"}}};

const FixedLayout kContainerLayout{"CNT01",
                                   54,
                                   {{1, 5, Kind::Constant, "CNT01"},
                                    {6, 4, Kind::Count, "sequence"},
                                    {10, 20, Kind::Text, "nocountener"},
                                    {30, 5, Kind::Blank, ""},
                                    {35, 2, Kind::Text, "ukuran"},
                                    {37, 1, Kind::Text, "tipe"},
                                    {38, 2, Kind::Blank, ""},
                                    {40, 15, Kind::Text, "seal"}}};

// Where a record stands inside a POS; the order the file must follow.
enum Rank { RDetail, RSnm, RSna, RCnm, RCna, RNnm, RNna, RSmr, RGoods, RDes, RDoc, RCnt };

constexpr unsigned bit(Rank rank) {
    return 1u << rank;
}

// A POS is complete once its shipping marks are written; any later record ends it too.
constexpr unsigned kPosComplete = bit(RSmr) | bit(RDes) | bit(RDoc) | bit(RCnt);

// The records each record may follow within its POS.
constexpr std::array<unsigned, RCnt + 1> kMayFollow = {
    kPosComplete,                      // DTL01 starts the next POS
    bit(RDetail) | bit(RSnm),          // SNM
    bit(RSnm) | bit(RSna),             // SNA
    bit(RSna) | bit(RCnm),             // CNM
    bit(RCnm) | bit(RCna),             // CNA
    bit(RCna) | bit(RNnm),             // NNM
    bit(RNnm) | bit(RNna),             // NNA
    bit(RNna) | bit(RSmr),             // SMR
    bit(RSmr) | bit(RDes),             // HSC: after the marks or the last description
    bit(RGoods) | bit(RDes),           // DES
    bit(RSmr) | bit(RDes) | bit(RDoc), // DOK01
    kPosComplete,                      // CNT01
};

// The texts of a POS, in their order, with where each is kept.
struct PosText {
    Rank rank;
    const char* kind;
    QString FlatFilePos::*target;
};

const PosText kPosTexts[] = {
    {RSnm, "SNM", &FlatFilePos::snm},  {RSna, "SNA", &FlatFilePos::sna},
    {RCnm, "CNM", &FlatFilePos::cnm},  {RCna, "CNA", &FlatFilePos::cna},
    {RNnm, "NNM", &FlatFilePos::nnm},  {RNna, "NNA", &FlatFilePos::nna},
    {RSmr, "SMR", &FlatFilePos::mark},
};

QString recordName(Rank rank) {
    switch (rank) {
    case RDetail:
        return QStringLiteral("DTL01");
    case RGoods:
        return QStringLiteral("DTL02HSC");
    case RDes:
        return QStringLiteral("DTL02DES");
    case RDoc:
        return QStringLiteral("DOK01");
    case RCnt:
        return QStringLiteral("CNT01");
    default:
        return QStringLiteral("DTL02") + QLatin1String(kPosTexts[rank - RSnm].kind);
    }
}

// ---- Lines and values ----

// The Windows-1252 character of every byte, one character per byte.
const std::array<QChar, 256>& windows1252() {
    static const std::array<QChar, 256> table = [] {
        std::array<QChar, 256> chars{};
        for (int code = 0; code < 256; ++code) {
            QStringDecoder decoder("windows-1252");
            const QString one = decoder.decode(QByteArray(1, static_cast<char>(code)));
            chars[code] = one.size() == 1 ? one[0] : QChar(QChar::ReplacementCharacter);
        }
        return chars;
    }();
    return table;
}

enum class Allowed { Digits, Blanks };

// One line of the file, without its line end; its characters are decoded when asked for.
struct Line {
    int number = 0;
    QByteArrayView bytes;

    // The characters from the 1-based `from` on, at most `width` of them (all without one).
    QString mid(int from, qsizetype width = -1) const {
        const qsizetype start = std::min<qsizetype>(from - 1, bytes.size());
        const qsizetype end =
            width < 0 ? bytes.size() : std::min<qsizetype>(start + width, bytes.size());
        const std::array<QChar, 256>& chars = windows1252();
        QString text(end - start, Qt::Uninitialized);
        QChar* out = text.data();
        for (qsizetype i = start; i < end; ++i)
            *out++ = chars[static_cast<uchar>(bytes[i])];
        return text;
    }
};

bool isPrintable(char byte) {
    return byte >= 32 && byte <= 126;
}

QString rightTrimmed(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    return text.left(end);
}

// The values of one fixed record by key; a field that could not be read is left out.
// A record has a few dozen fields at most: a list searched in order is the quickest.
class Values {
public:
    explicit Values(size_t fields) { m_values.reserve(fields); }
    void set(const char* key, QVariant value) { m_values.emplace_back(key, std::move(value)); }
    QVariant variant(const char* key) const {
        for (const auto& [name, value] : m_values)
            if (std::strcmp(name, key) == 0)
                return value;
        return {};
    }
    QString text(const char* key) const { return variant(key).toString(); }
    qlonglong count(const char* key) const { return variant(key).toLongLong(); }
    double quantity(const char* key) const { return variant(key).toDouble(); }

private:
    std::vector<std::pair<const char*, QVariant>> m_values;
};

// The state of the POS being read that its closing checks need.
struct OpenPos {
    int line = 0;
    bool layoutE = false;
    bool blankFlag = false;
    qlonglong firstContainers = 0;
    qlonglong secondContainers = 0;
    qlonglong grandpackage = 0;
};

class Reader {
public:
    FlatFileReading read(const QByteArray& bytes, const Progress& progress) {
        readLines(bytes, progress);
        if (m_pos && !(bit(m_previous) & kPosComplete))
            problem(m_lineCount, 1,
                    worded({"the file ends inside POS %1 after %2",
                            "file berakhir di tengah POS %1 setelah %2"},
                           m_result.manifest.pos.back().nopos, recordName(m_previous)));
        closePos();
        if (m_lineCount == 0)
            problem(1, 1, worded({"the file is empty", "file kosong"}));
        else if (m_headerLine == 0)
            problem(1, 1,
                    worded({"the file has no HDR01 record", "file tidak berisi record HDR01"}));
        m_result.problems.sortByPlace();
        m_result.lineCount = m_lineCount;
        if (progress)
            progress(bytes.size(), bytes.size());
        return m_result;
    }

private:
    void problem(int line, int column, const Wording& message) {
        m_result.problems.append({line, column, message});
    }

    // Reads line by line, split at LF; every line must end in CR LF.
    void readLines(const QByteArray& bytes, const Progress& progress) {
        m_result.manifest.pos.reserve(bytes.count("\nDTL01") + 1);
        qsizetype start = 0;
        while (start < bytes.size() && !m_stopped) {
            qsizetype end = bytes.indexOf('\n', start);
            const bool hasLineFeed = end >= 0;
            if (!hasLineFeed)
                end = bytes.size();
            QByteArrayView content(bytes.constData() + start, end - start);
            const int number = ++m_lineCount;
            if (hasLineFeed && content.endsWith('\r'))
                content.chop(1);
            else
                problem(number, static_cast<int>(content.size()) + 1,
                        worded({"the line does not end in CR LF", "baris tidak diakhiri CR LF"}));
            readRecord({number, content});
            if (progress && number % kLinesPerProgress == 0)
                progress(end, bytes.size());
            start = end + 1;
        }
    }

    void readRecord(const Line& line) {
        const QByteArrayView b = line.bytes;
        if (b.startsWith("DTL02") && b.size() >= 8) {
            for (const PosText& text : kPosTexts) {
                if (b.sliced(5, 3) == QByteArrayView(text.kind))
                    return readPosText(line, text);
            }
        }
        static const std::pair<const char*, void (Reader::*)(const Line&)> kReaders[] = {
            {"DTL02HSC", &Reader::readGoods}, {"DTL02DES", &Reader::readDescription},
            {"HDR01", &Reader::readHeader},   {"DTL01", &Reader::readDetail},
            {"DOK01", &Reader::readDocument}, {"CNT01", &Reader::readContainer},
        };
        for (const auto& [id, read] : kReaders) {
            if (b.startsWith(id))
                return (this->*read)(line);
        }
        problem(line.number, 1,
                b.isEmpty() ? worded({"an empty line", "baris kosong"})
                            : worded({"unknown record id \"%1\"", "id record \"%1\" tidak dikenal"},
                                     line.mid(1, b.startsWith("DTL02") ? 8 : 5)));
    }

    // ---- fixed records ----

    std::optional<Values> readFixed(const FixedLayout& layout, const Line& line) {
        const int length = static_cast<int>(line.bytes.size());
        if (length != layout.length) {
            problem(line.number, std::min(length, layout.length) + 1,
                    worded({"%1 record of %2 characters; it must have %3",
                            "record %1 berisi %2 karakter; seharusnya %3"},
                           layout.id, length, layout.length));
            return std::nullopt;
        }
        Values values(layout.fields.size());
        for (const Field& field : layout.fields)
            readField(field, line, values);
        return values;
    }

    void readField(const Field& field, const Line& line, Values& values) {
        const QString raw = line.mid(field.from, field.width);
        const auto at = [&](qsizetype offset, const Wording& message) {
            problem(line.number, field.from + static_cast<int>(offset), message);
        };
        switch (field.kind) {
        case Kind::Constant:
            if (raw != QLatin1String(field.key))
                at(0, worded(kExpected, field.key));
            return;
        case Kind::Blank:
            if (const qsizetype i = firstNotIn(raw, Allowed::Blanks); i >= 0)
                at(i, worded({"expected blanks", "seharusnya berisi spasi"}));
            return;
        case Kind::Choice:
            if (!QLatin1String(field.choices).contains(raw))
                at(0, worded({"expected one of \"%1\"", "seharusnya salah satu dari \"%1\""},
                             field.choices));
            values.set(field.key, raw);
            return;
        case Kind::Text:
            if (const qsizetype i = firstUnprintable(line, field.from, field.width); i >= 0)
                at(i, unprintable(line, field.from + static_cast<int>(i)));
            values.set(field.key, rightTrimmed(raw));
            return;
        case Kind::Date:
            return readDateOrTime<QDate>(
                raw, "yyyy-MM-dd",
                {"\"%1\" is not a date (yyyyMMdd)", "\"%1\" bukan tanggal (yyyyMMdd)"}, field, at,
                values);
        case Kind::Time:
            return readDateOrTime<QTime>(
                raw, "HH:mm:ss", {"\"%1\" is not a time (HHmmss)", "\"%1\" bukan waktu (HHmmss)"},
                field, at, values);
        case Kind::Count:
        case Kind::Quantity:
            return readNumber(raw, field, at, values);
        }
    }

    template <typename DateOrTime, typename At>
    static void readDateOrTime(const QString& raw, const char* stored, const Phrase& notOne,
                               const Field& field, const At& at, Values& values) {
        if (raw.trimmed().isEmpty()) {
            values.set(field.key, QVariant());
            return;
        }
        if (firstNotIn(raw, Allowed::Digits) >= 0 || !validDigits<DateOrTime>(raw)) {
            at(0, worded(notOne, raw));
            return;
        }
        values.set(field.key, storedForm(raw, stored));
    }

    // Whether the digits of a field ("yyyyMMdd" or "HHmmss") make a date or time.
    template <typename DateOrTime> static bool validDigits(const QString& digits) {
        const auto number = [&](qsizetype from, qsizetype width) {
            return QStringView(digits).sliced(from, width).toInt();
        };
        if constexpr (std::is_same_v<DateOrTime, QDate>)
            return QDate::isValid(number(0, 4), number(4, 2), number(6, 2));
        else
            return QTime::isValid(number(0, 2), number(2, 2), number(4, 2));
    }

    // The digits put in the stored shape: "2024-03-15" or "08:30:00".
    static QString storedForm(const QString& digits, const char* stored) {
        QString text(static_cast<qsizetype>(std::strlen(stored)), Qt::Uninitialized);
        qsizetype next = 0;
        for (qsizetype i = 0; i < text.size(); ++i)
            text[i] = stored[i] == '-' || stored[i] == ':' ? QChar(stored[i]) : digits[next++];
        return text;
    }

    template <typename At>
    static void readNumber(const QString& raw, const Field& field, const At& at, Values& values) {
        const bool quantity = field.kind == Kind::Quantity;
        if (const qsizetype i = firstNotIn(raw, Allowed::Digits); i >= 0) {
            at(i, quantity
                      ? worded({"a quantity holds digits only", "kuantitas hanya berisi angka"})
                      : worded({"a count holds digits only", "jumlah hanya berisi angka"}));
            return;
        }
        const qlonglong digits = raw.toLongLong();
        if (quantity && significantDigits(digits) > kSignificantDigits)
            at(0, worded({"a quantity has at most %1 significant digits",
                          "kuantitas berisi paling banyak %1 digit bermakna"},
                         kSignificantDigits));
        values.set(field.key,
                   quantity ? QVariant(static_cast<double>(digits) / 10000.0) : QVariant(digits));
    }

    static qsizetype significantDigits(qlonglong number) {
        QString digits = QString::number(number);
        while (digits.size() > 1 && digits.endsWith(u'0'))
            digits.chop(1);
        return digits.size();
    }

    // The first place in `text` that is not a digit (or a blank); -1 when there is none.
    static qsizetype firstNotIn(const QString& text, Allowed allowed) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            if (allowed == Allowed::Digits ? (c < u'0' || c > u'9') : c != u' ')
                return i;
        }
        return -1;
    }

    static qsizetype firstUnprintable(const Line& line, int from, int width) {
        for (int i = 0; i < width && from - 1 + i < line.bytes.size(); ++i) {
            if (!isPrintable(line.bytes[from - 1 + i]))
                return i;
        }
        return -1;
    }

    static Wording unprintable(const Line& line, int column) {
        const auto byte = static_cast<uchar>(line.bytes[column - 1]);
        return worded({"byte 0x%1 is not printable ASCII",
                       "byte 0x%1 bukan karakter ASCII yang dapat dicetak"},
                      QString::number(byte, 16).toUpper().rightJustified(2, u'0'));
    }

    // ---- order ----

    // Checks that a record of `rank` may stand here; true when it belongs to a POS.
    bool placeInPos(Rank rank, const Line& line) {
        if (m_result.manifest.pos.isEmpty()) {
            problem(line.number, 1,
                    worded({"%1 comes before any DTL01", "%1 muncul sebelum DTL01 pertama"},
                           recordName(rank)));
            return false;
        }
        if (!(kMayFollow[rank] & bit(m_previous)))
            problem(line.number, 1,
                    worded({"%1 out of order: it cannot follow %2",
                            "urutan %1 salah: tidak boleh mengikuti %2"},
                           recordName(rank), recordName(m_previous)));
        return true;
    }

    void advance(Rank rank, const Line& line, int pieceLength = -1) {
        m_previous = rank;
        m_previousLine = line.number;
        m_previousPieceLength = pieceLength;
    }

    // ---- records ----

    void readHeader(const Line& line) {
        if (m_headerLine > 0) {
            problem(line.number, 1,
                    worded({"a second HDR01 (the first is on line %1)",
                            "HDR01 kedua (yang pertama pada baris %1)"},
                           m_headerLine));
            return;
        }
        if (line.number != 1)
            problem(
                line.number, 1,
                worded({"HDR01 must be the first record", "HDR01 harus menjadi record pertama"}));
        m_headerLine = line.number;
        const std::optional<Values> v = readFixed(kHeaderLayout, line);
        if (!v)
            return;
        FlatFileHeader& h = m_result.manifest.header;
        h.air = v->text("mode") == u"2";
        h.jnsmanifest = v->text("direction") == u"I" ? "Inward" : "Outward";
        h.vessel = v->text("vessel");
        h.voyage = v->text("voyage");
        h.arrivingdate = v->variant("arrivingdate");
        h.arrivingtime = v->variant("arrivingtime");
        const QString kind = h.air ? QStringLiteral("A") : QStringLiteral("S");
        if (QStringList{"1", "2"}.contains(v->text("mode")) && v->text("kind") != kind)
            problem(line.number, 9,
                    worded({"expected \"%1\" for mode of transport %2",
                            "seharusnya \"%1\" untuk moda transportasi %2"},
                           kind, v->text("mode")));
    }

    bool inward() const { return m_result.manifest.header.jnsmanifest == u"Inward"; }

    // Stops reading at a record the manifest has no room for.
    void stopBeyond(const Line& line, const Wording& full) {
        problem(
            line.number, 1,
            worded({"%1; the rest of the file is not read", "%1; sisa file tidak dibaca"}, full));
        m_stopped = true;
    }

    // Whether a POS's list of one kind is full; stops reading when it is.
    template <typename T> bool fullList(const QList<T>& lines, const Line& line) {
        if (lines.size() < kLastLine)
            return false;
        stopBeyond(line, worded({"POS %1 holds more than %2 %3 records",
                                 "POS %1 berisi lebih dari %2 record %3"},
                                m_result.manifest.pos.back().nopos, kLastLine,
                                line.mid(1, kIdLength - 2)));
        return true;
    }

    void readDetail(const Line& line) {
        if (m_result.manifest.pos.size() == kLastPos)
            return stopBeyond(line, worded({"a manifest holds at most %1 POS",
                                            "manifes berisi paling banyak %1 POS"},
                                           kLastPos));
        if (m_pos && !(kMayFollow[RDetail] & bit(m_previous)))
            problem(line.number, 1,
                    worded({"DTL01 out of order: POS %1 ends after %2",
                            "urutan DTL01 salah: POS %1 berakhir setelah %2"},
                           m_result.manifest.pos.back().nopos, recordName(m_previous)));
        closePos();
        m_result.manifest.pos.append(FlatFilePos{});
        m_pos = OpenPos{};
        m_pos->line = line.number;
        FlatFilePos& pos = m_result.manifest.pos.back();
        pos.line = line.number;
        advance(RDetail, line);
        if (const std::optional<Values> v = readFixed(kDetailLayout, line))
            fillDetail(*v, line, pos);
    }

    void fillDetail(const Values& v, const Line& line, FlatFilePos& pos) {
        pos.nopos = v.text("nopos");
        pos.flagconsolidate = v.text("flagconsolidate");
        pos.flagpartial = v.text("flagpartial");
        pos.pasalcd = v.text("pasalcd");
        pos.pmuatcd = v.text("pmuatcd");
        pos.pbongkarcd = v.text("pbongkarcd");
        pos.pakhircd = v.text("pakhircd");
        pos.motVessel = v.text("mot_vessel");
        pos.nobl = v.text("nobl");
        pos.tglbl = v.variant("tglbl");
        pos.bruto = v.quantity("bruto");
        pos.volume = v.quantity("volume");
        pos.jmlkemasan = v.count("jmlkemasan");
        pos.satuankemasan = v.text("satuankemasan");
        m_pos->layoutE = pos.flagpartial.toString() == u"E";
        m_pos->blankFlag = pos.flagpartial.toString().isEmpty();
        m_pos->firstContainers = v.count("firstContainers");
        m_pos->secondContainers = v.count("secondContainers");
        m_pos->grandpackage = v.count("grandpackage");
        if (m_result.manifest.header.air && !pos.motVessel.isEmpty())
            problem(line.number, 40,
                    worded({"an air manifest has no mother vessel",
                            "manifes udara tidak memiliki Mother Vessel"}));
        checkPosNumber(line, pos.nopos);
        checkHeaderCopy(v, line);
    }

    void checkPosNumber(const Line& line, const QString& nopos) {
        const QList<FlatFilePos>& all = m_result.manifest.pos;
        if (nopos.isEmpty())
            problem(line.number, 9, worded({"the POS number is blank", "nomor POS kosong"}));
        else if (!isPosNumber(nopos))
            // Numbering goes on from the highest stored number: it must be one it can follow.
            problem(line.number, 9,
                    worded({"the POS number \"%1\" is not four digits from 0001 to 9998",
                            "nomor POS \"%1\" bukan empat angka dari 0001 sampai 9998"},
                           nopos));
        else if (all.size() > 1 &&
                 nopos.compare(all[all.size() - 2].nopos, Qt::CaseInsensitive) <= 0)
            problem(
                line.number, 9,
                worded({"POS %1 does not come after POS %2", "POS %1 seharusnya sesudah POS %2"},
                       nopos, all[all.size() - 2].nopos));
    }

    static bool isPosNumber(const QString& nopos) {
        const int number = nopos.toInt();
        return nopos.size() == 4 && firstNotIn(nopos, Allowed::Digits) < 0 && number >= 1 &&
               number <= 9998;
    }

    // The group and master B/L every DTL01 repeats from the header.
    void checkHeaderCopy(const Values& v, const Line& line) {
        FlatFileHeader& h = m_result.manifest.header;
        if (m_result.manifest.pos.size() == 1) {
            h.kdgrup = v.text("kdgrup");
            h.noMaster = v.text("no_master");
            h.tglMaster = v.variant("tgl_master");
            return;
        }
        const auto differs = [&](int column, const QString& value, const QString& first) {
            if (value != first)
                problem(line.number, column,
                        worded({"\"%1\" differs from the first DTL01's \"%2\"",
                                "\"%1\" berbeda dari \"%2\" pada DTL01 pertama"},
                               value, first));
        };
        differs(6, v.text("kdgrup"), h.kdgrup);
        differs(128, v.text("no_master"), h.noMaster);
        differs(158, v.text("tgl_master"), h.tglMaster.toString());
    }

    // The container counts of the POS just read against its CNT01 records.
    void closePos() {
        if (!m_pos)
            return;
        FlatFilePos& pos = m_result.manifest.pos.back();
        const OpenPos& open = *m_pos;
        const bool zeros = open.secondContainers == 0 && open.grandpackage == 0;
        const bool plainLayoutFits = zeros && countsContainers(open.firstContainers, pos);
        const bool layoutEFits = countsContainers(open.secondContainers, pos);
        if (open.blankFlag && !plainLayoutFits && (layoutEFits || !zeros))
            pos.flagpartial = QVariant(); // a blank flag written in the "E" layout
        const bool layoutE = open.layoutE || pos.flagpartial.isNull();
        const qlonglong own = layoutE ? open.secondContainers : open.firstContainers;
        if (layoutE) {
            pos.grandcontainer = open.firstContainers;
            pos.grandpackage = open.grandpackage;
        } else if (open.secondContainers != 0 || open.grandpackage != 0) {
            problem(open.line, 230,
                    worded({"expected zeros outside the \"E\" layout",
                            "seharusnya nol di luar layout \"E\""}));
        }
        if (!countsContainers(own, pos))
            problem(open.line, layoutE ? 230 : 204,
                    worded({"container count %1 does not match the %2 CNT01 records",
                            "jumlah kontainer %1 tidak sesuai dengan %2 record CNT01"},
                           own, pos.containers.size()));
        else if (own == pos.containers.size())
            for (FlatFileContainer& box : pos.containers)
                box.nocountener = box.nocountener.toString(); // blank numbers count too
        m_pos.reset();
    }

    // Blank container numbers are null, left out of the count, unless counting them fits.
    static bool countsContainers(qlonglong count, const FlatFilePos& pos) {
        const auto numbered =
            std::count_if(pos.containers.begin(), pos.containers.end(),
                          [](const auto& box) { return !box.nocountener.isNull(); });
        return count == numbered || count == pos.containers.size();
    }

    void readPosText(const Line& line, const PosText& text) {
        if (const std::optional<QString> piece = readPiece(text.rank, line))
            m_result.manifest.pos.back().*text.target += *piece;
    }

    void readDescription(const Line& line) {
        if (const std::optional<QString> piece = readPiece(RDes, line))
            if (!m_result.manifest.pos.back().goods.isEmpty())
                m_result.manifest.pos.back().goods.back().uraian += *piece;
    }

    // A text record's piece, numbered 01 for a new text and one more for each continuation.
    std::optional<QString> readPiece(Rank rank, const Line& line) {
        const bool inPos = placeInPos(rank, line);
        const bool continues = inPos && m_previous == rank;
        const QString number = line.mid(9, 2);
        const int expected = continues ? m_previousPiece + 1 : 1;
        if (number.size() < 2 || firstNotIn(number, Allowed::Digits) >= 0 || number == u"00")
            problem(line.number, 9,
                    worded({"a text piece number runs from 01 to 99, not \"%1\"",
                            "nomor potongan teks antara 01 dan 99, bukan \"%1\""},
                           number));
        else if (number.toInt() != expected)
            problem(line.number, 9,
                    worded({"piece %1 out of order: expected %2",
                            "urutan potongan %1 salah: seharusnya %2"},
                           number, zeroPadded(expected, 2)));
        if (continues && m_previousPieceLength != kTextPieceLength)
            problem(m_previousLine, kIdLength + m_previousPieceLength + 1,
                    worded({"a text piece followed by another holds 200 characters",
                            "potongan teks yang diikuti potongan lain berisi 200 karakter"}));
        const QString piece = line.mid(kIdLength + 1);
        checkTextBytes(line, kIdLength + 1);
        if (piece.size() > kTextPieceLength)
            problem(line.number, kIdLength + kTextPieceLength + 1,
                    worded({"a text piece holds at most 200 characters",
                            "potongan teks berisi paling banyak 200 karakter"}));
        if (!inPos)
            return std::nullopt;
        advance(rank, line, static_cast<int>(piece.size()));
        m_previousPiece = expected;
        return piece;
    }

    void checkTextBytes(const Line& line, int from) {
        const int width = static_cast<int>(line.bytes.size()) - from + 1;
        if (const qsizetype i = firstUnprintable(line, from, width); i >= 0)
            problem(line.number, from + static_cast<int>(i),
                    unprintable(line, from + static_cast<int>(i)));
    }

    void readGoods(const Line& line) {
        if (line.mid(9, 2) != u"01")
            problem(line.number, 9, worded(kExpected, "DTL02HSC01"));
        checkTextBytes(line, kIdLength + 1);
        if (!placeInPos(RGoods, line) || fullList(m_result.manifest.pos.back().goods, line))
            return;
        advance(RGoods, line);
        m_result.manifest.pos.back().goods.append({line.mid(kIdLength + 1), QString()});
    }

    void readDocument(const Line& line) {
        if (inward())
            problem(line.number, 1,
                    worded({"an inward manifest has no DOK01 records",
                            "manifes inward tidak memiliki record DOK01"}));
        if (!placeInPos(RDoc, line))
            return;
        QList<FlatFileDocument>& documents = m_result.manifest.pos.back().documents;
        if (fullList(documents, line))
            return;
        const int sequence = m_previous == RDoc ? m_sequence + 1 : 1;
        advance(RDoc, line);
        m_sequence = sequence;
        const std::optional<Values> v = readFixed(kDocumentLayout, line);
        if (!v)
            return documents.append(FlatFileDocument{});
        checkSequence(line, 9, v->variant("sequence"), sequence, 3);
        documents.append(
            {v->text("jenispeb"), v->text("kpbc"), v->text("pebno"), v->variant("pebtgl")});
    }

    void readContainer(const Line& line) {
        if (!placeInPos(RCnt, line))
            return;
        QList<FlatFileContainer>& containers = m_result.manifest.pos.back().containers;
        if (fullList(containers, line))
            return;
        const int sequence = m_previous == RCnt ? m_sequence + 1 : 0;
        advance(RCnt, line);
        m_sequence = sequence;
        const std::optional<Values> v = readFixed(kContainerLayout, line);
        if (!v)
            return containers.append(FlatFileContainer{});
        checkSequence(line, 6, v->variant("sequence"), sequence, 4);
        const QString number = v->text("nocountener");
        containers.append({number.isEmpty() ? QVariant() : QVariant(number), v->text("ukuran"),
                           v->text("tipe"), v->text("seal")});
    }

    void checkSequence(const Line& line, int column, const QVariant& found, int expected,
                       int digits) {
        if (!found.isNull() && found.toLongLong() != expected)
            problem(line.number, column,
                    worded({"sequence %1 out of order: expected %2",
                            "urutan nomor %1 salah: seharusnya %2"},
                           zeroPadded(found.toLongLong(), digits), zeroPadded(expected, digits)));
    }

    int m_lineCount = 0;
    FlatFileReading m_result;
    int m_headerLine = 0;
    std::optional<OpenPos> m_pos;
    Rank m_previous = RDetail;
    int m_previousLine = 0;
    int m_previousPiece = 0;
    int m_previousPieceLength = -1;
    int m_sequence = 0;
    bool m_stopped = false;
};

QString counted(int count, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

} // namespace

int FlatFileManifest::goodsCount() const {
    int total = 0;
    for (const FlatFilePos& p : pos)
        total += static_cast<int>(p.goods.size());
    return total;
}

int FlatFileManifest::containerCount() const {
    int total = 0;
    for (const FlatFilePos& p : pos)
        total += static_cast<int>(p.containers.size());
    return total;
}

int FlatFileManifest::documentCount() const {
    int total = 0;
    for (const FlatFilePos& p : pos)
        total += static_cast<int>(p.documents.size());
    return total;
}

QString FlatFileManifest::summary() const {
    return QStringLiteral("%1, %2: %3, %4, %5, %6")
        .arg(header.air ? "air" : "sea", header.jnsmanifest.toLower(),
             QStringLiteral("%1 POS").arg(pos.size()),
             counted(goodsCount(), "goods line", "goods lines"),
             counted(containerCount(), "container", "containers"),
             counted(documentCount(), "document", "documents"));
}

FlatFileReading readFlatFile(const QByteArray& bytes, const Progress& progress) {
    return Reader().read(bytes, progress);
}

FlatFileReading readFlatFileAt(const QString& path, const Progress& progress) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FlatFileError("Cannot read " + path + ": " + file.errorString(),
                            "Tidak dapat membaca " + path + ": " + file.errorString());
    // Read no further than the cap: a special file may state no size.
    const QByteArray bytes = file.read(kMaxFlatFileBytes + 1);
    if (bytes.size() > kMaxFlatFileBytes) {
        const qint64 megabytes = kMaxFlatFileBytes >> 20;
        throw FlatFileError(
            QStringLiteral("Cannot read %1: it is bigger than %2 MB").arg(path).arg(megabytes),
            QStringLiteral("Tidak dapat membaca %1: lebih besar dari %2 MB")
                .arg(path)
                .arg(megabytes));
    }
    return readFlatFile(bytes, progress);
}

} // namespace vastrel
