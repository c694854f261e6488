#include "InputHelpers.h"

#include <QDate>
#include <QStringList>

#include <algorithm>

namespace vastrel {

namespace {

bool allDigits(const QString& text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= '0' && c <= '9'; });
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
    // Only a colon separates the hour from the minutes: "12.30" is no time here.
    if (allDigits(t) || !IsValidTime(t) || t[2] != u':')
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
