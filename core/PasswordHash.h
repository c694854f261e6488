#pragma once

#include <QString>

namespace vastrel {

// Login passwords are kept as salted PBKDF2-SHA256 hashes of the upper-cased
// password, so the comparison ignores letter case as the login always has.
// Stored form: "pbkdf2-sha256$<iterations>$<salt hex>$<hash hex>".
QString hashPassword(const QString& password);
bool verifyPassword(const QString& password, const QString& stored);

} // namespace vastrel
