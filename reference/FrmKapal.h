#pragma once

#include "ReferenceDialog.h"

class QLabel;
class QLineEdit;

namespace vastrel {

// Maintains the vessels (airlines on an air installation) the header screen
// picks from. New then Save adds one; a double-click on a row then Save
// renames it.
class FrmKapal : public ReferenceDialog {
    Q_OBJECT
public:
    explicit FrmKapal(AppState& state, QWidget* parent = nullptr);

private:
    void Form_Load();
    void ViewKapal();
    void CmdNew_Click() override;
    void CmdSave_Click() override;
    void CmdDelete_Click() override;
    void showRow(int row) override;
    // Stores the text on screen once its characters passed, as the check may have rewritten it.
    void saveName();

    QLabel* m_label;
    QLineEdit* m_kapal;
};

} // namespace vastrel
