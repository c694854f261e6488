#include "FrmFilings.h"

#include "AppState.h"
#include "FilingDiff.h"
#include "Filings.h"
#include "Messages.h"
#include "RowSetModel.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace vastrel {

namespace {

const QList<RowSetModel::Column> kColumns = {{"Waktu (UTC)", 2200},   {"User", 1200},
                                             {"Komputer", 1500},      {"Nama File", 3000},
                                             {"Ukuran (byte)", 1400}, {"SHA-256", 4000}};

RowSet filingRows(const QList<Filing>& filings) {
    std::vector<QVariantList> rows;
    rows.reserve(static_cast<size_t>(filings.size()));
    for (const Filing& f : filings)
        rows.push_back({f.filedAt, f.user, f.host, f.fileName, f.size, f.sha256, f.id});
    return RowSet({"filedat", "user", "host", "filename", "size", "sha256", "idfiling"},
                  std::move(rows));
}

const PosChangeWords kPosChangeInIndonesian = {"ditambahkan", "dihapus", "diubah:\n    ", "\n    "};

} // namespace

FrmFilings::FrmFilings(AppState& state, const QString& nodaftar, QWidget* parent)
    : QDialog(parent), m_state(state), m_nodaftar(nodaftar), m_filings(new RowSetModel(this)),
      m_list(new QTableView(this)), m_changesTitle(new QLabel(this)),
      m_changes(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("FrmFilings"));
    setWindowTitle("Riwayat Pengiriman Manifest " + nodaftar);
    m_filings->setColumns(kColumns);
    m_list->setObjectName(QStringLiteral("LvFiling"));
    showAsReportList(m_list, m_filings);
    m_changesTitle->setObjectName(QStringLiteral("LblChanges"));
    m_changes->setObjectName(QStringLiteral("TxtChanges"));
    m_changes->setReadOnly(true);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* saveAgain =
        buttons->addButton(QStringLiteral("&Simpan Lagi..."), QDialogButtonBox::ActionRole);
    saveAgain->setObjectName(QStringLiteral("CmdSaveAgain"));
    connect(saveAgain, &QPushButton::clicked, this, &FrmFilings::saveAgain);
    buttons->addButton(QStringLiteral("&Tutup"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 2);
    layout->addWidget(m_changesTitle);
    layout->addWidget(m_changes, 3);
    layout->addWidget(buttons);
    resize(900, 560);

    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &FrmFilings::showChanges);
    try {
        m_filings->setRows(filingRows(listFilings(state.Conn, nodaftar)));
    } catch (const std::runtime_error& e) { // DbError
        Messages::showError(parent, e);
    }
    if (m_filings->rowCount() > 0)
        m_list->setCurrentIndex(m_filings->index(0, 0));
    else
        showChanges();
}

qint64 FrmFilings::selectedFiling() const {
    const int row = m_list->currentIndex().row();
    return row < 0 ? 0 : m_filings->values(row).last().toLongLong();
}

void FrmFilings::showChanges() {
    const int row = m_list->currentIndex().row();
    m_changesTitle->setText(row <= 0
                                ? QStringLiteral("Perubahan sejak pengiriman terakhir")
                                : "Perubahan sejak pengiriman " + m_filings->text(row, 0) + " UTC");
    QStringList lines;
    try {
        for (const PosChange& change :
             changesSinceFiling(m_state.Conn, m_nodaftar, m_state.StrJenis, selectedFiling()))
            lines << describe(change, kPosChangeInIndonesian);
        if (lines.isEmpty())
            lines << QStringLiteral("Tidak ada perubahan");
    } catch (const std::runtime_error& e) { // no filing, a tampered one, or the manifest's own
        lines << Messages::errorText(e);
    }
    m_changes->setPlainText(lines.join('\n'));
}

void FrmFilings::saveAgain() {
    const qint64 id = selectedFiling();
    if (id == 0) {
        Messages::show(this, QStringLiteral("Silahkan pilih pengiriman yang akan disimpan"));
        return;
    }
    const QString proposed = QFileInfo(m_filings->text(m_list->currentIndex().row(), 3)).fileName();
    const QString path = Messages::saveFileName(
        this, tr("Save As"), proposed, QStringLiteral("Text File (*.txt);;All Files (*.*)"));
    if (path.isEmpty())
        return;
    try {
        saveFiling(m_state.Conn, id, path);
    } catch (const std::runtime_error& e) { // a tampered filing, or the file not written
        Messages::showError(this, e);
        return;
    }
    Messages::show(this, QStringLiteral("Flat file telah disimpan"), Messages::kInformation,
                   Messages::Icon::Information);
}

} // namespace vastrel
