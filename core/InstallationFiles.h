#pragma once

#include <QString>

namespace vastrel {

// Throws UserError when `target`, a file the user named for an output, is a file of an
// installation: a MANIFEST.INI (or one being replaced), the database the MANIFEST.INI beside
// it names, or that database's journal. A mistyped name must never write over them.
void refuseInstallationFile(const QString& target);

} // namespace vastrel
