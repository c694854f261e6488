#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QTableView;

namespace vastrel {

struct AppState;
class RowSetModel;

// A manifest's filings: every flat file written for it, newest first. The chosen one can be
// saved again byte for byte, and beneath the list stands what changed in the manifest since
// it was filed: what goes into an amendment.
class FrmFilings : public QDialog {
    Q_OBJECT
public:
    FrmFilings(AppState& state, const QString& nodaftar, QWidget* parent = nullptr);

private:
    qint64 selectedFiling() const;
    void showChanges();
    void saveAgain();

    AppState& m_state;
    QString m_nodaftar;
    RowSetModel* m_filings;
    QTableView* m_list;
    QLabel* m_changesTitle;
    QPlainTextEdit* m_changes;
};

} // namespace vastrel
