#pragma once

#include "AppState.h"

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace vastrel {

// The company profile: name, initials, address, telephone, fax and whether
// the installation makes sea or air manifests. On a fresh installation it is
// the first screen and the program cannot go on without it; later the main
// window opens it as a modal dialog.
class FrmProfile : public QDialog {
    Q_OBJECT
public:
    explicit FrmProfile(AppState& state, QWidget* parent = nullptr);

    // Closing (Close, the close box, Escape) without a saved profile on a
    // first run emits firstRunClosed().
    void reject() override;

signals:
    // The profile is stored and `state` holds its kind and initials.
    void profileSaved();
    // Closed on a first run with no profile: the program has to end.
    void firstRunClosed();

private:
    void ViewProfile();
    void CmdSave_Click();
    bool allFieldsFilled();
    void storeProfile(const QString& kind);

    AppState& m_state;
    QLineEdit* m_nama;
    QLineEdit* m_inisial;
    QPlainTextEdit* m_alamat;
    QLineEdit* m_telp;
    QLineEdit* m_fax;
    QRadioButton* m_laut;
    QRadioButton* m_udara;
    QPushButton* m_save;
    QPushButton* m_close;
};

} // namespace vastrel
