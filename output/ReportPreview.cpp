#include "ReportPreview.h"

#include "FormHelpers.h"
#include "Messages.h"
#include "ReportError.h"

#include <QAction>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>
#include <QVBoxLayout>

namespace vastrel {

ReportPreview::ReportPreview(BandedReport report, const QString& caption, const QString& pdfName,
                             QWidget* parent)
    : QDialog(parent), m_report(std::move(report)), m_pdfName(pdfName),
      m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    setWindowTitle(caption);
    setModal(true);
    BandedReport::setPageSetup(m_printer.get());
    m_preview = new QPrintPreviewWidget(m_printer.get(), this);
    m_preview->setObjectName(QStringLiteral("PreviewPages"));
    connect(m_preview, &QPrintPreviewWidget::paintRequested, this, &ReportPreview::paint);

    auto* tools = new QToolBar(this);
    QAction* print = addTool(tools, "ActPrint", tr("&Print"));
    setKeys(print, {QKeySequence::Print});
    connect(print, &QAction::triggered, this, &ReportPreview::print);
    QAction* savePdf = addTool(tools, "ActSavePdf", tr("Save as &PDF"));
    setKeys(savePdf, {QKeySequence(Qt::CTRL | Qt::Key_S), QKeySequence(Qt::ALT | Qt::Key_S)});
    connect(savePdf, &QAction::triggered, this, &ReportPreview::savePdf);
    tools->addSeparator();
    connect(addTool(tools, "ActZoomIn", tr("Zoom &In")), &QAction::triggered, m_preview,
            [this] { m_preview->zoomIn(); });
    connect(addTool(tools, "ActZoomOut", tr("Zoom &Out")), &QAction::triggered, m_preview,
            [this] { m_preview->zoomOut(); });
    connect(addTool(tools, "ActFitWidth", tr("&Fit Width")), &QAction::triggered, m_preview,
            &QPrintPreviewWidget::fitToWidth);
    tools->addSeparator();
    connect(addTool(tools, "ActClose", tr("&Close")), &QAction::triggered, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tools);
    layout->addWidget(m_preview);
    resize(1100, 750);
}

// The preview paints on m_printer until it is gone, so it goes first.
ReportPreview::~ReportPreview() {
    delete m_preview;
}

QAction* ReportPreview::addTool(QToolBar* tools, const QString& name, const QString& text) {
    QAction* action = tools->addAction(text);
    action->setObjectName(name);
    return action;
}

void ReportPreview::paint(QPrinter* printer) {
    try {
        m_report.render(printer);
    } catch (const ReportError& e) {
        Messages::showError(this, e);
    }
}

void ReportPreview::print() {
    QPrinter printer(QPrinter::HighResolution);
    BandedReport::setPageSetup(&printer);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        paint(&printer);
}

void ReportPreview::savePdf() {
    const QString path = Messages::saveFileName(this, tr("Save as PDF"), m_pdfName,
                                                QStringLiteral("PDF File (*.pdf)"));
    if (path.isEmpty())
        return;
    try {
        m_report.writePdf(path);
    } catch (const std::runtime_error& e) { // ReportError or FileWriteError
        Messages::showError(this, e);
    }
}

} // namespace vastrel
