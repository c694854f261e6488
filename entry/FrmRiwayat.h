#pragma once

#include <QDialog>

namespace vastrel {

class Database;

// The history of a manifest, or of one of its POS, newest first: when, who, on which
// workstation, which row and what changed. Read-only: the history is only ever added to.
class FrmRiwayat : public QDialog {
    Q_OBJECT
public:
    // `nopos` empty: the whole manifest's history. A failing read is said over `parent` and
    // leaves the list empty.
    FrmRiwayat(const Database& db, const QString& nodaftar, const QString& nopos,
               QWidget* parent = nullptr);
};

} // namespace vastrel
