#pragma once

#include <QString>

namespace vastrel {

class Database;

// What the header screen says where no group is offered: that the list is empty, and how to
// fill it.
QString emptyGroupMessage();

// The reference lists still empty, each with how to fill it; empty when none is.
QString missingReferenceMessage(const Database& db);

} // namespace vastrel
