// The flat-file reader: any bytes are read without a crash, every problem points into the
// file, and a file without problems survives an import and a second writing: it reads
// back as the same manifest, its texts trimmed as the writer trims them.

#include "Database.h"
#include "FlatFile.h"
#include "FlatFileImport.h"
#include "FlatFileReader.h"
#include "FuzzCheck.h"
#include "Schema.h"
#include "ScratchDatabase.h"

#include <algorithm>
#include <cstdint>

using namespace vastrel;
using vastrel::fuzz::check;
using vastrel::fuzz::ScratchDatabase;

namespace {

// The manifest as the writer gives it back: texts trimmed, line numbers aside.
FlatFileManifest asWrittenAgain(FlatFileManifest manifest) {
    for (FlatFilePos& pos : manifest.pos) {
        pos.line = 0;
        for (QString* text :
             {&pos.snm, &pos.sna, &pos.cnm, &pos.cna, &pos.nnm, &pos.nna, &pos.mark})
            *text = CleanText(*text);
        for (FlatFileGoods& goods : pos.goods)
            goods.uraian = CleanText(goods.uraian);
    }
    return manifest;
}

// Imports the file into the scratch database and writes it again.
QByteArray importedAndWritten(const FlatFileReading& reading) {
    ScratchDatabase& s = ScratchDatabase::instance();
    Transaction rolledBack(s.db);
    const bool air = reading.manifest.header.air;
    FlatFileImportPlan plan = planFlatFileImport(s.db, air, reading);
    check(plan.canImport(), "a file without problems can be imported");
    importFlatFile(s.db, plan);
    return fileBytes(FlatFile(s.db, plan.target, air ? "1" : "0").lines());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const FlatFileReading reading = readFlatFile(bytes);
    const int lastLine = std::max(1, reading.lineCount);
    for (const FlatFileProblem& problem : reading.problems)
        check(problem.line >= 1 && problem.line <= lastLine && problem.column >= 1 &&
                  !problem.message.isEmpty() && !problem.indonesian.isEmpty(),
              "every problem has a line of the file, a column and words in both languages");
    if (!reading.problems.isEmpty())
        return 0;
    check(readFlatFile(bytes).manifest == reading.manifest, "a file re-reads identically");
    const FlatFileReading again = readFlatFile(importedAndWritten(reading));
    check(again.problems.isEmpty(), "a written file has no problems");
    check(asWrittenAgain(again.manifest) == asWrittenAgain(reading.manifest),
          "an imported file is written back as the same manifest");
    return 0;
}
