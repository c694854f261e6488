#pragma once

#include <QString>

#include <string>

// The two roles of an installation on a PostgreSQL server. The owner, whose password the
// administrator keeps, holds the tables: it makes and upgrades them and adds the users. The
// clerk, whose password every workstation's MANIFEST.INI holds, may change the manifests, the
// code lists and the profile, may only add to the history and the filings and only read the
// users and the tables' version, and may not change the tables: the server's grants say so,
// whatever a workstation's program or SQL client sends.

namespace vastrel {

class Database;

// Who logs in to an installation's server in place of the role MANIFEST.INI names.
struct ServerLogin {
    QString role;
    std::string password;
};

struct ClerkRole {
    QString name;         // empty: the owner's name followed by "_clerk"
    std::string password; // empty: a new random one, for a role made now
};

// Inside the owner's transaction on a new installation's tables: makes `clerk` the clerk. A role
// that does not exist is made (which needs CREATEROLE), with the password given or a new random
// one, left in `clerk`; an existing one must log in with the password given. Grants the clerk its
// privileges and checks that it holds no others. Returns `uri` naming the clerk. Throws UserError
// saying what the server's administrator can do.
QString setUpClerk(Database& owner, const QString& uri, ClerkRole& clerk);

// After the owner upgraded the tables: the clerk that `uri` (MANIFEST.INI's) names gets its
// privileges on every table, the new ones too. Nothing where it names the owner, as an
// installation made before the two roles does.
void grantClerkOf(Database& owner, const QString& uri);

// Whether the connection may change the tables and their users: always on the file; on a server
// for the tables' owner (or a role of it), not for a clerk.
bool ownsTables(const Database& db);

// Whether the role whose password MANIFEST.INI holds can log in with it; the server's reason
// why not, else empty.
QString loginFailure(const QString& uri, const std::string& password);

} // namespace vastrel
