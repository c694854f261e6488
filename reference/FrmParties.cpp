#include "FrmParties.h"

#include "FormHelpers.h"
#include "KeyGuard.h"
#include "Messages.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace vastrel {

namespace {

const QString kNewMode = QStringLiteral("New");
const QString kEditMode = QStringLiteral("Edit");
// Kind names by code: "1", "2", "3".
const QStringList kKindNames = {QStringLiteral("Shipper"), QStringLiteral("Consignee"),
                                QStringLiteral("Notify")};
constexpr int kKindColumn = 3;
constexpr int kMaxFieldLength = 2000;

QString kindName(const QVariant& code) {
    const int index = code.toString().trimmed().toInt() - 1;
    return index >= 0 && index < kKindNames.size() ? kKindNames.at(index) : QString();
}

} // namespace

FrmParties::FrmParties(AppState& state, QWidget* parent)
    : QDialog(parent), m_state(state), m_model(this),
      m_nama(multiLineBox(QStringLiteral("TxtNama"), kMaxFieldLength, 4, this)),
      m_alamat(multiLineBox(QStringLiteral("TxtAlamat"), kMaxFieldLength, 4, this)),
      m_jenis(new QComboBox(this)), m_list(new QTableView(this)), m_edit(new QLabel(this)),
      m_new(commandButton(QStringLiteral("CmdNew"), QStringLiteral("&New"), this)),
      m_save(commandButton(QStringLiteral("CmdSave"), QStringLiteral("&Save"), this)),
      m_delete(commandButton(QStringLiteral("CmdDelete"), QStringLiteral("&Delete"), this)),
      m_close(commandButton(QStringLiteral("CmdClose"), QStringLiteral("&Close"), this)) {
    setObjectName(QStringLiteral("FrmParties"));
    setWindowTitle(QStringLiteral("Referensi Parties"));
    setFont(QFont(QStringLiteral("Verdana"), 9));
    resize(700, 520);
    m_jenis->setObjectName(QStringLiteral("CmbJenis"));
    m_jenis->installEventFilter(this);
    m_list->setObjectName(QStringLiteral("LvParties"));
    m_edit->setObjectName(QStringLiteral("LblEdit"));
    m_model.setColumns({{QStringLiteral("ID"), 700},
                        {QStringLiteral("Nama Parties"), 3500},
                        {QStringLiteral("Alamat Parties"), 4500},
                        {QStringLiteral("Tipe Parties"), 1500}});
    m_model.setFormatter(kKindColumn, kindName);
    showAsReportList(m_list, &m_model);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Nama"), m_nama);
    fields->addRow(QStringLiteral("Alamat"), m_alamat);
    fields->addRow(QStringLiteral("Jenis Parties"), m_jenis);
    fields->addRow(QString(), m_edit);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {m_new, m_save, m_delete, m_close})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(m_new, &QPushButton::clicked, this, &FrmParties::CmdNew_Click);
    connect(m_save, &QPushButton::clicked, this, &FrmParties::CmdSave_Click);
    connect(m_delete, &QPushButton::clicked, this, &FrmParties::CmdDelete_Click);
    connect(m_close, &QPushButton::clicked, this, &FrmParties::close);
    connect(m_list, &QTableView::doubleClicked, this, &FrmParties::LvParties_DblClick);
    connect(m_nama, &QPlainTextEdit::textChanged, this,
            [this] { CheckChar(m_nama, QStringLiteral("Nama")); });
    connect(m_alamat, &QPlainTextEdit::textChanged, this,
            [this] { CheckChar(m_alamat, QStringLiteral("Alamat Parties")); });

    Form_Load();
    KeyGuard::install(this);
}

// The kind is chosen from the list only: typed characters are dropped.
bool FrmParties::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_jenis && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        return !key->text().isEmpty() && key->key() != Qt::Key_Tab &&
               key->key() != Qt::Key_Backtab && key->key() != Qt::Key_Escape;
    }
    return QDialog::eventFilter(watched, event);
}

