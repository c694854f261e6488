// The CSV import: any file is loaded whole or refused with a short message, never a crash.
// The first byte of the input picks the table (low seven bits) and the encoding (high bit).

#include "CsvImport.h"
#include "Database.h"
#include "FuzzCheck.h"
#include "Schema.h"
#include "ScratchDatabase.h"

#include <QFile>
#include <QStringDecoder>

#include <cstdint>

using namespace vastrel;
using vastrel::fuzz::check;
using vastrel::fuzz::ScratchDatabase;

namespace {

// Longer messages than this quote too much of the file.
constexpr qsizetype kLongestMessage = 300;

// Qt's own decoder, a second opinion on which files the import must refuse.
bool isValidUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes); // decodes on the conversion to QString
    return !decoder.hasError();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    ScratchDatabase& s = ScratchDatabase::instance();
    static const QStringList tables = schema::tableNames();
    static const QString csvPath = s.dir.filePath(QStringLiteral("in.csv"));
    const QString table = tables[(data[0] & 0x7F) % tables.size()];
    const CsvEncoding encoding = data[0] & 0x80 ? CsvEncoding::Windows1252 : CsvEncoding::Utf8;
    const QByteArray csv(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1));
    QFile file(csvPath);
    check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(csv) == csv.size(),
          "the fuzz input is written to a file");
    file.close();

    Transaction rolledBack(s.db);
    const auto rowsInTable = [&] { return s.db.scalar("SELECT count(*) FROM " + table).toInt(); };
    QString refusal;
    try {
        const int loaded = importCsv(s.db, table, csvPath, encoding);
        check(loaded == rowsInTable(), "every row counted as loaded is in the table");
    } catch (const DbError& e) {
        refusal = QString::fromUtf8(e.what());
        check(refusal.size() < csvPath.size() + kLongestMessage, "error messages are short");
        check(rowsInTable() == 0, "a refused file loads nothing");
    }
    if (encoding == CsvEncoding::Utf8)
        check(refusal.contains(QStringLiteral("not valid UTF-8")) == !isValidUtf8(csv),
              "invalid UTF-8 is refused, and only that");
    return 0;
}
