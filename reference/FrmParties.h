#pragma once

#include "ReferenceDialog.h"

class QComboBox;
class QPlainTextEdit;

namespace vastrel {

// Maintains the shippers, consignees and notify parties the detail screen
// picks from. New then Save adds one; a double-click on a row then Save
// changes it.
class FrmParties : public ReferenceDialog {
    Q_OBJECT
public:
    explicit FrmParties(AppState& state, QWidget* parent = nullptr);

private:
    void Form_Load();
    void FillJenisParties();
    void ViewParties();
    void CmdNew_Click() override;
    void CmdSave_Click() override;
    void CmdDelete_Click() override;
    void showRow(int row) override;
    // Stores the text on screen once its characters passed, as the check may have rewritten it.
    void saveParty();
    void setFieldsEnabled(bool enabled);

    QString m_kodeParties; // kind code of the party being saved
    QPlainTextEdit* m_nama;
    QPlainTextEdit* m_alamat;
    QComboBox* m_jenis;
};

} // namespace vastrel
