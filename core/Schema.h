#pragma once

#include <QString>
#include <QStringList>

namespace vastrel {

class Database;

// Storage conventions of the manifest database, used by every statement:
//  - dates are text "YYYY-MM-DD", times text "HH:MM:SS" (seconds always 00);
//  - booleans are integers, -1 true and 0 false (groups' inward/outward flags);
//  - registration keys, POS and line numbers are fixed-width digit texts;
//  - numbers (weights, volumes, counts) use numeric affinity, so typed decimal
//    text is stored as a number;
//  - every text column compares without regard to ASCII case (COLLATE NOCASE),
//    as the program relies on for codes and names.
namespace schema {

// The version of the tables this program makes and reads. Version 1 is that of the
// installations made before versions were recorded.
inline constexpr int kVersion = 5;

// Every table of the tables' `version`, in creation order.
QStringList tableNames(int version = kVersion);
// The columns of one table, in order; empty for an unknown table.
QStringList columnNames(const QString& table);
// The columns a new row must give a value for (declared NOT NULL without a default).
QStringList requiredColumns(const QString& table);
// The column the database numbers by itself (idkapal, idparties); empty when none.
QString numberedColumn(const QString& table);

// What the clerk of an installation on a server may do to a table's rows (ServerRoles.h).
enum class ClerkAccess { Change, Add, Read };
ClerkAccess clerkAccess(const QString& table);

enum class ColumnKind { Text, Number, Boolean, Date, Time };
// How a column's values are stored (see the conventions above).
ColumnKind columnKind(const QString& column);

// Creates every table and index in an empty database. Never called by the
// application itself, which expects the tables to exist.
void create(Database& db);

// The version of the database's tables.
int version(const Database& db);
// Brings tables of an earlier version to kVersion, in one transaction.
void upgrade(Database& db);

} // namespace schema

// The five tables that hold one manifest, parents first.
inline const QStringList kManifestTables = {"tblheader", "tbldetail", "tblcontainer", "tblhs",
                                            "tblpeb"};

// Deletes a manifest and every row that carries its key, as one unit.
void deleteManifest(Database& db, const QString& nodaftar);
// Deletes one POS with its goods lines, containers and documents, as one unit.
void deletePos(Database& db, const QString& nodaftar, const QString& nopos);
// A manifest whose group becomes "08X" carries no documents and no package units.
void clearDocumentsAndUnits(Database& db, const QString& nodaftar);

} // namespace vastrel
