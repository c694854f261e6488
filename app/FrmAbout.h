#pragma once

#include <QDialog>

namespace vastrel {

// Shows the version history kept in About.INI in the program folder.
class FrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit FrmAbout(const QString& programFolder, QWidget* parent = nullptr);

    // The text shown for About.INI: every line followed by CR LF.
    static QString readNotes(const QString& path);
};

} // namespace vastrel
