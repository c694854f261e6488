#pragma once

#include "AppState.h"
#include "RowSetModel.h"

#include <QDialog>
#include <QPointer>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;

namespace vastrel {

// The lookup dialog: lists the rows of one reference table for a module key
// ("kapal", "hs", "pelabuhanasal", "partiesshiper", "kpbc1", ...), searches
// them by name as the clerk types, and a double-click (or Enter on a row) copies the row into the
// boxes of the screen that opened it.
class FrmFind : public QDialog {
    Q_OBJECT
public:
    // `caller` is the widget whose window holds the boxes a double-click fills.
    FrmFind(AppState& state, QWidget* caller, QWidget* parent = nullptr);

    // Sets up the columns and the title of the module; an unknown key sets up nothing.
    void ViewMainTable(const QString& moduleName, bool activeDblClick);
    // Lists the first 100 rows, or (`inForm`) every row whose name holds the search text.
    void ShowQuery(const QString& moduleName, bool inForm);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CmdFind_Click();
    void LvFind_DblClick(const QModelIndex& index);
    void copyToCaller(int row);

    AppState& m_state;
    QPointer<QWidget> m_caller;
    QString m_moduleName;
    bool m_activeDblClick = false;
    RowSetModel m_model;

    QLabel* m_title;
    QLabel* m_topNote;
    QLineEdit* m_find;
    QPushButton* m_findButton;
    QTableView* m_list;
    QTimer* m_typingPause;
};

// Lets F4 in a box the lookup `moduleName` fills click `button`, which opens that lookup.
void bindLookupKey(QAbstractButton* button, const QString& moduleName);

// Opens the lookup dialog modally for `moduleName` over the window of
// `caller`, listing the first rows with a busy cursor.
void ShowFind(AppState& state, QWidget* caller, const QString& moduleName,
              bool activeDblClick = true);

} // namespace vastrel
