#pragma once

#include "PosLineDialog.h"

class QPlainTextEdit;

namespace vastrel {

// "Barang": the goods lines of one POS, each an HS code with its description.
class FrmUraianBarang : public PosLineDialog {
    Q_OBJECT
public:
    FrmUraianBarang(AppState& state, const PosKey& key, QWidget* parent = nullptr);

protected:
    void BlankForm() override;
    void EnableControl(bool enable) override;
    QWidget* newLineFocus() const override;
    void SaveLine() override;
    void showRow(const QStringList& cells) override;

private:
    void findHs();

    QLineEdit* TxtHs;
    QPlainTextEdit* TxtKeterangan;
    QPushButton* CmdFind;
};

} // namespace vastrel
