#pragma once

#include <QString>

class QWidget;

namespace vastrel {

struct AppState;

// "Import Flat File..." and "Import Spreadsheet...": ask for a partner's flat file or a
// filled import workbook, read and check it, show what would be imported (or why it may
// not be) and, once the clerk agrees, import it as a new manifest, all or nothing. Return
// the new manifest's key, empty when nothing was imported.
QString ImportFlatFile(AppState& state, QWidget* parent);
QString ImportSpreadsheet(AppState& state, QWidget* parent);

} // namespace vastrel
