#pragma once

#include "ReferenceUpdate.h"

#include <QString>

#include <vector>

namespace vastrel {

// The entries of a code list file for `table`: a pack shipped with the program (package
// kinds "code,name"; the HS list "section,hscode,description,parent,level", of which the
// 6-digit rows count) or a plain "code,name" CSV file with or without its heading line.
// A code of the wrong shape, a name longer than the table takes, a row of the wrong
// number of values or an empty file is refused with DbError "FILE:LINE: message".
ReferenceContent readReferenceFile(const ReferenceTable& table, const QString& path);

// The folder of the packs shipped with the program: installed beside it
// (../share/vastrel/reference), or that of the build it runs from. Empty when neither holds
// them.
QString shippedPackFolder();

// Every shipped pack, read; throws DbError when one is missing or unreadable.
std::vector<ReferenceContent> readShippedPacks();

} // namespace vastrel
