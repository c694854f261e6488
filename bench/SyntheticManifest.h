#pragma once

#include <QString>

namespace vastrel {

class Database;

// The key of the synthetic manifest.
inline const QString kBenchKey = QStringLiteral("20240315000001");

// A database with every table, a company profile, the references the manifest uses, and a
// ready outward "09E" sea manifest of `posCount` POS, each with three goods lines, two
// containers and one customs document. POS are numbered from "0000", so that 10,000 POS still
// have four-digit numbers.
void createSyntheticManifest(Database& db, int posCount);

} // namespace vastrel
