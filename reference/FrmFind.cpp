#include "FrmFind.h"

#include "BusyCursor.h"

#include "FormHelpers.h"
#include "KeyGuard.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <vector>

namespace vastrel {

namespace {

// How long the clerk pauses typing before the list follows the search text.
constexpr int kTypingPauseMs = 300;

// A caption that may read differently on an air installation.
struct KindText {
    KindText(const QString& both) : sea(both), air(both) {}
    KindText(const QString& seaText, const QString& airText) : sea(seaText), air(airText) {}
    QString forKind(bool isAir) const { return isAir ? air : sea; }

    QString sea;
    QString air;
};

struct LookupColumn {
    KindText caption;
    int widthTwips;
};

// What one group of module keys lists and where a double-click copies to.
struct LookupModule {
    QStringList keys;
    QList<LookupColumn> columns;
    KindText title;
    QString firstView; // the first 100 rows
    QString search;    // every row whose name (or code) is LIKE the search pattern, bound to each
    Params filter;     // values bound before the search pattern
    // Module key -> the boxes that receive the first and the second column.
    QMap<QString, QStringList> targets;
};

LookupModule partiesModule(const QString& key, const QString& kode, const QString& title,
                           const QStringList& boxes) {
    return {{key, key + "con"},
            {{{"Nama Parties"}, 4000}, {{"Alamat Parties"}, 5000}},
            {title},
            "SELECT NamaParties,AlmtParties FROM tblparties WHERE KodeParties = ? "
            "ORDER BY idparties DESC LIMIT 100",
            "SELECT NamaParties,AlmtParties FROM tblparties WHERE KodeParties = ? "
            "AND NamaParties LIKE ? ORDER BY idparties DESC",
            {kode},
            {{key, boxes}}};
}

const std::vector<LookupModule>& lookupModules() {
    static const std::vector<LookupModule> modules = {
        {{"satuankemasan", "satuankemasancon"},
         {{{"Kode"}, 1500}, {{"Uraian"}, 6000}},
         {"Satuan Kemasan"},
         "SELECT kdedi,uredi FROM tblKemasan ORDER BY kdedi LIMIT 100",
         "SELECT kdedi,uredi FROM tblKemasan WHERE uredi LIKE ? OR kdedi LIKE ? ORDER BY kdedi",
         {},
         {{"satuankemasan", {"TextSatuanKemasan", "TextUraian"}}}},
        {{"hs", "hscon"},
         {{{"Kode HS"}, 1500}, {{"Keterangan"}, 6000}},
         {"Uraian Barang"},
         "SELECT hs,description FROM tbl_hs ORDER BY hs LIMIT 100",
         "SELECT hs,description FROM tbl_hs WHERE description LIKE ? OR hs LIKE ? ORDER BY hs",
         {},
         {{"hs", {"TxtHs", "TxtKeterangan"}}}},
        {{"kapal", "kapalcon"},
         {{{"Nama Kapal", "Nama Airlines"}, 5000}},
         {"Kapal", "Airlines"},
         "SELECT nmkapal FROM tblkapal ORDER BY nmkapal LIMIT 100",
         "SELECT nmkapal FROM tblkapal WHERE nmkapal LIKE ? ORDER BY nmkapal, idkapal",
         {},
         {{"kapal", {"TxtKapal"}}}},
        {{"pelabuhanasal", "pelabuhanbongkar", "pelabuhansebelumnya", "pelabuhanakhir",
          "pelabuhanasalcon", "pelabuhanbongkarcon", "pelabuhansebelumnyacon", "pelabuhanakhircon"},
         {{{"Kode"}, 1500}, {{"Nama Pelabuhan", "Nama Airport"}, 5000}},
         {"Pelabuhan", "Airport"},
         "SELECT kdport,nmport FROM tblPelabuhan ORDER BY kdport LIMIT 100",
         "SELECT kdport,nmport FROM tblPelabuhan WHERE nmport LIKE ? OR kdport LIKE ? "
         "ORDER BY kdport",
         {},
         {{"pelabuhanasal", {"TxtAsal", "TextAsalNm"}},
          {"pelabuhansebelumnya", {"TxtMuat", "TextMuatNm"}},
          {"pelabuhanbongkar", {"TxtBongkar", "TextBongkarNm"}},
          {"pelabuhanakhir", {"TxtAkhir", "TextAkhirNm"}}}},
        partiesModule("partiesshiper", "1", "Shipper", {"TxtShipperNm", "TxtShipperAddr"}),
        partiesModule("partiesconsignee", "2", "Consignee", {"TxtConsigneeNm", "TxtConsigneeAddr"}),
        partiesModule("partiesnotify", "3", "Notify", {"TxtNotifyNm", "TxtNotifyAddr"}),
        // Head offices (codes ending in "0000") are no place to lodge a document.
        {{"kpbc", "kpbc1"},
         {{{"Kode"}, 2500}, {{"Nama"}, 5000}},
         {"KPBC"},
         "SELECT kode,nama FROM tblkpbc WHERE kode <> '000000' AND substr(kode, length(kode) - 3) "
         "<> '0000' "
         "ORDER BY kode LIMIT 100",
         "SELECT kode,nama FROM (SELECT kode,nama FROM tblkpbc WHERE nama LIKE ? OR kode LIKE ?) X "
         "WHERE kode <> '000000' AND substr(kode, length(kode) - 3) <> '0000' ORDER BY kode",
         {},
         {{"kpbc1", {"TxtKPBCKd", "TxtKPBCNm"}}}},
    };
    return modules;
}

const LookupModule* findModule(const QString& moduleName) {
    const QString key = moduleName.toLower();
    for (const LookupModule& module : lookupModules()) {
        if (module.keys.contains(key))
            return &module;
    }
    return nullptr;
}

// Puts `text` into a box so that its change handlers run as for typed text.
void fillBox(QWidget* box, const QString& text) {
    if (auto* line = qobject_cast<QLineEdit*>(box)) {
        line->selectAll();
        line->insert(text);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(box)) {
        plain->setPlainText(text);
    }
}

} // namespace

FrmFind::FrmFind(AppState& state, QWidget* caller, QWidget* parent)
    : QDialog(parent), m_state(state), m_caller(caller), m_model(this),
      m_title(new QLabel(QStringLiteral("HEADER"), this)),
      m_topNote(new QLabel(QStringLiteral("View top 100 record"), this)),
      m_find(new QLineEdit(this)),
      m_findButton(commandButton(QStringLiteral("CmdFind"), QStringLiteral("&Search"), this)),
      m_list(new QTableView(this)), m_typingPause(new QTimer(this)) {
    setObjectName(QStringLiteral("FrmFind"));
    setWindowTitle(QStringLiteral("Referensi"));
    resize(620, 460);

    m_title->setObjectName(QStringLiteral("LblTitle"));
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPointSize(14);
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    m_topNote->setObjectName(QStringLiteral("LblTitle2"));
    m_find->setObjectName(QStringLiteral("TxtFind"));
    m_list->setObjectName(QStringLiteral("LvFind"));
    showAsReportList(m_list, &m_model);

    auto* label = new QLabel(QStringLiteral("Search By Key"), this);
    label->setObjectName(QStringLiteral("Label1"));
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(label);
    searchRow->addWidget(m_find, 1);
    searchRow->addWidget(m_findButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addLayout(searchRow);
    layout->addWidget(m_topNote);
    layout->addWidget(m_list, 1);

    connect(m_findButton, &QPushButton::clicked, this, &FrmFind::CmdFind_Click);
    connect(m_find, &QLineEdit::returnPressed, this, &FrmFind::CmdFind_Click);
    // The list follows the typing once the clerk pauses, not at every letter.
    m_typingPause->setObjectName(QStringLiteral("TypingPause"));
    m_typingPause->setSingleShot(true);
    m_typingPause->setInterval(kTypingPauseMs);
    connect(m_find, &QLineEdit::textEdited, m_typingPause, qOverload<>(&QTimer::start));
    connect(m_typingPause, &QTimer::timeout, this, &FrmFind::CmdFind_Click);
    connect(m_list, &QTableView::doubleClicked, this, &FrmFind::LvFind_DblClick);
    // From the keyboard: type in the search box, Down into the list, Enter picks the row.
    m_find->installEventFilter(this);
    m_list->installEventFilter(this);
    m_find->setFocus();
}

bool FrmFind::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (watched == m_find && key->key() == Qt::Key_Down && m_typingPause->isActive())
        CmdFind_Click(); // the list shows what was typed before the clerk moves into it
    if (watched == m_find && key->key() == Qt::Key_Down && m_model.rowCount() > 0) {
        m_list->setFocus();
        if (!m_list->currentIndex().isValid())
            m_list->setCurrentIndex(m_model.index(0, 0));
        return true;
    }
    if (watched == m_list && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        LvFind_DblClick(m_list->currentIndex());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void FrmFind::ViewMainTable(const QString& moduleName, bool activeDblClick) {
    m_moduleName = moduleName;
    m_activeDblClick = activeDblClick;
    const LookupModule* lookup = findModule(m_moduleName);
    if (!lookup)
        return;
    QList<RowSetModel::Column> columns;
    for (const LookupColumn& column : lookup->columns)
        columns.append({column.caption.forKind(m_state.isAir()), column.widthTwips});
    m_model.setColumns(columns);
    m_title->setText(lookup->title.forKind(m_state.isAir()));
}

void FrmFind::ShowQuery(const QString& moduleName, bool inForm) {
    const LookupModule* lookup = findModule(moduleName);
    if (!lookup)
        return;
    Params params = lookup->filter;
    BusyCursor busy;
    try {
        if (!inForm) {
            m_model.refill(m_state.Conn, lookup->firstView, params);
            return;
        }
        const QString pattern = QStringLiteral("%") + m_find->text() + QStringLiteral("%");
        for (qsizetype i = lookup->search.count(QLatin1String("LIKE ?")); i > 0; --i)
            params.append(pattern);
        // Tens of thousands of matches show their first rows at once, the rest as it scrolls.
        m_model.refillInPages(m_state.Conn, lookup->search, params);
    } catch (const DbError& e) {
        showDbError(this, e);
    }
}

void FrmFind::CmdFind_Click() {
    m_typingPause->stop();
    m_topNote->hide();
    ShowQuery(m_moduleName, true);
}

void FrmFind::LvFind_DblClick(const QModelIndex& index) {
    if (!index.isValid() || !m_activeDblClick)
        return;
    copyToCaller(index.row());
    accept();
}

void FrmFind::copyToCaller(int row) {
    const LookupModule* lookup = findModule(m_moduleName);
    if (!lookup || !m_caller)
        return;
    const QStringList boxes = lookup->targets.value(m_moduleName.toLower());
    QWidget* window = m_caller->window();
    for (int column = 0; column < boxes.size(); ++column) {
        if (auto* box = window->findChild<QWidget*>(boxes.at(column)))
            fillBox(box, m_model.text(row, column));
    }
}

void bindLookupKey(QAbstractButton* button, const QString& moduleName) {
    if (const LookupModule* lookup = findModule(moduleName))
        KeyGuard::setLookup(button, lookup->targets.value(moduleName.toLower()));
}

void ShowFind(AppState& state, QWidget* caller, const QString& moduleName, bool activeDblClick) {
    FrmFind dialog(state, caller, caller ? caller->window() : nullptr);
    dialog.ViewMainTable(moduleName, activeDblClick);
    dialog.ShowQuery(moduleName, false);
    dialog.exec();
}

} // namespace vastrel
