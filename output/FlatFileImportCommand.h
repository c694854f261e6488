#pragma once

#include <QString>

class QWidget;

namespace vastrel {

struct AppState;

// "Import Flat File...": asks for a partner's flat file, reads and checks it, shows what
// would be imported (or why it may not be) and, once the clerk agrees, imports it as a new
// manifest, all or nothing. Returns the new manifest's key, empty when nothing was imported.
QString ImportFlatFile(AppState& state, QWidget* parent);

} // namespace vastrel
