#include "FrmGenerate.h"

#include "AppState.h"
#include "FlatFile.h"
#include "FrmFilings.h"
#include "KeyGuard.h"
#include "ManifestReports.h"
#include "Messages.h"
#include "ReportLayouts.h"
#include "ReportPreview.h"
#include "RowSetModel.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace vastrel {

namespace {

const QString kHeaderQuery =
    QStringLiteral("SELECT nodaftar, jnsmanifest, vessel, voyage, kdgrup, arrivingdate, "
                   "arrivingtime, no_master, tgl_master, status FROM tblheader");
const QString kDetailQuery = QStringLiteral(
    "SELECT nopos, nobl, tglbl, mot_vessel, pasalcd, pmuatcd, pbongkarcd, pakhircd, jmlkemasan, "
    "satuankemasan, bruto, volume FROM tbldetail WHERE nodaftar = ? ORDER BY nopos");
constexpr int kNewestHeaders = 100;
constexpr int kStatusColumn = 9;

using Columns = QList<RowSetModel::Column>;
const Columns kHeaderColumnsSea = {{"No Dokumen", 2500},
                                   {"Jenis Manifest", 1500},
                                   {"Kapal", 2200},
                                   {"No Voy", 1100},
                                   {"Group", 800},
                                   {"Tanggal Tiba/Berangkat", 2500},
                                   {"Jam Tiba/Berangkat", 2300},
                                   {"No Master B/L", 1800},
                                   {"Tanggal Master B/L", 2200},
                                   {"status", 800}};
const Columns kHeaderColumnsAir = {{"No Dokumen", 2500},
                                   {"Jenis Manifest", 1500},
                                   {"Airlines", 2200},
                                   {"Flight No", 1100},
                                   {"Group", 800},
                                   {"Tanggal Tiba/Berangkat", 2500},
                                   {"Jam Tiba/Berangkat", 2300},
                                   {"No Master AWB", 1800},
                                   {"Tanggal Master AWB", 2200},
                                   {"status", 800}};
const Columns kDetailColumnsSea = {{"No POS", 900},
                                   {"No BL", 1800},
                                   {"Tanggal BL", 1200},
                                   {"Mother Vessel", 1800},
                                   {"Pelabuhan Asal", 1700},
                                   {"Pelabuhan Sebelumnya", 2400},
                                   {"Pelabuhan Bongkar", 2100},
                                   {"Pelabuhan Akhir", 1800},
                                   {"Jumlah Kemasan", 1800},
                                   {"Satuan Kemasan", 1800},
                                   {"Berat Bruto", 1300},
                                   {"Volume", 1000}};
// The air list keeps the mother-vessel column at width 0, hidden.
const Columns kDetailColumnsAir = {
    {"No POS", 900},           {"No AWB", 1800},        {"Tanggal AWB", 1200},
    {"Mother Vessel", 0},      {"Airport Asal", 1700},  {"Airport Sebelumnya", 2400},
    {"Airport Bongkar", 2100}, {"Airport Akhir", 1800}, {"Jumlah Kemasan", 1800},
    {"Satuan Kemasan", 1800},  {"Berat Bruto", 1300},   {"Volume", 1000}};

// The row marks of the header list: a white tick on green, a white cross on red.
QIcon markImage(const QColor& color, bool tick) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(1, 1, 14, 14);
    painter.setPen(QPen(Qt::white, 2));
    if (tick) {
        const QPointF points[] = {{4.5, 8}, {7, 10.5}, {11.5, 5.5}};
        painter.drawPolyline(points, 3);
    } else {
        painter.drawLine(QPointF(5, 5), QPointF(11, 11));
        painter.drawLine(QPointF(11, 5), QPointF(5, 11));
    }
    return QIcon(pixmap);
}

// The header list: the rows of its query with a ready or not-ready mark in front of each.
class HeaderListModel : public RowSetModel {
public:
    explicit HeaderListModel(QObject* parent)
        : RowSetModel(parent), m_ready(markImage(QColor(0x2e, 0x8b, 0x3e), true)),
          m_notReady(markImage(QColor(0xc6, 0x28, 0x28), false)) {}

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.column() != 0 ||
            (role != Qt::DecorationRole && role != FrmGenerate::kImageKeyRole))
            return RowSetModel::data(index, role);
        const bool ready = text(index.row(), kStatusColumn) == QLatin1String("Y");
        if (role == FrmGenerate::kImageKeyRole)
            return ready ? QStringLiteral("ready") : QStringLiteral("notready");
        return ready ? m_ready : m_notReady;
    }

private:
    QIcon m_ready;
    QIcon m_notReady;
};

QTableView* listView(const QString& name, RowSetModel* model, QWidget* parent) {
    auto* view = new QTableView(parent);
    view->setObjectName(name);
    showAsReportList(view, model);
    return view;
}

