#pragma once

#include "ReferenceUpdate.h"

#include <QProgressDialog>

namespace vastrel {

// A progress window for loading code lists: the load's progress callback moves it.
class ReferenceProgress {
public:
    ReferenceProgress(QWidget* parent, const QString& label);
    LoadProgress callback();

private:
    QProgressDialog m_dialog;
};

// "N ditambah, N diganti namanya, N tetap, N dihapus", and the withdrawn codes kept.
QString summaryInIndonesian(const ReferenceLoadResult& result);

} // namespace vastrel
