#include "FrmKapal.h"

#include "FormHelpers.h"
#include "KeyGuard.h"
#include "Messages.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vastrel {

namespace {

const QString kNameLabel = QStringLiteral("Kapal");

} // namespace

FrmKapal::FrmKapal(AppState& state, QWidget* parent)
    : ReferenceDialog(state, QStringLiteral("FrmKapal"), QStringLiteral("LvKapal"), parent),
      m_label(new QLabel(this)), m_kapal(new QLineEdit(this)) {
    resize(460, 420);
    m_label->setObjectName(QStringLiteral("Label20"));
    m_kapal->setObjectName(QStringLiteral("TxtKapal"));
    m_kapal->setMaxLength(40);
    auto* fields = new QGridLayout;
    fields->addWidget(m_label, 0, 0);
    fields->addWidget(m_kapal, 0, 1);
    fields->addWidget(m_edit, 1, 1);
    setFields(fields);
    connect(m_kapal, &QLineEdit::textChanged, this, [this] { CheckChar(m_kapal, kNameLabel); });

    Form_Load();
    KeyGuard::install(this);
}

void FrmKapal::Form_Load() {
    leaveEditing(kNewMode);
    m_kapal->setEnabled(false);
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
    enterNewMode();
}

void FrmKapal::showRow(int row) {
    m_kapal->setEnabled(true);
    enterEditMode(row);
    m_kapal->setText(m_model.text(row, 1));
    m_kapal->setFocus();
}

void FrmKapal::CmdSave_Click() {
    const QString name = m_kapal->text();
    if (!name.trimmed().isEmpty()) {
        saveName();
    } else if (name.isEmpty()) {
        Messages::show(this, QStringLiteral("Silahkan isi nama kapala"));
        m_kapal->setFocus();
    }
    // A name of blanks only is ignored.
}

void FrmKapal::saveName() {
    if (!CheckChar(m_kapal, kNameLabel))
        return;
    const QString name = m_kapal->text();
    const bool stored =
        isNewMode() ? run(QStringLiteral("INSERT INTO tblkapal(nmkapal) VALUES (?)"), {name})
                    : run(QStringLiteral("UPDATE tblkapal SET nmkapal = ? WHERE idkapal = ?"),
                          {name, m_id});
    if (!stored)
        return;
    m_kapal->clear();
    m_kapal->setEnabled(false);
    leaveEditing(kNewMode);
    ViewKapal();
}

void FrmKapal::CmdDelete_Click() {
    if (!deleteSelected(QStringLiteral("DELETE FROM tblkapal WHERE idkapal = ?")))
        return;
    ViewKapal();
    Messages::show(this, kDeletedMessage, Messages::kInformation, Messages::Icon::Information);
}

} // namespace vastrel