// A list title on a coloured strip, as above each list.
QFrame* titleStrip(const QString& frameName, const QString& labelName, const QString& text,
                   QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(frameName);
    frame->setAutoFillBackground(true);
    frame->setStyleSheet(QStringLiteral("QFrame { background: #1f3f6f; }"
                                        "QLabel { color: white; font-weight: bold; }"));
    auto* label = new QLabel(text, frame);
    label->setObjectName(labelName);
    auto* layout = new QHBoxLayout(frame);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->addWidget(label);
    return frame;
}

void selectFirstRow(QTableView* view) {
    if (view->model()->rowCount() > 0)
        view->setCurrentIndex(view->model()->index(0, 0));
}

} // namespace

FrmGenerate::FrmGenerate(AppState& state, QWidget* parent)
    : QDialog(parent), m_state(state), m_headers(new HeaderListModel(this)),
      m_details(new RowSetModel(this)) {
    setObjectName(QStringLiteral("FrmGenerate"));
    setWindowTitle(QStringLiteral("Generate Flat File"));
    // The key is shown trimmed, like every other column of the list.
    m_headers->setFormatter(0, [](const QVariant& value) { return value.toString().trimmed(); });
    buildControls();
    setKindCaptions();
    loadHeaders();
    KeyGuard::install(this);
    // Installed after the key guard so that Enter in a filter box finds before it moves on.
    m_txtKapal->installEventFilter(this);
    m_txtNoVoyage->installEventFilter(this);
}

void FrmGenerate::buildControls() {
    m_lvHeader = listView(QStringLiteral("LvHeader"), m_headers, this);
    m_lvDetail = listView(QStringLiteral("LvDetail"), m_details, this);
    connect(m_lvHeader->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    viewDetails(m_headers->text(current.row(), 0));
            });

    m_label2 = new QLabel(QStringLiteral("Nama Kapal"), this);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_txtKapal = new QLineEdit(this);
    m_txtKapal->setObjectName(QStringLiteral("TxtKapal"));
    m_label3 = new QLabel(QStringLiteral("No Voy"), this);
    m_label3->setObjectName(QStringLiteral("Label3"));
    m_txtNoVoyage = new QLineEdit(this);
    m_txtNoVoyage->setObjectName(QStringLiteral("TxtNoVogaye"));
    auto* filters = new QHBoxLayout;
    filters->addWidget(m_label2);
    filters->addWidget(m_txtKapal, 2);
    filters->addWidget(m_label3);
    filters->addWidget(m_txtNoVoyage, 1);
    QPushButton* find = addButton("CmdFind", "&Find");
    connect(find, &QPushButton::clicked, this, &FrmGenerate::findHeaders);
    filters->addWidget(find);

    m_cmdOk = addButton("CmdOk", "&Ok");
    m_cmdOk->hide();
    connect(m_cmdOk, &QPushButton::clicked, this, &FrmGenerate::chooseManifest);
    m_cmdGenerate = addButton("CmdGenerate", "&Generate To Flat File");
    connect(m_cmdGenerate, &QPushButton::clicked, this, &FrmGenerate::generate);
    QPushButton* printDetail = addButton("CmdPrintDetail", "&Print Detail");
    connect(printDetail, &QPushButton::clicked, this, &FrmGenerate::printDetail);
    QPushButton* printRekap = addButton("CmdPrintRekap", "Print &Header");
    connect(printRekap, &QPushButton::clicked, this, &FrmGenerate::printRekap);
    m_cmdFilings = addButton("CmdFilings", "&Riwayat Pengiriman");
    connect(m_cmdFilings, &QPushButton::clicked, this, &FrmGenerate::showFilings);
    QPushButton* close = addButton("CmdClose", "&Close");
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {m_cmdOk, m_cmdGenerate, printDetail, printRekap, m_cmdFilings})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(titleStrip("Picture1", "LblTitle", "HEADER", this));
    layout->addWidget(m_lvHeader, 3);
    layout->addWidget(titleStrip("Picture2", "Label1", "DETAIL", this));
    layout->addWidget(m_lvDetail, 2);
    layout->addLayout(filters);
    layout->addLayout(buttons);
    resize(1000, 620);
}

QPushButton* FrmGenerate::addButton(const QString& name, const QString& text) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(name);
    // Enter in a list or box must never write a file by way of a default button.
    button->setAutoDefault(false);
    return button;
}

void FrmGenerate::setKindCaptions() {
    const bool air = m_state.isAir();
    m_headers->setColumns(air ? kHeaderColumnsAir : kHeaderColumnsSea);
    m_details->setColumns(air ? kDetailColumnsAir : kDetailColumnsSea);
    m_label2->setText(air ? "Nama Airlines" : "Nama Kapal");
    m_label3->setText(air ? "Flight no" : "No Voy");
}

