#include "SheetImport.h"

#include "ContainerCheck.h"
#include "Database.h"
#include "EntryRules.h"
#include "FlatFile.h"
#include "InputHelpers.h"
#include "Lookups.h"
#include "XlsxTemplate.h"

#include <QHash>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <utility>

namespace vastrel {

namespace {

constexpr int kPosDigits = 4;
constexpr double kLargestWholeNumber = 1e15;
constexpr int kRowsPerProgress = 200;
const QDate kTimeOnlyDay(1899, 12, 30); // the day a time of day alone lies on
const QString kGroupWithoutCargo = QStringLiteral("08X");

enum class Need { Optional, Required };

// Messages said in more than one place.
const Phrase kNotANumber{"%1 %2 is not a number", "%1 %2 bukan angka"};
const Phrase kAlreadyOnRow{"%1 %2 is already on row %3", "%1 %2 sudah ada pada baris %3"};
const Phrase kOnlyInGroup08X{"group 08X carries no %1", "grup 08X tidak memiliki %1"};

Wording positionList(const QList<int>& positions) {
    QStringList numbers;
    for (int position : positions)
        numbers << QString::number(position);
    return worded({"%1 %2", "posisi %2"}, positions.size() == 1 ? "position" : "positions",
                  numbers.join(", "));
}

// A date cell, or a text "yyyy-mm-dd" or as the date boxes take it ("dd-mm-yyyy").
QDate dateOf(const CellValue& cell) {
    if (cell.kind == CellValue::Kind::Date)
        return cell.dateTime.date() == kTimeOnlyDay ? QDate() : cell.dateTime.date();
    if (cell.kind != CellValue::Kind::Text)
        return {};
    const QString text = cell.text.trimmed();
    const QDate iso = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (iso.isValid())
        return iso;
    // As the date boxes filter what is typed: "10/03/2024" is 10-03-2024.
    const DateCheck check = CheckDate(FilterDate(text, 0).text);
    return check.accepted ? QDate::fromString(check.text, QStringLiteral("dd-MM-yyyy")) : QDate();
}

// "HH:mm" from a time-of-day cell or a text as the time box takes it; empty when neither.
QString timeOf(const CellValue& cell) {
    if (cell.kind == CellValue::Kind::Date)
        return cell.dateTime.date() == kTimeOnlyDay
                   ? cell.dateTime.time().toString(QStringLiteral("HH:mm"))
                   : QString();
    return cell.kind == CellValue::Kind::Text ? NormaliseTime(cell.text.trimmed()) : QString();
}

std::optional<double> numberOf(const CellValue& cell) {
    bool ok = false;
    double value = 0;
    if (cell.kind == CellValue::Kind::Number) {
        value = cell.number;
        ok = true;
    } else if (cell.kind == CellValue::Kind::Text) {
        value = QLocale::c().toDouble(cell.text.trimmed(), &ok);
    }
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool allDigits(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

using NameLookup = QString (*)(const Database&, const QString&);

// One record of a sheet, read value by value with the entry screens' checks. A value that
// fails is reported at the record's row and read as blank.
class RowReader {
public:
    using Warn = std::function<void(const FlatFileProblem&)>;
    RowReader(const QString& sheet, const SheetRecord& record, ProblemList& problems, Warn warn)
        : m_sheet(sheet), m_record(record), m_problems(problems), m_warn(std::move(warn)) {}

    // The problem `message` would be at this row.
    FlatFileProblem here(const Wording& message) const {
        return {m_record.row, 0, message, m_sheet};
    }
    void fail(const Wording& message) { m_problems.append(here(message)); }
    bool has(const QString& column) const { return m_record.values.contains(column); }
    CellValue cell(const QString& column) const { return m_record.values.value(column); }

    // A text the boxes would take: not longer than theirs, no character they refuse. Accented
    // letters are written plain, as the clerk may have them on the screens, with a warning.
    QString text(const QString& column, Need need = Need::Optional) {
        QString value = cell(column).toText();
        if (value.trimmed().isEmpty()) {
            requireIf(need, column);
            return {};
        }
        const QList<int> positions = InvalidCharPositions(value);
        if (const QString plain = WithPlainLetters(value); !plain.isEmpty()) {
            m_warn(
                here(worded({"%1 %2 is written plain: %3", "%1 %2 ditulis dengan huruf biasa: %3"},
                            column, quotedValue(value), quotedValue(plain))));
            value = plain;
        } else if (!positions.isEmpty()) {
            fail(worded({"%1 holds a character that cannot be stored at %2",
                         "%1 berisi karakter yang tidak dapat disimpan pada %2"},
                        column, positionList(positions)));
            return {};
        }
        return fitsBox(column, value) ? value : QString();
    }

    // A code of a reference list, in capitals; `what` names the list.
    QString code(const QString& column, const Database& db, NameLookup lookup, const Wording& what,
                 Need need = Need::Required) {
        const QString value = text(column, need).trimmed().toUpper();
        if (!value.isEmpty() && lookup(db, value) == kNotFound)
            fail(worded({"%1 %2 is not a known %3", "%1 %2 bukan kode %3 yang dikenal"}, column,
                        quotedValue(value), what));
        return value;
    }

    // One of `choices` in any case, as `choices` writes it; empty when blank or not one.
    QString choice(const QString& column, const QStringList& choices, Need need) {
        const QString value = cell(column).toText().trimmed();
        if (value.isEmpty()) {
            requireIf(need, column);
            return {};
        }
        for (const QString& choice : choices)
            if (choice.compare(value, Qt::CaseInsensitive) == 0)
                return choice;
        fail(worded({"%1 %2 is not one of %3", "%1 %2 bukan salah satu dari %3"}, column,
                    quotedValue(value), choices.join(", ")));
        return {};
    }

    // "yyyy-MM-dd", or null when blank or not a date.
    QVariant date(const QString& column, Need need) {
        const CellValue value = cell(column);
        if (value.isEmpty()) {
            requireIf(need, column);
            return {};
        }
        const QDate date = dateOf(value);
        if (!date.isValid()) {
            fail(worded({"%1 %2 is not a date", "%1 %2 bukan tanggal"}, column,
                        quotedValue(value.toText())));
            return {};
        }
        return date.toString(QStringLiteral("yyyy-MM-dd"));
    }

    // "HH:mm:ss", or null when blank or not a time.
    QVariant time(const QString& column, Need need) {
        const CellValue value = cell(column);
        if (value.isEmpty()) {
            requireIf(need, column);
            return {};
        }
        const QString time = timeOf(value);
        if (time.isEmpty()) {
            fail(worded({"%1 %2 is not a time (HH:mm)", "%1 %2 bukan waktu (HH:mm)"}, column,
                        quotedValue(value.toText())));
            return {};
        }
        return time + ":00";
    }

    // A weight or volume: not negative, to four decimals; 0 when blank or refused.
    double quantity(const QString& column) {
        return RoundToFourDecimals(number(column).value_or(0));
    }

    // A count: a whole number, not negative; 0 when blank, nothing when refused.
    std::optional<qlonglong> count(const QString& column) {
        const std::optional<double> value = number(column);
        if (!value)
            return std::nullopt;
        if (std::floor(*value) != *value || *value > kLargestWholeNumber) {
            fail(worded({"%1 %2 is not a whole number", "%1 %2 bukan bilangan bulat"}, column,
                        quotedValue(cell(column).toText())));
            return std::nullopt;
        }
        return static_cast<qlonglong>(*value);
    }

private:
    void requireIf(Need need, const QString& column) {
        if (need == Need::Required)
            fail(worded({"%1 is required", "%1 harus diisi"}, column));
    }

    bool fitsBox(const QString& column, const QString& value) {
        const int longest = EntryMaxLength(column);
        if (longest == 0 || value.size() <= longest)
            return true;
        fail(worded({"%1 is longer than %2 characters", "%1 lebih dari %2 karakter"}, column,
                    longest));
        return false;
    }

    std::optional<double> number(const QString& column) {
        const CellValue value = cell(column);
        if (value.isEmpty())
            return 0.0;
        if (!fitsBox(column, value.toText()))
            return std::nullopt;
        const std::optional<double> number = numberOf(value);
        if (!number)
            fail(worded(kNotANumber, column, quotedValue(value.toText())));
        else if (*number < 0)
            fail(worded({"%1 %2 is negative", "%1 %2 negatif"}, column,
                        quotedValue(value.toText())));
        else
            return number;
        return std::nullopt;
    }

    QString m_sheet;
    const SheetRecord& m_record;
    ProblemList& m_problems;
    Warn m_warn;
};

QStringList offeredDocumentKinds() {
    QStringList codes;
    for (int i = 0; i < kOfferedDocumentKinds; ++i)
        codes << QString::fromLatin1(kDocumentKinds[i].code);
    return codes;
}

// A container type as stored ("F") or as the screen shows it ("FCL").
QString containerType(RowReader& row) {
    const QString given = row.cell(QStringLiteral("tipe")).toText().trimmed();
    QStringList codes;
    for (const QString& shown : ContainerTypes()) {
        codes << shown.left(1);
        if (shown.compare(given, Qt::CaseInsensitive) == 0)
            return shown.left(1);
    }
    return row.choice(QStringLiteral("tipe"), codes, Need::Required);
}

// Turns the sheets of an import workbook into a manifest.
class WorkbookReader {
public:
    WorkbookReader(const Database& db, bool air, const QString& into, const Progress& progress)
        : m_db(db), m_air(air), m_into(into), m_progress(progress) {
        m_result.reading.manifest.header.air = air;
    }

    SheetReading read(const Workbook& book) {
        const std::vector<TemplateSheet> sheets =
            templateSheets(m_air ? ManifestKind::Air : ManifestKind::Sea);
        QHash<QString, std::vector<SheetRecord>> byName;
        for (const TemplateSheet& sheet : sheets) {
            byName[sheet.name] = records(book, sheet);
            m_rowCount += static_cast<qint64>(byName[sheet.name].size());
        }
        readHeader(byName.value("Header"));
        readPos(byName.value("POS"));
        readGoods(byName.value("Barang"));
        readContainers(byName.value("Kontainer"));
        readDocuments(byName.value("Dokumen"));
        checkPartialContainers();
        if (m_air && book.find(QStringLiteral("Kontainer")) &&
            !sheetTable(book.sheet(QStringLiteral("Kontainer"))).records.empty())
            problem("Kontainer", 0,
                    worded({"air manifests carry no containers",
                            "manifes udara tidak memiliki kontainer"}));
        if (m_progress)
            m_progress(m_rowCount, m_rowCount);
        return std::move(m_result);
    }

private:
    ProblemList& problems() { return m_result.reading.problems; }
    FlatFileManifest& manifest() { return m_result.reading.manifest; }
    void problem(const QString& sheet, int row, const Wording& message) {
        problems().append({row, 0, message, sheet});
    }

    // A row of a sheet starts being read: one more for the progress.
    RowReader rowReader(const QString& sheet, const SheetRecord& record) {
        if (m_progress && ++m_rowsRead % kRowsPerProgress == 0)
            m_progress(m_rowsRead, m_rowCount);
        return RowReader(sheet, record, problems(),
                         [this](const FlatFileProblem& warning) { warn(warning); });
    }

    // The records of a sheet; a heading the template lacks is a problem, as are the
    // heading row's own faults.
    std::vector<SheetRecord> records(const Workbook& book, const TemplateSheet& layout) {
        const Sheet* sheet = book.find(layout.name);
        if (!sheet)
            return {};
        SheetTable table = sheetTable(*sheet);
        problems() += table.problems;
        for (const QString& column : table.columns)
            if (!layout.columns.contains(column))
                problem(
                    layout.name, table.headingRow,
                    worded({"unknown column %1", "kolom %1 tidak dikenal"}, quotedValue(column)));
        return std::move(table.records);
    }

    void readHeader(const std::vector<SheetRecord>& records) {
        for (std::size_t i = 1; i < records.size(); ++i)
            problem(
                "Header", records[i].row,
                worded({"only one header row is allowed", "hanya boleh ada satu baris header"}));
        if (!records.empty())
            manifest().header = headerOf(records.front());
        else if (m_into.isEmpty())
            problem("Header", 0,
                    worded({"the sheet has no header row", "sheet ini tidak berisi baris header"}));
        m_direction = manifest().header.jnsmanifest;
        m_group = manifest().header.kdgrup;
        if (!m_into.isEmpty())
            useStoredHeader(records.empty());
    }

    FlatFileHeader headerOf(const SheetRecord& record) {
        RowReader row = rowReader("Header", record);
        FlatFileHeader h;
        h.air = m_air;
        h.jnsmanifest = row.choice("jnsmanifest", {"Inward", "Outward"}, Need::Required);
        h.vessel = row.text("vessel");
        h.voyage = row.text("voyage");
        h.kdgrup = group(row, h.jnsmanifest);
        h.arrivingdate = row.date("arrivingdate", Need::Required);
        h.arrivingtime = row.time("arrivingtime", Need::Required);
        h.noMaster = row.text("no_master", Need::Required);
        h.tglMaster = row.date("tgl_master", Need::Required);
        return h;
    }

    // The group, which the header's direction must offer.
    QString group(RowReader& row, const QString& direction) {
        const QString code = row.text("kdgrup", Need::Required).trimmed().toUpper();
        if (code.isEmpty() || direction.isEmpty())
            return code;
        const QString offered = direction == QLatin1String("Inward") ? "inward" : "outward";
        if (m_db.scalar("SELECT 1 FROM tblGrup WHERE kdgrup = ? AND " + offered + " = -1", {code})
                .isNull())
            row.fail(worded(
                {"kdgrup %1 is not a group of %2 manifests", "kdgrup %1 bukan grup manifes %2"},
                quotedValue(code), offered));
        return code;
    }

    // The manifest appended to decides the group and the direction; its header stands for
    // an empty Header sheet.
    void useStoredHeader(bool replace) {
        const RowSet stored = m_db.query(
            QStringLiteral(
                "SELECT jnsmanifest, vessel, voyage, kdgrup, arrivingdate, arrivingtime, "
                "no_master, tgl_master FROM tblheader WHERE nodaftar = ?"),
            {m_into});
        if (stored.eof())
            return;
        FlatFileHeader& h = manifest().header;
        if (replace) {
            h.vessel = stored.text("vessel");
            h.voyage = stored.text("voyage");
            h.arrivingdate = stored.value("arrivingdate");
            h.arrivingtime = stored.value("arrivingtime");
            h.noMaster = stored.text("no_master");
            h.tglMaster = stored.value("tgl_master");
            h.jnsmanifest = stored.text("jnsmanifest");
            h.kdgrup = stored.text("kdgrup");
        }
        m_direction = stored.text("jnsmanifest");
        m_group = stored.text("kdgrup");
    }

    bool group08X() const { return m_group.compare(kGroupWithoutCargo, Qt::CaseInsensitive) == 0; }

    void readPos(const std::vector<SheetRecord>& records) {
        if (records.empty())
            problem("POS", 0,
                    worded({"the sheet has no POS row", "sheet ini tidak berisi baris POS"}));
        for (const SheetRecord& record : records) {
            if (manifest().pos.size() == kLastPos) {
                problem("POS", record.row,
                        worded({"a manifest holds at most %1 POS; the rows from here on are not "
                                "read",
                                "manifes berisi paling banyak %1 POS; baris mulai dari sini tidak "
                                "dibaca"},
                               kLastPos));
                break;
            }
            RowReader row = rowReader("POS", record);
            FlatFilePos pos = posOf(row);
            pos.line = record.row;
            // As given, so that its child rows find it even when its number is refused.
            const QString key = row.cell("nobl").toText().trimmed().toUpper();
            if (m_posByBl.contains(key))
                row.fail(worded(kAlreadyOnRow, "nobl",
                                quotedValue(row.cell("nobl").toText().trimmed()),
                                manifest().pos[m_posByBl[key]].line));
            else if (!key.isEmpty())
                m_posByBl.insert(key, static_cast<int>(manifest().pos.size()));
            manifest().pos.append(pos);
        }
        numberPos();
    }

    FlatFilePos posOf(RowReader& row) {
        FlatFilePos pos;
        pos.nopos = posNumber(row, "nopos");
        pos.nobl = row.text("nobl", need("nobl")).trimmed();
        pos.tglbl = row.date("tglbl", Need::Required);
        if (!m_air)
            pos.motVessel = row.text("mot_vessel", need("mot_vessel"));
        const Wording port = m_air ? Wording{"airport", "airport"} : Wording{"port", "pelabuhan"};
        for (auto [member, column] : {std::pair{&FlatFilePos::pasalcd, "pasalcd"},
                                      {&FlatFilePos::pmuatcd, "pmuatcd"},
                                      {&FlatFilePos::pbongkarcd, "pbongkarcd"},
                                      {&FlatFilePos::pakhircd, "pakhircd"}})
            pos.*member = row.code(column, m_db, GetNmPort, port);
        for (auto [member, column] : {std::pair{&FlatFilePos::snm, "snm"},
                                      {&FlatFilePos::sna, "sna"},
                                      {&FlatFilePos::cnm, "cnm"},
                                      {&FlatFilePos::cna, "cna"},
                                      {&FlatFilePos::nnm, "nnm"},
                                      {&FlatFilePos::nna, "nna"},
                                      {&FlatFilePos::mark, "mark"}})
            pos.*member = row.text(column);
        pos.bruto = row.quantity("bruto");
        pos.volume = row.quantity("volume");
        pos.jmlkemasan = row.count("jmlkemasan").value_or(0);
        readPackageUnit(row, pos);
        pos.flagconsolidate = row.choice("flagconsolidate", {"C"}, Need::Optional);
        readPartial(row, pos);
        for (const char* column : {"kpbc", "pebno", "pebtgl"})
            if (row.has(column))
                row.fail(worded({"%1 belongs in the Dokumen sheet", "%1 diisi pada sheet Dokumen"},
                                column));
        return pos;
    }

    // A POS number 0001-9998; empty when not given.
    static QString posNumber(RowReader& row, const QString& column) {
        if (!row.has(column))
            return {};
        const std::optional<qlonglong> number = row.count(column);
        if (number && *number >= 1 && *number <= kLastPos)
            return zeroPadded(*number, kPosDigits);
        if (number)
            row.fail(worded({"%1 %2 is not a POS number (1-%3)", "%1 %2 bukan nomor POS (1-%3)"},
                            column, quotedValue(row.cell(column).toText()), kLastPos));
        return {};
    }

    Need need(const QString& column) const {
        return RequiredOnEntry(column, m_air, m_group) ? Need::Required : Need::Optional;
    }

    void readPackageUnit(RowReader& row, FlatFilePos& pos) {
        if (!group08X())
            pos.satuankemasan = row.code("satuankemasan", m_db, GetNmKemasan,
                                         {"package unit", "satuan kemasan"}, need("satuankemasan"));
        else if (row.has("satuankemasan"))
            row.fail(worded({"satuankemasan must be empty: %1", "satuankemasan harus kosong: %1"},
                            worded(kOnlyInGroup08X, Wording{"package units", "satuan kemasan"})));
    }

    // A partial shipment ("E") gives its totals; another POS leaves them empty.
    void readPartial(RowReader& row, FlatFilePos& pos) {
        const QString partial = row.choice("flagpartial", {"E"}, Need::Optional);
        pos.flagpartial = partial;
        for (auto [member, column] : {std::pair{&FlatFilePos::grandpackage, "grandpackage"},
                                      {&FlatFilePos::grandcontainer, "grandcontainer"}}) {
            const bool seaOnly = member == &FlatFilePos::grandcontainer;
            const qlonglong total = row.count(column).value_or(0);
            if (!partial.isEmpty() && !(seaOnly && m_air))
                pos.*member = total;
            else if (total != 0)
                row.fail(worded({"%1 is given only for a partial %2shipment (flagpartial E)",
                                 "%1 hanya diisi untuk pengiriman %2parsial (flagpartial E)"},
                                column, seaOnly ? Wording{"sea ", "laut "} : Wording{}));
        }
        if (!partial.isEmpty() && pos.grandpackage < pos.jmlkemasan)
            row.fail(worded({"grandpackage %1 is less than jmlkemasan %2",
                             "grandpackage %1 lebih kecil dari jmlkemasan %2"},
                            pos.grandpackage, pos.jmlkemasan));
    }

    // POS without a number take the lowest free ones; a number may be given once.
    void numberPos() {
        QHash<QString, int> taken;
        for (const FlatFilePos& pos : manifest().pos) {
            if (pos.nopos.isEmpty())
                continue;
            if (taken.contains(pos.nopos))
                problem("POS", pos.line,
                        worded(kAlreadyOnRow, "nopos", quotedValue(pos.nopos), taken[pos.nopos]));
            else
                taken.insert(pos.nopos, pos.line);
        }
        qlonglong next = 1;
        for (FlatFilePos& pos : manifest().pos) {
            if (!pos.nopos.isEmpty())
                continue;
            while (taken.contains(zeroPadded(next, kPosDigits)))
                ++next;
            pos.nopos = zeroPadded(next++, kPosDigits);
        }
    }

    // The POS a child row names by its B/L number (and, when given, its POS number).
    FlatFilePos* ownerOf(RowReader& row) {
        const QString nobl = row.text("nobl", Need::Required).trimmed();
        const QString nopos = posNumber(row, "nopos");
        if (row.has("noseq"))
            row.count("noseq");
        if (nobl.isEmpty())
            return nullptr;
        const auto found = m_posByBl.constFind(nobl.toUpper());
        if (found == m_posByBl.constEnd()) {
            row.fail(worded({"nobl %1 names no POS row", "nobl %1 tidak ada pada sheet POS"},
                            quotedValue(nobl)));
            return nullptr;
        }
        FlatFilePos& pos = manifest().pos[*found];
        if (!nopos.isEmpty() && nopos != pos.nopos)
            row.fail(worded(
                {"nopos %1 is not the POS of nobl %2 (%3)", "nopos %1 bukan POS dari nobl %2 (%3)"},
                quotedValue(nopos), quotedValue(nobl), pos.nopos));
        return &pos;
    }

    void readGoods(const std::vector<SheetRecord>& records) {
        for (const SheetRecord& record : records) {
            RowReader row = rowReader("Barang", record);
            FlatFilePos* pos = ownerOf(row);
            if (group08X())
                row.fail(worded(kOnlyInGroup08X, Wording{"goods", "barang"}));
            const FlatFileGoods goods{row.text("hs").trimmed(), row.text("uraian", need("uraian"))};
            if (pos)
                pos->goods.append(goods);
        }
    }

    void readContainers(const std::vector<SheetRecord>& records) {
        for (const SheetRecord& record : records) {
            RowReader row = rowReader("Kontainer", record);
            FlatFilePos* pos = ownerOf(row);
            const QString number = row.text("nocountener", Need::Required).trimmed();
            // Only a warning, as on the screen: numbers outside ISO 6346 exist.
            if (!number.isEmpty() && !CekContainer(number))
                warn(row.here(worded(
                    {"nocountener %1 has a wrong check digit", "check digit nocountener %1 salah"},
                    quotedValue(number))));
            const FlatFileContainer container{
                number, row.choice("ukuran", ContainerSizes(), Need::Required), containerType(row),
                row.text("seal", Need::Required).trimmed()};
            if (pos)
                pos->containers.append(container);
        }
    }

    void readDocuments(const std::vector<SheetRecord>& records) {
        for (const SheetRecord& record : records) {
            RowReader row = rowReader("Dokumen", record);
            FlatFilePos* pos = ownerOf(row);
            if (group08X())
                row.fail(worded(kOnlyInGroup08X, Wording{"documents", "dokumen"}));
            else if (m_direction.compare("Inward", Qt::CaseInsensitive) == 0)
                row.fail(worded({"documents belong to outward manifests only",
                                 "dokumen hanya untuk manifes outward"}));
            FlatFileDocument document;
            document.jenispeb = row.choice("jenispeb", offeredDocumentKinds(), Need::Required);
            document.kpbc = row.code("kpbc", m_db, GetNmKpbc, {"customs office", "KPBC"});
            document.pebno = documentNumber(row);
            document.pebtgl = row.date("pebtgl", Need::Required);
            if (pos)
                pos->documents.append(document);
        }
    }

    // Digits only, zeros added in front as the document screen does.
    static QString documentNumber(RowReader& row) {
        const QString number = row.text("pebno", Need::Required).trimmed();
        if (number.isEmpty())
            return {};
        if (allDigits(number))
            return number.rightJustified(kDocumentNumberDigits, u'0');
        row.fail(worded(kNotANumber, "pebno", quotedValue(number)));
        return {};
    }

    // A partial sea shipment cannot name more containers than its POS carries.
    void checkPartialContainers() {
        for (const FlatFilePos& pos : manifest().pos)
            if (pos.grandcontainer > pos.containers.size())
                problem("POS", pos.line,
                        worded({"grandcontainer %1 is more than the %2 containers of the POS",
                                "grandcontainer %1 lebih besar dari %2 kontainer pada POS"},
                               pos.grandcontainer, pos.containers.size()));
    }

    void warn(const FlatFileProblem& warning) {
        m_result.warnings << warning.toString();
        m_result.warningsInIndonesian << warning.toIndonesian();
    }

    const Database& m_db;
    bool m_air;
    QString m_into;
    Progress m_progress;
    SheetReading m_result;
    QHash<QString, int> m_posByBl; // upper-case B/L number -> index of its POS
    QString m_direction;
    QString m_group;
    qint64 m_rowCount = 0;
    qint64 m_rowsRead = 0;
};

} // namespace

SheetReading readManifestSheets(const Database& db, bool air, const Workbook& book,
                                const QString& into, const Progress& progress) {
    return WorkbookReader(db, air, into, progress).read(book);
}

FlatFileImportPlan planSheetImport(const Database& db, bool air, const QString& path,
                                   const QString& into, const QDate& today,
                                   const Progress& progress) {
    SheetReading sheets = readManifestSheets(db, air, readWorkbook(path), into, progress);
    FlatFileImportPlan plan = planFlatFileImport(db, air, std::move(sheets.reading), into, today);
    plan.warnings = sheets.warnings + plan.warnings;
    plan.warningsInIndonesian = sheets.warningsInIndonesian + plan.warningsInIndonesian;
    identifySource(db, plan, path);
    return plan;
}

void importSheet(Database& db, FlatFileImportPlan& plan, const Progress& progress) {
    if (!plan.canImport())
        throw FlatFileError("The workbook cannot be imported: " + plan.refusals.join("; "),
                            "Workbook tidak dapat diimpor: " +
                                plan.refusalsInIndonesian.join("; "));
    importFlatFile(db, plan, progress);
}

} // namespace vastrel
