#pragma once

#include "AppState.h"
#include "RowSetModel.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace vastrel {

// Maintains the shippers, consignees and notify parties the detail screen
// picks from. New then Save adds one; a double-click on a row then Save
// changes it.
class FrmParties : public QDialog {
    Q_OBJECT
public:
    explicit FrmParties(AppState& state, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void FillJenisParties();
    void ViewParties();
    void CmdNew_Click();
    void CmdSave_Click();
    void CmdDelete_Click();
    void LvParties_DblClick(const QModelIndex& index);
    void saveParty(const QString& name);
    void setFieldsEnabled(bool enabled);
    void endEditing();

    AppState& m_state;
    QString m_kodeParties; // kind code of the party being saved
    QVariant m_idParties;  // the row a save in "Edit" mode changes
    RowSetModel m_model;

    QPlainTextEdit* m_nama;
    QPlainTextEdit* m_alamat;
    QComboBox* m_jenis;
    QTableView* m_list;
    QLabel* m_edit;
    QPushButton* m_new;
    QPushButton* m_save;
    QPushButton* m_delete;
    QPushButton* m_close;
};

} // namespace vastrel
