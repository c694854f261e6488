#pragma once

#include "BandedReport.h"

#include <QDialog>

#include <memory>

class QPrintPreviewWidget;
class QPrinter;
class QToolBar;

namespace vastrel {

// The modal print preview of a report, from which the user prints it or saves it as PDF.
// Its actions are named ActPrint, ActSavePdf, ActZoomIn, ActZoomOut, ActFitWidth, ActClose.
class ReportPreview : public QDialog {
    Q_OBJECT
public:
    // `caption` is the window caption, `pdfName` the file name proposed for Save as PDF.
    ReportPreview(BandedReport report, const QString& caption, const QString& pdfName,
                  QWidget* parent = nullptr);
    ~ReportPreview() override;

    const BandedReport& report() const { return m_report; }

    void print();
    // Asks for a file name and writes the PDF; says why when it cannot be written.
    void savePdf();

private:
    void paint(QPrinter* printer);
    static QAction* addTool(QToolBar* tools, const QString& name, const QString& text);

    BandedReport m_report;
    QString m_pdfName;
    std::unique_ptr<QPrinter> m_printer;
    QPrintPreviewWidget* m_preview;
};

} // namespace vastrel
