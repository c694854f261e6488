#include "LocodeRelease.h"

#include "CsvImport.h"
#include "Database.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace vastrel {

namespace {

enum Column { Change, Country, Location, Name, NameWoDiacritics, Subdivision, Status, Function };
constexpr int kReleaseColumns = 12;

[[noreturn]] void failAt(const QString& file, int line, const QString& what) {
    throw DbError(QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(what).toStdString());
}

// Redistributions may head the file with the column names, and add columns after them.
bool isHeading(const CsvRow& row) {
    return row.values.mid(0, 3).join(',').compare(QLatin1String("Change,Country,Location"),
                                                  Qt::CaseInsensitive) == 0;
}

// The name as the port table holds names: plain letters, upper case.
QString portName(const QString& name) {
    QString plain;
    for (const QChar c : name.normalized(QString::NormalizationForm_D)) {
        if (c.category() != QChar::Mark_NonSpacing)
            plain += c;
    }
    return plain.simplified().toUpper();
}

bool takes(const QString& function, LocodePlaces places) {
    switch (places) {
    case LocodePlaces::Ports:
        return function.startsWith('1');
    case LocodePlaces::Airports:
        return function.mid(3, 1) == QLatin1String("4");
    case LocodePlaces::All:
        break;
    }
    return true;
}

// Adds the entry a row of the release gives, if any.
void readRow(const CsvRow& row, int width, LocodePlaces places, const QString& file,
             ReferenceContent* content) {
    const QStringList& v = row.values;
    if (v.size() != width)
        failAt(file, row.line,
               QStringLiteral("expected %1 values, found %2").arg(width).arg(v.size()));
    if (v[Location].isEmpty())
        return; // a country heading
    static const QRegularExpression country(QStringLiteral("^[A-Z]{2}$"));
    static const QRegularExpression location(QStringLiteral("^[A-Z2-9]{3}$"));
    if (!country.match(v[Country]).hasMatch() || !location.match(v[Location]).hasMatch())
        failAt(
            file, row.line,
            QStringLiteral("\"%1\" is not a UN/LOCODE").arg((v[Country] + v[Location]).left(20)));
    const QString change = v[Change].trimmed();
    if (change == QLatin1String("="))
        return; // a reference entry: another place's name
    const QString name = portName(v[NameWoDiacritics].isEmpty() ? v[Name] : v[NameWoDiacritics]);
    const ReferenceTable& table = *content->table;
    if (name.isEmpty() || name.size() > table.nameLength)
        failAt(
            file, row.line,
            QStringLiteral("the name is empty or longer than %1 characters").arg(table.nameLength));
    const bool withdrawn = change == QLatin1String("X");
    if (withdrawn || takes(v[Function], places))
        content->entries.push_back({v[Country] + v[Location], name, withdrawn});
}

void readFile(const QString& file, LocodePlaces places, ReferenceContent* content) {
    int width = kReleaseColumns;
    bool any = false;
    forEachCsvRow(file, CsvEncoding::Utf8OrLatin1, [&](const CsvRow& row) {
        if (!any && isHeading(row)) {
            width = static_cast<int>(row.values.size());
            if (width < kReleaseColumns)
                failAt(file, row.line, QStringLiteral("the heading names too few columns"));
        } else {
            readRow(row, width, places, file, content);
        }
        any = true;
    });
    if (!any)
        failAt(file, 1, QStringLiteral("the file is empty"));
}

} // namespace

ReferenceContent readLocodeRelease(const QStringList& files, LocodePlaces places) {
    ReferenceContent content{&referenceTable(QStringLiteral("pelabuhan")), {}, {}};
    QStringList names;
    for (const QString& file : files) {
        readFile(file, places, &content);
        names << QFileInfo(file).fileName();
    }
    content.source = "UN/LOCODE " + names.join(", ");
    return content;
}

} // namespace vastrel
