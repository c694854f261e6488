#pragma once

#include "FlatFileReader.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace vastrel {

class Database;

// How one POS differs between a filed flat file and the manifest now.
struct PosChange {
    enum class Kind { Added, Removed, Changed };
    QString nopos;
    Kind kind = Kind::Changed;
    QStringList fields; // "bruto: 10 -> 12", for a changed POS
};

// The POS added, removed and changed, field by field, from `filed` to `now`, by POS number.
QList<PosChange> diffManifests(const FlatFileManifest& filed, const FlatFileManifest& now);

// What changed in a manifest since its filing `since`, or since its last one when `since` is
// 0: what goes into an amendment. Throws UserError when the manifest has no such filing.
QList<PosChange> changesSinceFiling(const Database& db, const QString& nodaftar,
                                    const QString& jenis, qint64 since = 0);

// The words a change is told in: what follows "POS NNNN" for each kind, and what stands
// between the fields of a changed POS.
struct PosChangeWords {
    QString added;
    QString removed;
    QString changed; // leads the fields
    QString betweenFields;
};
inline const PosChangeWords kPosChangeInEnglish = {"added", "removed", "changed: ", "; "};

// "POS 0002 added", "POS 0001 changed: bruto: 10 -> 12; ..." in English, or in `words`.
QString describe(const PosChange& change, const PosChangeWords& words = kPosChangeInEnglish);

} // namespace vastrel
