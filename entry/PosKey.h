#pragma once

#include "InputHelpers.h"

#include <QString>

namespace vastrel {

// The POS a goods, container or document screen works on, as the entry screen
// shows it: the document date, the registration number and the POS number.
struct PosKey {
    QString tglDok;   // "dd-mm-yyyy"
    QString noDaftar; // six digits
    QString nopos;    // four digits

    QString nodaftar() const { return DateKey(tglDok) + noDaftar.trimmed(); }
};

} // namespace vastrel