void FrmGenerate::setSearchMode() {
    m_cmdGenerate->hide();
    m_cmdFilings->hide();
    m_cmdOk->show();
    setWindowTitle(QStringLiteral("Find"));
}

bool FrmGenerate::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == m_txtKapal || watched == m_txtNoVoyage)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            findHeaders();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmGenerate::InsertToGridGenerate(const QString& sql, const Params& params) {
    InsertToGrid(this, *m_headers, m_state.Conn, sql, params);
}

void FrmGenerate::loadHeaders() {
    InsertToGridGenerate(kHeaderQuery + " ORDER BY nodaftar DESC LIMIT ?", {kNewestHeaders});
    showFirstHeader();
}

void FrmGenerate::findHeaders() {
    InsertToGridGenerate(kHeaderQuery +
                             " WHERE vessel LIKE ? AND voyage LIKE ? ORDER BY nodaftar DESC",
                         {"%" + m_txtKapal->text() + "%", "%" + m_txtNoVoyage->text() + "%"});
    showFirstHeader();
}

void FrmGenerate::showFirstHeader() {
    if (m_headers->rowCount() == 0) {
        m_details->clear();
        return;
    }
    // From no current row to the first, so that its details are shown even when it was
    // the current row before the list was filled again.
    m_lvHeader->selectionModel()->clearCurrentIndex();
    selectFirstRow(m_lvHeader);
}

void FrmGenerate::viewDetails(const QString& nodaftar) {
    if (InsertToGrid(this, *m_details, m_state.Conn, kDetailQuery, {nodaftar}))
        selectFirstRow(m_lvDetail);
}

QString FrmGenerate::selectedHeader(int column) const {
    return m_headers->text(m_lvHeader->currentIndex().row(), column);
}

QString FrmGenerate::selectedPos() const {
    return m_details->text(m_lvDetail->currentIndex().row(), 0);
}

void FrmGenerate::generate() {
    const QString refusal =
        vastrel::generateRefusal(m_headers->rowCount() > 0, m_details->rowCount() > 0,
                                 m_headers->rowCount() > 0 ? selectedHeader(kStatusColumn) : "");
    if (!refusal.isEmpty()) {
        Messages::show(this, refusal);
        return;
    }
    const QString nodaftar = selectedHeader();
    const QString path =
        Messages::saveFileName(this, tr("Save As"), m_state.StrInisial + nodaftar + ".txt",
                               QStringLiteral("Text File (*.txt);;All Files (*.*)"));
    if (path.isEmpty())
        return;
    try {
        fileFlatFile(m_state.Conn, nodaftar, m_state.StrJenis, path);
    } catch (const std::runtime_error&
                 e) { // FlatFileError, FileWriteError or DbError; nothing was written
        Messages::showError(this, e);
        return;
    }
    Messages::show(this, QStringLiteral("Flat file telah dibuat"), Messages::kInformation,
                   Messages::Icon::Information);
}

void FrmGenerate::showFilings() {
    const QString nodaftar = selectedHeader();
    if (nodaftar.isEmpty()) {
        Messages::show(this, QStringLiteral("Silahkan pilih Header"));
        return;
    }
    FrmFilings(m_state, nodaftar, this).exec();
}

void FrmGenerate::printDetail() {
    const QString nodaftar = selectedHeader();
    const QString nopos = selectedPos();
    if (nodaftar.isEmpty() || nopos.isEmpty()) {
        Messages::show(this, QStringLiteral("Silahkan pilih Header dan Detail yang akan diprint"));
        return;
    }
    showReport(
        [&](const ManifestReports& reports) { return reports.RptManifesDetil(nodaftar, nopos); },
        m_state.StrInisial + nodaftar + "-" + nopos + ".pdf");
}

void FrmGenerate::printRekap() {
    const QString nodaftar = selectedHeader();
    if (nodaftar.isEmpty()) {
        Messages::show(this, QStringLiteral("Silahkan pilih Header yang akan diprint"));
        return;
    }
    showReport([&](const ManifestReports& reports) { return reports.RptManifesRekap(nodaftar); },
               m_state.StrInisial + nodaftar + ".pdf");
}

void FrmGenerate::showReport(const std::function<ReportContent(const ManifestReports&)>& build,
                             const QString& pdfName) {
    ReportContent content;
    try {
        content = build(ManifestReports(m_state.Conn, m_state.StrJenis, m_state.StrVersion));
    } catch (const std::runtime_error& e) { // ReportError or DbError
        Messages::showError(this, e);
        return;
    }
    ReportPreview preview(layoutReport(content), content.caption, pdfName, this);
    preview.setObjectName(content.name);
    preview.exec();
}

void FrmGenerate::chooseManifest() {
    if (m_headers->rowCount() == 0)
        return;
    emit manifestChosen(selectedHeader());
    accept();
}

} // namespace vastrel
