#pragma once

#include "PosLineDialog.h"

namespace vastrel {

// "Dokumen": the customs export documents of one POS with kind, customs
// office, number and date.
class FrmPeb : public PosLineDialog {
    Q_OBJECT
public:
    FrmPeb(AppState& state, const PosKey& key, QWidget* parent = nullptr);

protected:
    void BlankForm() override;
    void EnableControl(bool enable) override;
    QWidget* newLineFocus() const override;
    void SaveLine() override;
    void showRow(const QStringList& cells) override;

private:
    void FillJenis();
    void showKpbcName();
    bool checkFields();

    QComboBox* CmbJenis;
    QLineEdit* TxtKPBCKd;
    QPushButton* CmdKpbc;
    QLineEdit* TxtKPBCNm;
    QLineEdit* TxtPEBNo;
    QLineEdit* TxtPEBTgl;
};

} // namespace vastrel