void FrmParties::Form_Load() {
    FillJenisParties();
    ViewParties();
    m_new->setEnabled(true);
    m_save->setEnabled(false);
    setFieldsEnabled(false);
    m_edit->setText(kNewMode);
}

void FrmParties::FillJenisParties() {
    m_jenis->clear();
    m_jenis->addItems(kKindNames);
    m_jenis->setCurrentIndex(0);
}

void FrmParties::ViewParties() {
    try {
        m_model.refill(m_state.Conn,
                       QStringLiteral("SELECT idparties,NamaParties,AlmtParties,KodeParties "
                                      "FROM tblparties ORDER BY idparties DESC"));
    } catch (const DbError& e) {
        Messages::show(this,
                       QStringLiteral("Procedure InsertToGrid : ") + QString::fromUtf8(e.what()),
                       Messages::kInformation, Messages::Icon::Information);
    }
}

void FrmParties::setFieldsEnabled(bool enabled) {
    m_nama->setEnabled(enabled);
    m_alamat->setEnabled(enabled);
    m_jenis->setEnabled(enabled);
}

void FrmParties::CmdNew_Click() {
    setFieldsEnabled(true);
    m_nama->clear();
    m_alamat->clear();
    m_nama->setFocus();
    m_new->setEnabled(false);
    m_save->setEnabled(true);
    m_edit->setText(kNewMode);
}

void FrmParties::LvParties_DblClick(const QModelIndex& index) {
    if (!index.isValid())
        return;
    const int row = index.row();
    setFieldsEnabled(true);
    m_save->setEnabled(true);
    m_new->setEnabled(true);
    m_idParties = m_model.values(row).at(0);
    m_edit->setText(kEditMode);
    m_nama->setPlainText(m_model.text(row, 1));
    m_alamat->setPlainText(m_model.text(row, 2));
    m_jenis->setCurrentText(m_model.text(row, kKindColumn));
    m_nama->setFocus();
}

void FrmParties::CmdSave_Click() {
    const QString name = m_nama->toPlainText();
    if (!name.trimmed().isEmpty()) {
        saveParty(name);
    } else if (name.isEmpty()) {
        Messages::show(this, QStringLiteral("Silahkan isi nama parties"));
        m_nama->setFocus();
    } else if (m_alamat->toPlainText().isEmpty()) {
        Messages::show(this, QStringLiteral("Silahkan isi alamat parties"));
        m_alamat->setFocus();
    }
}

void FrmParties::saveParty(const QString& name) {
    if (!CheckChar(m_nama, QStringLiteral("Nama Parties")) ||
        !CheckChar(m_alamat, QStringLiteral("Alamat Parties")))
        return;
    const qsizetype kind = kKindNames.indexOf(m_jenis->currentText());
    if (kind >= 0)
        m_kodeParties = QString::number(kind + 1);
    const QString address = m_alamat->toPlainText();
    try {
        if (m_edit->text() == kNewMode)
            m_state.Conn.exec(QStringLiteral("INSERT INTO tblparties(NamaParties,AlmtParties,"
                                             "KodeParties) VALUES (?,?,?)"),
                              {name, address, m_kodeParties});
        else
            m_state.Conn.exec(QStringLiteral("UPDATE tblparties SET NamaParties = ?, AlmtParties "
                                             "= ?, KodeParties = ? WHERE idparties = ?"),
                              {name, address, m_kodeParties, m_idParties});
    } catch (const DbError& e) {
        showDbError(this, e);
        return;
    }
    endEditing();
    setFieldsEnabled(false);
    m_new->setFocus();
    ViewParties();
}

// After a save or a delete the next save needs New or a double-click first.
void FrmParties::endEditing() {
    m_new->setEnabled(true);
    m_save->setEnabled(false);
    m_edit->clear();
}

void FrmParties::CmdDelete_Click() {
    if (!deleteSelectedRow(this, m_list, m_model, m_state.Conn,
                           QStringLiteral("DELETE FROM tblparties WHERE idparties = ?")))
        return;
    endEditing();
    ViewParties();
    Messages::show(this, kDeletedMessage, Messages::kInformation, Messages::Icon::Information);
}

} // namespace vastrel
