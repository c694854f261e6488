#include "ServerRoles.h"

#include "Database.h"
#include "Schema.h"

#include <QRandomGenerator>
#include <QRegularExpression>

namespace vastrel {

namespace {

[[noreturn]] void fail(const QString& message) {
    throw UserError(message);
}

// A role or schema name as a statement names it. GRANT and CREATE ROLE take no bound values, so
// only names of letters, digits and _ are let in, and quoted to keep their case.
QString identifier(const QString& name, const char* what) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]{0,62}$"));
    if (!plain.match(name).hasMatch())
        fail(QStringLiteral("The %1 name \"%2\" has other characters than letters, digits and _: "
                            "name another one")
                 .arg(QLatin1String(what), name));
    return '"' + name + '"';
}

struct Privileges {
    const char* table;
    const char* sequence; // on the table's numbering, where it has one
    const char* withheld; // what the clerk must not hold, through any grant
};

const Privileges& privileges(schema::ClerkAccess access) {
    static const Privileges change{"SELECT, INSERT, UPDATE, DELETE", "USAGE, SELECT, UPDATE",
                                   "TRUNCATE, REFERENCES, TRIGGER"};
    static const Privileges add{"SELECT, INSERT", "USAGE, SELECT",
                                "UPDATE, DELETE, TRUNCATE, REFERENCES, TRIGGER"};
    static const Privileges read{"SELECT", nullptr,
                                 "INSERT, UPDATE, DELETE, TRUNCATE, REFERENCES, TRIGGER"};
    switch (access) {
    case schema::ClerkAccess::Change:
        return change;
    case schema::ClerkAccess::Add:
        return add;
    case schema::ClerkAccess::Read:
        break;
    }
    return read;
}

bool isTrue(const Database& db, const QString& sql, const Params& params = {}) {
    return db.scalar(sql, params).toBool();
}

// The clerk may use the tables' schema but make nothing in it. Before PostgreSQL 15 everyone may
// create in the schema public, which only its owner can take back.
void keepOutOfSchema(Database& owner, const QString& clerk, const QString& role) {
    const QString name = owner.scalar(QStringLiteral("SELECT current_schema()")).toString();
    const QString schema = identifier(name, "schema");
    if (isTrue(owner, QStringLiteral("SELECT pg_has_role(nspowner, 'USAGE') FROM pg_namespace "
                                     "WHERE nspname = current_schema()"))) {
        owner.exec("REVOKE CREATE ON SCHEMA " + schema + " FROM PUBLIC");
        owner.exec("GRANT USAGE ON SCHEMA " + schema + " TO " + role);
    }
    const RowSet may = owner.query(QStringLiteral("SELECT has_schema_privilege(?, ?, 'CREATE'), "
                                                  "has_schema_privilege(?, ?, 'USAGE')"),
                                   {clerk, name, clerk, name});
    if (may.value(0).toBool() || !may.value(1).toBool())
        fail(QStringLiteral("The role %1 %2 the schema %3, whose owner alone can change that: have "
                            "the server's administrator run REVOKE CREATE ON SCHEMA %3 FROM "
                            "PUBLIC; GRANT USAGE ON SCHEMA %3 TO %1 (or make the tables' owner "
                            "the schema's: ALTER SCHEMA %3 OWNER TO ...)")
                 .arg(clerk, may.value(0).toBool() ? "may create tables in" : "may not use", name));
}

void grantClerk(Database& owner, const QString& clerk) {
    const QString role = identifier(clerk, "role");
    for (const QString& table : schema::tableNames()) {
        const Privileges& granted = privileges(schema::clerkAccess(table));
        owner.exec("REVOKE ALL ON " + table + " FROM " + role);
        owner.exec("GRANT " + QLatin1String(granted.table) + " ON " + table + " TO " + role);
        const QString numbered = schema::numberedColumn(table);
        if (!numbered.isEmpty() && granted.sequence) {
            // The catalog's name of it, quoted as needed, never a text from outside.
            const QString sequence =
                owner
                    .scalar(QStringLiteral("SELECT pg_get_serial_sequence(?, ?)"),
                            {table.toLower(), numbered.toLower()})
                    .toString();
            owner.exec("GRANT " + QLatin1String(granted.sequence) + " ON SEQUENCE " + sequence +
                       " TO " + role);
        }
        if (isTrue(owner, QStringLiteral("SELECT has_table_privilege(?, ?, ?)"),
                   {clerk, table.toLower(), QLatin1String(granted.withheld)}))
            fail(QStringLiteral("The role %1 may still do one of %2 on %3, through a grant to "
                                "PUBLIC or to a role it belongs to: have the server's "
                                "administrator revoke it")
                     .arg(clerk, QLatin1String(granted.withheld), table));
    }
    keepOutOfSchema(owner, clerk, role);
}

