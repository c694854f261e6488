#include "FrmKapal.h"

#include "FormHelpers.h"
#include "KeyGuard.h"
#include "Messages.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace vastrel {

namespace {

const QString kNewMode = QStringLiteral("New");
const QString kEditMode = QStringLiteral("Edit");
const QString kNameLabel = QStringLiteral("Kapal");

} // namespace

FrmKapal::FrmKapal(AppState& state, QWidget* parent)
    : QDialog(parent), m_state(state), m_model(this), m_label(new QLabel(this)),
      m_kapal(new QLineEdit(this)), m_list(new QTableView(this)), m_edit(new QLabel(this)),
      m_new(commandButton(QStringLiteral("CmdNew"), QStringLiteral("&New"), this)),
      m_save(commandButton(QStringLiteral("CmdSave"), QStringLiteral("&Save"), this)),
      m_delete(commandButton(QStringLiteral("CmdDelete"), QStringLiteral("&Delete"), this)),
      m_close(commandButton(QStringLiteral("CmdClose"), QStringLiteral("&Close"), this)) {
    setObjectName(QStringLiteral("FrmKapal"));
    setFont(QFont(QStringLiteral("Verdana"), 9));
    resize(460, 420);
    m_label->setObjectName(QStringLiteral("Label20"));
    m_kapal->setObjectName(QStringLiteral("TxtKapal"));
    m_kapal->setMaxLength(40);
    m_list->setObjectName(QStringLiteral("LvKapal"));
    m_edit->setObjectName(QStringLiteral("LblEdit"));
    showAsReportList(m_list, &m_model);

    auto* fields = new QGridLayout;
    fields->addWidget(m_label, 0, 0);
    fields->addWidget(m_kapal, 0, 1);
    fields->addWidget(m_edit, 1, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {m_new, m_save, m_delete, m_close})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(m_new, &QPushButton::clicked, this, &FrmKapal::CmdNew_Click);
    connect(m_save, &QPushButton::clicked, this, &FrmKapal::CmdSave_Click);
    connect(m_delete, &QPushButton::clicked, this, &FrmKapal::CmdDelete_Click);
    connect(m_close, &QPushButton::clicked, this, &FrmKapal::close);
    connect(m_list, &QTableView::doubleClicked, this, &FrmKapal::LvKapal_DblClick);
    connect(m_kapal, &QLineEdit::textChanged, this, [this] { CheckChar(m_kapal, kNameLabel); });

    Form_Load();
    KeyGuard::install(this);
}

void FrmKapal::Form_Load() {
    m_new->setEnabled(true);
    m_save->setEnabled(false);
    m_kapal->setEnabled(false);
    m_edit->setText(kNewMode);
    const QString kind = m_state.isAir() ? QStringLiteral("Airlines") : QStringLiteral("Kapal");
    setWindowTitle(QStringLiteral("Referensi ") + kind);
    m_label->setText(kind);
    m_model.setColumns({{QStringLiteral("id"), 0}, {kind, 4000}});
    ViewKapal();
}

void FrmKapal::ViewKapal() {
    try {
        m_model.refill(
            m_state.Conn,
            QStringLiteral("SELECT idkapal,nmkapal FROM tblkapal ORDER BY idkapal DESC"));
    } catch (const DbError& e) {
        showDbError(this, e);
    }
}

void FrmKapal::CmdNew_Click() {
    m_kapal->setEnabled(true);
    m_kapal->clear();
    m_kapal->setFocus();
    m_new->setEnabled(false);
    m_save->setEnabled(true);
    m_edit->setText(kNewMode);
}

void FrmKapal::LvKapal_DblClick(const QModelIndex& index) {
    if (!index.isValid())
        return;
    m_kapal->setEnabled(true);
    m_new->setEnabled(true);
    m_save->setEnabled(true);
    m_edit->setText(kEditMode);
    m_idKapal = m_model.values(index.row()).at(0);
    m_kapal->setText(m_model.text(index.row(), 1));
    m_kapal->setFocus();
}

void FrmKapal::CmdSave_Click() {
    const QString name = m_kapal->text();
    if (!name.trimmed().isEmpty()) {
        saveName(name);
    } else if (name.isEmpty()) {
        Messages::show(this, QStringLiteral("Silahkan isi nama kapala"));
        m_kapal->setFocus();
    }
    // A name of blanks only is ignored.
}

void FrmKapal::saveName(const QString& name) {
    if (!CheckChar(m_kapal, kNameLabel))
        return;
    try {
        if (m_edit->text() != kNewMode)
            m_state.Conn.exec(QStringLiteral("UPDATE tblkapal SET nmkapal = ? WHERE idkapal = ?"),
                              {name, m_idKapal});
        else
            m_state.Conn.exec(QStringLiteral("INSERT INTO tblkapal(nmkapal) VALUES (?)"), {name});
    } catch (const DbError& e) {
        showDbError(this, e);
        return;
    }
    m_kapal->clear();
    m_kapal->setEnabled(false);
    m_new->setEnabled(true);
    m_save->setEnabled(false);
    m_edit->setText(kNewMode);
    ViewKapal();
}

void FrmKapal::CmdDelete_Click() {
    if (!deleteSelectedRow(this, m_list, m_model, m_state.Conn,
                           QStringLiteral("DELETE FROM tblkapal WHERE idkapal = ?")))
        return;
    ViewKapal();
    Messages::show(this, kDeletedMessage, Messages::kInformation, Messages::Icon::Information);
}

} // namespace vastrel
