#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <vector>

namespace vastrel {

class Database;

// One of the code lists the entry screens look codes up in: where its rows live, the shape
// of a code, and the manifest columns that hold its codes.
struct ReferenceTable {
    QString kind;       // the name the admin tool knows it by: pelabuhan, kemasan, hs, kpbc, grup
    QString table;      // its table
    QString codeColumn; // the key
    QString nameColumn; // the name the lookups show
    QRegularExpression codeShape;
    int nameLength = 0; // the longest name the screens and the flat file take
    // "table.column" of every manifest column that refers to a code of this list.
    QStringList usedIn;
};

// Every reference table, in the order the status lists them.
const std::vector<ReferenceTable>& referenceTables();
// The table of `kind`; throws DbError naming the kinds for an unknown one.
const ReferenceTable& referenceTable(const QString& kind);

// What a reference table holds, and where its rows came from.
struct ReferenceState {
    QString kind;
    int rows = 0;
    QString source;   // empty when nothing was loaded by the program
    QString loadedAt; // UTC, "YYYY-MM-DD HH:MM:SS"
};
std::vector<ReferenceState> referenceStatus(const Database& db);

// Records `source` as the origin of the rows of `table` now in the database.
void recordReferenceSource(Database& db, const ReferenceTable& table, const QString& source);

} // namespace vastrel