// 192 random bits, in letters and digits that no URI or INI reader takes apart.
std::string randomPassword() {
    quint32 words[6];
    QRandomGenerator::system()->fillRange(words);
    return QByteArray(reinterpret_cast<const char*>(words), sizeof words)
        .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals)
        .toStdString();
}

void createClerk(Database& owner, const QString& role, ClerkRole& clerk) {
    if (!isTrue(owner, QStringLiteral("SELECT rolsuper OR rolcreaterole FROM pg_roles "
                                      "WHERE rolname = current_user")))
        fail(QStringLiteral("The role %1 does not exist and %2 may not create roles: have the "
                            "server's administrator create it (CREATE ROLE %1 LOGIN PASSWORD "
                            "'...') and give its password with --clerk-password-stdin, or "
                            "give %2 CREATEROLE")
                 .arg(clerk.name, owner.scalar(QStringLiteral("SELECT current_user")).toString()));
    if (clerk.password.empty())
        clerk.password = randomPassword();
    // The server gets the password's verifier, made here, never the password itself.
    owner.exec("CREATE ROLE " + role + " LOGIN PASSWORD '" +
               QString::fromLatin1(owner.passwordVerifier(clerk.password, clerk.name)) + "'");
}

} // namespace

QString setUpClerk(Database& owner, const QString& uri, ClerkRole& clerk) {
    const QString self = owner.scalar(QStringLiteral("SELECT current_user")).toString();
    if (clerk.name.isEmpty())
        clerk.name = self + "_clerk";
    const QString role = identifier(clerk.name, "role");
    if (clerk.name == self)
        fail("The clerk must be another role than the tables' owner " + self);
    const QString clerkUri = withUser(uri, clerk.name);
    const RowSet existing = owner.query(
        QStringLiteral("SELECT rolsuper OR rolcreaterole OR pg_has_role(rolname, current_user, "
                       "'MEMBER') FROM pg_roles WHERE rolname = ?"),
        {clerk.name});
    if (existing.eof()) {
        createClerk(owner, role, clerk);
    } else if (existing.value(0).toBool()) {
        fail(QStringLiteral("The role %1 is a superuser, may create roles or belongs to %2: it "
                            "cannot be held to a clerk's rights; name another with --clerk")
                 .arg(clerk.name, self));
    } else if (clerk.password.empty()) {
        fail(QStringLiteral("The role %1 exists already: give its password with "
                            "--clerk-password-stdin, or name a new clerk with --clerk ROLE")
                 .arg(clerk.name));
    } else if (const QString failure = loginFailure(clerkUri, clerk.password); !failure.isEmpty()) {
        fail("The clerk " + clerk.name + " cannot log in with the password given: " + failure);
    }
    grantClerk(owner, clerk.name);
    return clerkUri;
}

void grantClerkOf(Database& owner, const QString& uri) {
    const QString clerk = uriUser(uri);
    if (!clerk.isEmpty() && clerk != owner.scalar(QStringLiteral("SELECT current_user")).toString())
        grantClerk(owner, clerk);
}

bool ownsTables(const Database& db) {
    return !db.onServer() ||
           isTrue(db,
                  QStringLiteral("SELECT pg_has_role(tableowner, 'USAGE') FROM pg_tables "
                                 "WHERE schemaname = current_schema() AND tablename = ?"),
                  {QStringLiteral("tbluser")});
}

QString loginFailure(const QString& uri, const std::string& password) {
    try {
        Database::connectServer(uri, password);
    } catch (const DbError& e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}

} // namespace vastrel
