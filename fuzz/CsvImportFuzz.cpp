// The CSV import: any file is loaded whole or refused with a short message, never a crash.
// The first byte of the input picks the table (low seven bits) and the encoding (high bit).

#include "CsvImport.h"
#include "Database.h"
#include "FuzzCheck.h"
#include "Schema.h"

#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <cstdint>

using namespace vastrel;
using vastrel::fuzz::check;

namespace {

// Longer messages than this quote too much of the file.
constexpr qsizetype kLongestMessage = 300;

// One database per process, its tables empty: every input runs in a transaction that is
// rolled back, which keeps the slow creation of an encrypted database out of the loop.
struct Scratch {
    QTemporaryDir dir;
    QString csvPath = dir.filePath(QStringLiteral("in.csv"));
    Database db = Database::create(dir.filePath(QStringLiteral("fuzz.db")), "fuzz");
    QStringList tables = schema::tableNames();

    Scratch() {
        db.exec(QStringLiteral("PRAGMA journal_mode = MEMORY"));
        schema::create(db);
    }
};

Scratch& scratch() {
    static Scratch one;
    return one;
}

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
    Scratch& s = scratch();
    const QString table = s.tables[(data[0] & 0x7F) % s.tables.size()];
    const CsvEncoding encoding = data[0] & 0x80 ? CsvEncoding::Windows1252 : CsvEncoding::Utf8;
    const QByteArray csv(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1));
    QFile file(s.csvPath);
    check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(csv) == csv.size(),
          "the fuzz input is written to a file");
    file.close();

    Transaction rolledBack(s.db);
    const auto rowsInTable = [&] { return s.db.scalar("SELECT count(*) FROM " + table).toInt(); };
    QString refusal;
    try {
        const int loaded = importCsv(s.db, table, s.csvPath, encoding);
        check(loaded == rowsInTable(), "every row counted as loaded is in the table");
    } catch (const DbError& e) {
        refusal = QString::fromUtf8(e.what());
        check(refusal.size() < s.csvPath.size() + kLongestMessage, "error messages are short");
        check(rowsInTable() == 0, "a refused file loads nothing");
    }
    if (encoding == CsvEncoding::Utf8)
        check(refusal.contains(QStringLiteral("not valid UTF-8")) == !isValidUtf8(csv),
              "invalid UTF-8 is refused, and only that");
    return 0;
}
