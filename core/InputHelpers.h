#pragma once

#include <QList>
#include <QString>

namespace vastrel {

// "dd-mm-yyyy" to "yyyymmdd", the date part of a registration key.
QString DateKey(const QString& date);

// A typed date box keeps only digits and "-", at most 10 characters.
struct FilteredText {
    QString text;
    int cursor;
};
FilteredText FilterDate(const QString& text, int cursor);

// The outcome of leaving a date box (see CheckDate).
struct DateCheck {
    enum class Message { None, Format, FormatInformation, InvalidDate };
    bool accepted = true;
    QString text; // what the box shows afterwards
    Message message = Message::None;
};
inline const QString kDateFormatMessage = QStringLiteral("Format Tanggal dd-mm-yyyy");
inline const QString kInvalidDateMessage = QStringLiteral(" Invalid date");

// Normalises a typed date to dd-mm-yyyy: "300507" gives "30-05-2007"; two-digit
// years 00-50 are 2000-2050 and 51-99 are 1951-1999. An empty box is accepted.
DateCheck CheckDate(const QString& text);

// "HH:mm" with hour 0-23 and minute 0-59.
bool IsValidTime(const QString& text);
// The arrival time as the header screen takes it: "0830" becomes "08:30".
// Empty when the text is not a valid time in HH:mm ("12.30" is not).
QString NormaliseTime(const QString& text);

// 1-based positions of characters a text field refuses: control characters
// other than CR and LF, DEL, and everything beyond ASCII.
QList<int> InvalidCharPositions(const QString& text);
// The message listing them: "Posisi 4 [\t], Posisi 9 [é]".
QString InvalidCharMessage(const QString& text, const QList<int>& positions);
QString InvalidCharTitle(const QString& fieldLabel);
// `text` with its accented Latin letters written plain ("SOCIÉTÉ" -> "SOCIETE", "ß" -> "SS",
// "Æ" -> "AE"). Empty when there is nothing to replace or when any refused character is
// something else (a tab, a Chinese character): such a text stays refused as it is.
QString WithPlainLetters(const QString& text);
// The question offering that replacement, below the list of the refused characters.
QString PlainLettersQuestion(const QString& text, const QList<int>& positions,
                             const QString& plain);

// The main window's caption: "Vastrel Laut 2.1" or "Vastrel Udara 2.1".
QString CaptionText(const QString& strJenis, const QString& strVersion);

// Dates are shown "dd-mm-yyyy" and stored "YYYY-MM-DD"; an empty or invalid
// text converts to an empty text.
QString DisplayToStoredDate(const QString& display);
QString StoredToDisplayDate(const QString& stored);

} // namespace vastrel
