#pragma once

#include <QSet>
#include <QString>

namespace vastrel {

class Database;

// What a name lookup returns for a code that is not in its table.
inline const QString kNotFound = QStringLiteral("NULLKOSONG");

// Trimmed name of a code, "" when the name is null, kNotFound when the code is unknown.
QString GetNmKpbc(const Database& db, const QString& code);
QString GetNmPort(const Database& db, const QString& code);
QString GetNmKemasan(const Database& db, const QString& code);
// The package unit's description, or "" when the code is unknown.
QString GetNmSatuan(const Database& db, const QString& code);
// The port name, or "" when the code is unknown.
QString GetPortName(const Database& db, const QString& code);
// The group's description for the direction ("Inward" or anything else for
// outward), or "" when the group is not offered for it.
QString GetNmGrup(const Database& db, const QString& kdgrup, const QString& direction);

// Adds a party the reference list does not have yet (same name and kind);
// an existing party keeps its stored address. `kode` "1" shipper, "2"
// consignee, "3" notify party.
void AddParties(Database& db, const QString& nama, const QString& alamat, const QString& kode);

// AddParties for the many POS of one import: each name and kind is looked for once.
class PartiesAdded {
public:
    void add(Database& db, const QString& nama, const QString& alamat, const QString& kode);

private:
    QSet<QString> m_seen; // kind and upper-cased name
};

// Adds a vessel (or airline) name the vessel list does not have yet.
void AddKapal(Database& db, const QString& name);

} // namespace vastrel
