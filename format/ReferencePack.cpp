#include "ReferencePack.h"

#include "CsvImport.h"
#include "Database.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace vastrel {

namespace {

const QString kPackageKinds = QStringLiteral("package-kinds-rec21.csv");
const QString kHsCodes = QStringLiteral("hs-2022-6digit.csv");

// Where the values of a row are, by the file's heading line.
struct Layout {
    int width = 2;
    int code = 0;
    int name = 1;
    int level = -1; // the column that must say "6", for the HS list
};

[[noreturn]] void failAt(const QString& file, int line, const QString& what) {
    throw DbError(QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(what).toStdString());
}

// The layout the heading line names; `heading` false when the first row is a code already.
Layout layoutOf(const CsvRow& first, bool* heading) {
    const QString names = first.values.join(',').toLower().remove(' ');
    *heading = true;
    if (names == QLatin1String("section,hscode,description,parent,level"))
        return {5, 1, 2, 4};
    *heading = names == QLatin1String("code,name");
    return {};
}

ReferenceEntry entryOf(const ReferenceTable& table, const CsvRow& row, const Layout& layout,
                       const QString& file) {
    if (row.values.size() != layout.width)
        failAt(file, row.line,
               QStringLiteral("expected %1 values, found %2")
                   .arg(layout.width)
                   .arg(row.values.size()));
    const QString code = row.values[layout.code].trimmed();
    const QString name = row.values[layout.name].trimmed();
    if (!table.codeShape.match(code).hasMatch())
        failAt(file, row.line,
               QStringLiteral("\"%1\" is not a code of %2").arg(code.left(20), table.kind));
    if (name.size() > table.nameLength)
        failAt(file, row.line,
               QStringLiteral("the name is longer than %1 characters").arg(table.nameLength));
    return {code.toUpper(), name};
}

} // namespace

ReferenceContent readReferenceFile(const ReferenceTable& table, const QString& path) {
    const std::vector<CsvRow> rows = readCsvRows(path);
    if (rows.empty())
        failAt(path, 1, QStringLiteral("the file holds no codes"));
    bool heading = false;
    const Layout layout = layoutOf(rows.front(), &heading);
    ReferenceContent content{&table, {}, QFileInfo(path).fileName()};
    for (auto row = rows.begin() + (heading ? 1 : 0); row != rows.end(); ++row) {
        if (layout.level >= 0 && row->values.value(layout.level) != QLatin1String("6"))
            continue;
        content.entries.push_back(entryOf(table, *row, layout, path));
    }
    if (content.entries.empty())
        failAt(path, rows.back().line, QStringLiteral("the file holds no codes"));
    return content;
}

QString shippedPackFolder() {
    QStringList candidates;
    if (QCoreApplication::instance())
        candidates << QDir(QCoreApplication::applicationDirPath())
                          .filePath(QStringLiteral("../share/vastrel/reference"));
    candidates << QStringLiteral(VASTREL_BUILD_REFERENCE_DIR);
    for (const QString& candidate : candidates) {
        if (QFileInfo::exists(QDir(candidate).filePath(kPackageKinds)))
            return QDir::cleanPath(candidate);
    }
    return {};
}

std::vector<ReferenceContent> readShippedPacks() {
    const QString folder = shippedPackFolder();
    if (folder.isEmpty())
        throw DbError("The reference packs are not installed (share/vastrel/reference)");
    const QDir dir(folder);
    return {
        readReferenceFile(referenceTable(QStringLiteral("kemasan")), dir.filePath(kPackageKinds)),
        readReferenceFile(referenceTable(QStringLiteral("hs")), dir.filePath(kHsCodes))};
}

} // namespace vastrel
