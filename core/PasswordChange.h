#pragma once

#include <QString>

#include <functional>
#include <string>

namespace vastrel {

struct AppState;
struct ClerkRole;

// The MANIFEST.INI with the new password, written beside the old one while the
// database password changes.
inline const QString kPendingIniFileName = QStringLiteral("MANIFEST.INI.pending");

// The moments of a password change after which a crash must still leave an
// installation that opens.
enum class PasswordStep { PendingIniWritten, DatabaseRekeyed };

// Changes the password of the connected installation in `state` in three steps, each
// of which survives a kill or a power loss: the new MANIFEST.INI is written completely
// beside the old one, the database is re-keyed in one transaction, and the new INI is
// renamed over the old one. A crash in between is mended by recoverPasswordChange().
// `afterStep` is called after each step (a seam for tests). Throws DbError or
// FileWriteError; the installation then opens with its old password.
void changeDatabasePassword(AppState& state, const std::string& newPassword,
                            const std::function<void(PasswordStep)>& afterStep = {});

// Stores in the MANIFEST.INI of the server installation in `folder` the password the
// server's administrator gave its role, once the server accepts it; the old INI stays
// until then. Throws DbError or FileWriteError, the INI then unchanged.
void storeServerPassword(const QString& folder, const std::string& newPassword);

// For a server installation made before its workstations logged in as a clerk, whose
// MANIFEST.INI in `folder` holds the tables' owner: makes `clerk` the clerk as init does and
// stores in MANIFEST.INI the clerk's login once the clerk logs in with it; the old INI stays
// until then. Returns the owner's name, whose password every earlier MANIFEST.INI holds.
// Throws UserError, DbError or FileWriteError, the INI then unchanged.
QString handOverToClerk(const QString& folder, ClerkRole& clerk);

enum class PasswordRecovery {
    None,       // no change was interrupted
    Finished,   // the database was already under the new password: the new INI now stands
    RolledBack, // the database kept its old password: the pending INI was dropped
};

// Mends a password change that a crash interrupted, before the installation in
// `folder` is opened.
PasswordRecovery recoverPasswordChange(const QString& folder);

} // namespace vastrel
