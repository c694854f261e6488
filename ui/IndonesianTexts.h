#pragma once

class QCoreApplication;

namespace vastrel {

// Lets Qt's own dialogs (message box buttons, file and print dialogs) and the report
// preview's toolbar speak Indonesian, as the program's screens do.
void installIndonesianTexts(QCoreApplication& app);

} // namespace vastrel
