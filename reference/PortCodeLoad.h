#pragma once

#include "AppState.h"

class QWidget;

namespace vastrel {

// Referensi → "Muat Kode Pelabuhan...": asks for the files of a UN/LOCODE release and
// brings the port list up to it (ports for a sea installation, airports for air), with
// progress and a summary of what changed.
void LoadPortCodes(AppState& state, QWidget* parent);

} // namespace vastrel
