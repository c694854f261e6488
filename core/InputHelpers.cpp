#include "InputHelpers.h"

#include <QDate>
#include <QHash>
#include <QStringList>

#include <algorithm>

namespace vastrel {

namespace {

bool allDigits(const QString& text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= '0' && c <= '9'; });
}

bool isNumber(const QString& text) {
    bool ok = false;
    QString(text).replace(',', '.').toDouble(&ok);
    return ok;
}

QString fullYear(const QString& year) {
    switch (year.size()) {
    case 2:
        return (year.toInt() <= 50 ? "20" : "19") + year;
    case 3:
        return "0" + year;
    default:
        return year;
    }
}

} // namespace

QString DateKey(const QString& date) {
    return date.mid(6, 4) + date.mid(3, 2) + date.mid(0, 2);
}

FilteredText FilterDate(const QString& text, int cursor) {
    QString kept;
    for (QChar c : text) {
        if ((c >= '0' && c <= '9') || c == '-')
            kept += c;
    }
    kept.truncate(10);
    return {kept, std::min(cursor, static_cast<int>(kept.size()))};
}

DateCheck CheckDate(const QString& text) {
    DateCheck check;
    check.text = QString(text).remove('-');
    const QString t = check.text.trimmed();
    if (t.isEmpty())
        return check;
    check.accepted = false;
    if (t.size() < 6) {
        check.message = DateCheck::Message::Format;
        return check;
    }
    const QString dd = t.left(2);
    const QString mm = t.mid(2, 2);
    if (mm.toInt() >= 13) {
        check.message = DateCheck::Message::FormatInformation;
        return check;
    }
    const QString yyyy = fullYear(t.mid(4).trimmed());
    const QDate date(yyyy.toInt(), mm.toInt(), dd.toInt());
    if (!allDigits(dd) || !allDigits(mm) || !allDigits(yyyy) || yyyy.size() != 4 ||
        !date.isValid()) {
        check.message = DateCheck::Message::InvalidDate;
        return check;
    }
    check.accepted = true;
    check.text = dd + "-" + mm + "-" + yyyy;
    return check;
}

bool IsValidTime(const QString& text) {
    if (text.size() != 5 || !allDigits(text.left(2)) || !allDigits(text.mid(3, 2)))
        return false;
    return text.left(2).toInt() <= 23 && text.mid(3, 2).toInt() <= 59;
}

QString NormaliseTime(const QString& text) {
    const QString t = text.size() == 4 ? text.left(2) + ":" + text.mid(2, 2) : text;
    // The separator is not examined, but a text that reads as a number ("12.30", "12,30")
    // is a number, not a time.
    if (isNumber(t) || !IsValidTime(t))
        return {};
    return t.left(2) + ":" + t.mid(3, 2);
}

QList<int> InvalidCharPositions(const QString& text) {
    QList<int> positions;
    for (int i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if ((c < 32 && c != 10 && c != 13) || c >= 127)
            positions << i + 1;
    }
    return positions;
}

QString InvalidCharMessage(const QString& text, const QList<int>& positions) {
    QStringList entries;
    for (int position : positions)
        entries << QStringLiteral("Posisi %1 [%2]").arg(position).arg(text[position - 1]);
    return entries.join(", ");
}

QString InvalidCharTitle(const QString& fieldLabel) {
    return "Invalid Character - " + fieldLabel;
}

namespace {

// The plain letters of one accented Latin letter; empty for any other character.
QString plainLetters(QChar c) {
    static const QHash<char16_t, QString> unaccented = {
        {u'\u00df', "SS"}, {u'\u00c6', "AE"}, {u'\u00e6', "ae"}, {u'\u0152', "OE"},
        {u'\u0153', "oe"}, {u'\u00d8', "O"},  {u'\u00f8', "o"},  {u'\u00d0', "D"},
        {u'\u00f0', "d"},  {u'\u0110', "D"},  {u'\u0111', "d"},  {u'\u00de', "TH"},
        {u'\u00fe', "th"}, {u'\u0141', "L"},  {u'\u0142', "l"},  {u'\u0131', "i"}};
    if (const auto found = unaccented.find(c.unicode()); found != unaccented.end())
        return *found;
    if (!c.isLetter())
        return {};
    // A letter with its accents as separate marks: the base letter, then the marks.
    QString plain;
    for (const QChar part : QString(c).normalized(QString::NormalizationForm_D)) {
        if (part.unicode() < 128 && part.isLetter())
            plain += part;
        else if (part.category() != QChar::Mark_NonSpacing)
            return {};
    }
    return plain;
}

} // namespace

QString WithPlainLetters(const QString& text) {
    const QList<int> positions = InvalidCharPositions(text);
    if (positions.isEmpty())
        return {};
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!positions.contains(static_cast<int>(i) + 1)) {
            plain += text[i];
            continue;
        }
        const QString letters = plainLetters(text[i]);
        if (letters.isEmpty())
            return {};
        plain += letters;
    }
    return plain;
}

QString PlainLettersQuestion(const QString& text, const QList<int>& positions,
                             const QString& plain) {
    return InvalidCharMessage(text, positions) +
           "\r\n\r\nGanti huruf beraksen dengan huruf biasa?\r\n" + plain;
}

QString CaptionText(const QString& strJenis, const QString& strVersion) {
    return "Vastrel " + QString(strJenis == "0" ? "Laut " : "Udara ") + strVersion;
}

QString DisplayToStoredDate(const QString& display) {
    const QDate date = QDate::fromString(display, "dd-MM-yyyy");
    return date.isValid() ? date.toString("yyyy-MM-dd") : QString();
}

QString StoredToDisplayDate(const QString& stored) {
    const QDate date = QDate::fromString(stored.left(10), "yyyy-MM-dd");
    return date.isValid() ? date.toString("dd-MM-yyyy") : QString();
}

} // namespace vastrel
