#pragma once

#include "AppState.h"
#include "RowSetModel.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace vastrel {

// Maintains the vessels (airlines on an air installation) the header screen
// picks from. New then Save adds one; a double-click on a row then Save
// renames it.
class FrmKapal : public QDialog {
    Q_OBJECT
public:
    explicit FrmKapal(AppState& state, QWidget* parent = nullptr);

private:
    void Form_Load();
    void ViewKapal();
    void CmdNew_Click();
    void CmdSave_Click();
    void CmdDelete_Click();
    void LvKapal_DblClick(const QModelIndex& index);
    void saveName(const QString& name);

    AppState& m_state;
    QVariant m_idKapal; // the row a save in "Edit" mode renames
    RowSetModel m_model;

    QLabel* m_label;
    QLineEdit* m_kapal;
    QTableView* m_list;
    QLabel* m_edit;
    QPushButton* m_new;
    QPushButton* m_save;
    QPushButton* m_delete;
    QPushButton* m_close;
};

} // namespace vastrel
