// The flat file's text helpers keep the promises their header makes, for any text and number.

#include "FlatFile.h"
#include "FuzzCheck.h"

#include <QStringDecoder>

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

using namespace vastrel;
using vastrel::fuzz::check;

namespace {

bool hasLineBreak(const QString& text) {
    return text.contains(u'\r') || text.contains(u'\n');
}

bool isPrintableAscii(QChar ch) {
    return ch.unicode() >= 32 && ch.unicode() <= 126;
}

bool allPrintableAscii(QStringView text) {
    return std::all_of(text.begin(), text.end(), isPrintableAscii);
}

bool allDigits(QStringView text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

void checkCleanText(const QString& text) {
    const QString clean = CleanText(text);
    check(!hasLineBreak(clean) && clean.size() <= text.size(), "CleanText drops line breaks");
    if (!hasLineBreak(text))
        check(!clean.startsWith(u' ') && !clean.endsWith(u' '), "CleanText trims spaces");
}

void checkRemoveInvalidChar(const QString& text) {
    const QString valid = RemoveInvalidChar(text);
    check(valid.size() == text.size(), "RemoveInvalidChar keeps the length");
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool kept = isPrintableAscii(text[i]) || text[i] == u'\r' || text[i] == u'\n';
        check(isPrintableAscii(valid[i]) || valid[i] == u'\r' || valid[i] == u'\n',
              "RemoveInvalidChar leaves printable characters and line breaks only");
        check(!kept || valid[i] == text[i], "RemoveInvalidChar keeps what is valid");
    }
}

void checkTextRecords(const QString& text) {
    const QStringList records = textRecords(text, QStringLiteral("DES"));
    check(!records.isEmpty() && records.size() <= 99, "textRecords gives 1 to 99 records");
    for (qsizetype i = 0; i < records.size(); ++i) {
        const QStringView record = records[i];
        const QStringView piece = record.mid(10);
        check(record.startsWith(u"DTL02DES") && record.mid(8, 2) == zeroPadded(i + 1, 2),
              "textRecords numbers its records from 01");
        check(allPrintableAscii(piece) && piece.size() <= 200,
              "a text record holds up to 200 printable characters");
        check(i + 1 == records.size() || piece.size() == 200, "only the last piece is short");
    }
    // The pieces hold the text as the named rules clean it.
    QString joined;
    for (const QString& record : records)
        joined += record.mid(10);
    const QString trimmed = CleanText(text);
    check(joined == (trimmed.size() <= 200 ? CleanText(RemoveInvalidChar(text))
                                           : RemoveInvalidChar(trimmed).left(99 * 200)),
          "textRecords cleans the text as CleanText and RemoveInvalidChar do");
}

void checkToAnsi(const QString& text) {
    static QStringDecoder windows1252("windows-1252", QStringDecoder::Flag::Stateless);
    const QByteArray bytes = toAnsi(text);
    check(bytes.size() == text.size(), "toAnsi gives one byte per UTF-16 unit");
    const QString back = windows1252.decode(bytes);
    for (qsizetype i = 0; i < text.size(); ++i)
        check(back[i] == text[i] || back[i] == u'?', "toAnsi keeps a character or writes ?");
}

void checkZeroPadded(long long value, int digits) {
    const QString text = zeroPadded(value, digits);
    check(text.size() == std::max<qsizetype>(digits, QString::number(value).size()) &&
              text.toLongLong() == value,
          "zeroPadded gives the number in at least digits characters");
}

// Rounded at four decimals, times 10000, at most 15 significant digits, zeros in front.
void checkFormatDecimal(const QString& number, int width) {
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return;
    const QString text = FormatDecimal(width, value);
    if (value < 0)
        return; // quantities are never negative
    check(text.size() >= width && allDigits(text), "FormatDecimal gives digits in width");
    QString significant = text;
    while (significant.startsWith(u'0'))
        significant.remove(0, 1);
    while (significant.endsWith(u'0'))
        significant.chop(1);
    check(significant.size() <= 15, "FormatDecimal keeps at most 15 significant digits");
    const double tolerance = 0.00005 * (1 + 1e-9) + value * 1e-14;
    check(std::fabs(text.toDouble() / 10000 - value) <= tolerance,
          "FormatDecimal rounds at four decimals");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const int width = input.ConsumeIntegralInRange(0, 300);
    const long long whole = input.ConsumeIntegralInRange<long long>(0, LLONG_MAX);
    const QString number = QString::fromStdString(input.ConsumeRandomLengthString(40));
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(rest.data()),
                                            static_cast<qsizetype>(rest.size() / 2));

    checkCleanText(text);
    checkRemoveInvalidChar(text);
    checkTextRecords(text);
    checkToAnsi(text);
    checkZeroPadded(whole, width % 25);
    checkFormatDecimal(number, width % 25);
    return 0;
}
