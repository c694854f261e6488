#include "FrmParties.h"

#include "FormHelpers.h"
#include "KeyGuard.h"
#include "Messages.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace vastrel {

namespace {

// Kind names by code; any other code, " 1" or "01" among them, has no name.
const QStringList kKindCodes = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};
const QStringList kKindNames = {QStringLiteral("Shipper"), QStringLiteral("Consignee"),
                                QStringLiteral("Notify")};
constexpr int kKindColumn = 3;
constexpr int kMaxFieldLength = 2000;

QString kindName(const QVariant& code) {
    return kKindNames.value(kKindCodes.indexOf(code.toString()));
}

} // namespace

FrmParties::FrmParties(AppState& state, QWidget* parent)
    : ReferenceDialog(state, QStringLiteral("FrmParties"), QStringLiteral("LvParties"), parent),
      m_nama(multiLineBox(QStringLiteral("TxtNama"), kMaxFieldLength, 4, this)),
      m_alamat(multiLineBox(QStringLiteral("TxtAlamat"), kMaxFieldLength, 4, this)),
      m_jenis(new QComboBox(this)) {
    setWindowTitle(QStringLiteral("Referensi Parties"));
    resize(700, 520);
    m_jenis->setObjectName(QStringLiteral("CmbJenis"));
    refuseTyping(m_jenis); // the kind is chosen from the list only
    m_model.setColumns({{QStringLiteral("ID"), 700},
                        {QStringLiteral("Nama Parties"), 3500},
                        {QStringLiteral("Alamat Parties"), 4500},
                        {QStringLiteral("Tipe Parties"), 1500}});
    m_model.setFormatter(kKindColumn, kindName);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Nama"), m_nama);
    fields->addRow(QStringLiteral("Alamat"), m_alamat);
    fields->addRow(QStringLiteral("Jenis Parties"), m_jenis);
    fields->addRow(QString(), m_edit);
    setFields(fields);
    connect(m_nama, &QPlainTextEdit::textChanged, this,
            [this] { CheckChar(m_nama, QStringLiteral("Nama")); });
    connect(m_alamat, &QPlainTextEdit::textChanged, this,
            [this] { CheckChar(m_alamat, QStringLiteral("Alamat Parties")); });

    Form_Load();
    KeyGuard::install(this);
}

void FrmParties::Form_Load() {
    FillJenisParties();
    ViewParties();
    leaveEditing(kNewMode);
    setFieldsEnabled(false);
}

void FrmParties::FillJenisParties() {
    m_jenis->clear();
    m_jenis->addItems(kKindNames);
    m_jenis->setCurrentIndex(0);
}

void FrmParties::ViewParties() {
    InsertToGrid(this, m_model, m_state.Conn,
                 QStringLiteral("SELECT idparties,NamaParties,AlmtParties,KodeParties "
                                "FROM tblparties ORDER BY idparties DESC"));
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
    enterNewMode();
}

void FrmParties::showRow(int row) {
    setFieldsEnabled(true);
    enterEditMode(row);
    m_nama->setPlainText(m_model.text(row, 1));
    m_alamat->setPlainText(m_model.text(row, 2));
    m_jenis->setCurrentText(m_model.text(row, kKindColumn));
    m_nama->setFocus();
}

void FrmParties::CmdSave_Click() {
    const QString name = m_nama->toPlainText();
    if (!name.trimmed().isEmpty()) {
        saveParty();
    } else if (name.isEmpty()) {
        Messages::show(this, QStringLiteral("Silahkan isi nama parties"));
        m_nama->setFocus();
    } else if (m_alamat->toPlainText().isEmpty()) {
        Messages::show(this, QStringLiteral("Silahkan isi alamat parties"));
        m_alamat->setFocus();
    }
}

void FrmParties::saveParty() {
    if (!CheckChar(m_nama, QStringLiteral("Nama Parties")) ||
        !CheckChar(m_alamat, QStringLiteral("Alamat Parties")))
        return;
    const QString name = m_nama->toPlainText();
    const qsizetype kind = kKindNames.indexOf(m_jenis->currentText());
    if (kind >= 0)
        m_kodeParties = QString::number(kind + 1);
    const QString address = m_alamat->toPlainText();
    const bool stored =
        isNewMode() ? run(QStringLiteral("INSERT INTO tblparties(NamaParties,AlmtParties,"
                                         "KodeParties) VALUES (?,?,?)"),
                          {name, address, m_kodeParties})
                    : run(QStringLiteral("UPDATE tblparties SET NamaParties = ?, AlmtParties = ?, "
                                         "KodeParties = ? WHERE idparties = ?"),
                          {name, address, m_kodeParties, m_id});
    if (!stored)
        return;
    leaveEditing(QString()); // the next save needs New or a double-click first
    setFieldsEnabled(false);
    m_new->setFocus();
    ViewParties();
}

void FrmParties::CmdDelete_Click() {
    if (!deleteSelected(QStringLiteral("DELETE FROM tblparties WHERE idparties = ?")))
        return;
    leaveEditing(QString()); // the next save needs New or a double-click first
    ViewParties();
    Messages::show(this, kDeletedMessage, Messages::kInformation, Messages::Icon::Information);
}

} // namespace vastrel
