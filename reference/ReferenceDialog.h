#pragma once

#include "AppState.h"
#include "Database.h"
#include "RowSetModel.h"

#include <QDialog>
#include <QVariant>

class QLabel;
class QLayout;
class QPushButton;
class QTableView;

namespace vastrel {

// The frame both reference lists share: the fields above the list of stored
// rows (first column the hidden id), the mode label LblEdit ("New" or "Edit")
// and the New, Save, Delete and Close buttons.
class ReferenceDialog : public QDialog {
    Q_OBJECT
public:
    ReferenceDialog(AppState& state, const QString& name, const QString& listName, QWidget* parent);

protected:
    static const QString kNewMode;
    static const QString kEditMode;

    // Lays out `fields` above the list and the buttons.
    void setFields(QLayout* fields);

    virtual void CmdNew_Click() = 0;
    virtual void CmdSave_Click() = 0;
    virtual void CmdDelete_Click() = 0;
    // A double-click on `row` of the list.
    virtual void showRow(int row) = 0;

    // New: Save on, New off, mode "New".
    void enterNewMode();
    // A row picked: both on, mode "Edit", the row's id kept for the update.
    void enterEditMode(int row);
    // No row being edited: New on, Save off, the mode label showing `mode`.
    void leaveEditing(const QString& mode);
    bool isNewMode() const;
    // Runs a change; a failure shows its reason and gives false.
    bool run(const QString& sql, const Params& values);
    // Deletes the row selected in the list by its id once the user agrees; says so when
    // no row is selected. True only when the row was deleted.
    bool deleteSelected(const QString& deleteSql);

    AppState& m_state;
    RowSetModel m_model;
    QVariant m_id; // the row a save in "Edit" mode changes
    QTableView* m_list;
    QLabel* m_edit;
    QPushButton* m_new;
    QPushButton* m_save;
    QPushButton* m_delete;
    QPushButton* m_close;
};

} // namespace vastrel
