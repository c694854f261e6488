#pragma once

#include "Database.h"
#include "Schema.h"

#include <QTemporaryDir>

namespace vastrel::fuzz {

// One database with every table for the whole run, in a folder of its own; each input
// works inside a transaction it rolls back, so inputs do not see each other.
struct ScratchDatabase {
    QTemporaryDir dir;
    Database db = Database::create(dir.filePath(QStringLiteral("fuzz.db")), "fuzz");

    ScratchDatabase() {
        db.exec(QStringLiteral("PRAGMA journal_mode = MEMORY"));
        schema::create(db);
    }

    static ScratchDatabase& instance() {
        static ScratchDatabase one;
        return one;
    }
};

} // namespace vastrel::fuzz
