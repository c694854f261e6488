#pragma once

#include "ReferenceUpdate.h"

#include <QString>
#include <QStringList>

namespace vastrel {

// Which places of a UN/LOCODE release a port table takes.
enum class LocodePlaces { Ports, Airports, All };

// The ports table's entries from the files of a UN/LOCODE CSV release (its "CodeListPart"
// files, UTF-8 or Latin-1, with or without a heading line): code = country + location, name
// = the name without diacritics, upper-cased. Country headings and reference entries ("=")
// are skipped; entries marked "X" are withdrawals, whatever their function. A row that is
// not of the release's shape is refused with DbError "FILE:LINE: message".
ReferenceContent readLocodeRelease(const QStringList& files, LocodePlaces places);

} // namespace vastrel
