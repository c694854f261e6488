// The workbook reader and the sheet import: any workbook is read into a manifest or refused
// with a short message, never a crash, with at most 100 problems listed. The first byte of
// the input picks the manifest kind (bit 0) and whether the rest is a whole XLSX file
// (bit 1) or the XML of one sheet, POS, put in a workbook here so that the XML is fuzzed
// rather than the zip archive's checksums.

#include "FuzzCheck.h"
#include "ScratchDatabase.h"
#include "SheetImport.h"
#include "UserError.h"

#include <QFile>

#include <zip.h>

#include <cstdint>

using namespace vastrel;
using vastrel::fuzz::check;
using vastrel::fuzz::ScratchDatabase;

namespace {

// Longer messages than this quote too much of the file.
constexpr qsizetype kLongestMessage = 400;

const QByteArray kWorkbook =
    R"(<workbook xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
    R"(<sheets><sheet name="POS" sheetId="1" r:id="rId1"/></sheets></workbook>)";
const QByteArray kRelations =
    R"(<Relationships><Relationship Id="rId1" Target="worksheets/sheet1.xml"/></Relationships>)";

bool writeWorkbook(const QString& path, const QByteArray& sheetXml) {
    int error = 0;
    zip_t* archive =
        zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    for (const auto& [name, content] : {std::pair{"xl/workbook.xml", &kWorkbook},
                                        {"xl/_rels/workbook.xml.rels", &kRelations},
                                        {"xl/worksheets/sheet1.xml", &sheetXml}}) {
        zip_source_t* source = zip_source_buffer(archive, content->constData(), content->size(), 0);
        if (zip_file_add(archive, name, source, ZIP_FL_OVERWRITE) < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
    }
    return zip_close(archive) == 0;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    ScratchDatabase& s = ScratchDatabase::instance();
    static const QString bookPath = s.dir.filePath(QStringLiteral("in.xlsx"));
    const bool air = data[0] & 1;
    const bool wholeFile = data[0] & 2;
    const QByteArray rest(reinterpret_cast<const char*>(data) + 1,
                          static_cast<qsizetype>(size - 1));
    check(wholeFile ? writeFile(bookPath, rest) : writeWorkbook(bookPath, rest),
          "the fuzz input is written to a file");
    Workbook book;
    try {
        book = readWorkbook(bookPath);
    } catch (const UserError& e) {
        check(QString::fromUtf8(e.what()).size() < bookPath.size() + kLongestMessage,
              "a refusal is short");
        return 0;
    }
    const SheetReading sheets = readManifestSheets(s.db, air, book);
    const ProblemList& problems = sheets.reading.problems;
    check(problems.listed().size() <= ProblemList::kListed, "at most 100 problems are listed");
    check(problems.count() >= problems.listed().size(), "the count covers the listed problems");
    for (const FlatFileProblem& problem : problems)
        check(problem.toString().size() < kLongestMessage, "a problem is short");
    check(sheets.reading.manifest.pos.size() <= kLastPos, "a manifest holds at most 9998 POS");
    return 0;
}
