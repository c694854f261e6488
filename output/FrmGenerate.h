#pragma once

#include "Database.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace vastrel {

struct AppState;
struct ReportContent;
class RowSetModel;
class ManifestReports;

// The generate screen: lists the manifest headers with their readiness and the POS of the
// chosen one, writes the chosen manifest's flat file, previews its detail and recap reports
// and, in search mode, hands the chosen manifest to the entry screen.
class FrmGenerate : public QDialog {
    Q_OBJECT
public:
    // The data role of LvHeader's first column that names its mark: "ready" or "notready".
    static constexpr int kImageKeyRole = Qt::UserRole;

    explicit FrmGenerate(AppState& state, QWidget* parent = nullptr);

    // The manifest finder: Generate hidden, Ok shown, caption "Find".
    void setSearchMode();

signals:
    // Ok was pressed on this manifest; the screen closes after it.
    void manifestChosen(const QString& nodaftar);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    QPushButton* addButton(const QString& name, const QString& text);
    void setKindCaptions();

    // Fills LvHeader from a header query; says why when the query fails.
    void InsertToGridGenerate(const QString& sql, const Params& params);
    void loadHeaders();
    void findHeaders();
    void viewDetails(const QString& nodaftar);
    void showFirstHeader();
    QString selectedHeader(int column = 0) const;
    QString selectedPos() const;

    void generate();
    // The chosen manifest's filings and what changed since.
    void showFilings();
    void printDetail();
    void printRekap();
    void showReport(const std::function<ReportContent(const ManifestReports&)>& build,
                    const QString& pdfName);
    void chooseManifest();

    AppState& m_state;
    RowSetModel* m_headers;
    RowSetModel* m_details;
    QTableView* m_lvHeader = nullptr;
    QTableView* m_lvDetail = nullptr;
    QLabel* m_label2 = nullptr;
    QLabel* m_label3 = nullptr;
    QLineEdit* m_txtKapal = nullptr;
    QLineEdit* m_txtNoVoyage = nullptr;
    QPushButton* m_cmdOk = nullptr;
    QPushButton* m_cmdGenerate = nullptr;
    QPushButton* m_cmdFilings = nullptr;
};

} // namespace vastrel
