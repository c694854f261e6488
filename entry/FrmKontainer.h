#pragma once

#include "PosLineDialog.h"

namespace vastrel {

// "Kontainer": the containers of one POS with number, size, type and seal.
// A number failing the check digit is only warned about.
class FrmKontainer : public PosLineDialog {
    Q_OBJECT
public:
    FrmKontainer(AppState& state, const PosKey& key, QWidget* parent = nullptr);

protected:
    void BlankForm() override;
    void EnableControl(bool enable) override;
    QWidget* newLineFocus() const override;
    void SaveLine() override;
    void showRow(const QStringList& cells) override;

private:
    bool checkFields();

    QLineEdit* TxtNoCountainer1;
    QComboBox* CmbUkuran;
    QComboBox* CmbTipe;
    QLineEdit* txtseal;
};

} // namespace vastrel
