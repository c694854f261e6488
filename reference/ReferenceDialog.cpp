#include "ReferenceDialog.h"

#include "FormHelpers.h"
#include "Messages.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace vastrel {

const QString ReferenceDialog::kNewMode = QStringLiteral("New");
const QString ReferenceDialog::kEditMode = QStringLiteral("Edit");

ReferenceDialog::ReferenceDialog(AppState& state, const QString& name, const QString& listName,
                                 QWidget* parent)
    : QDialog(parent), m_state(state), m_model(this), m_list(new QTableView(this)),
      m_edit(new QLabel(this)),
      m_new(commandButton(QStringLiteral("CmdNew"), QStringLiteral("&New"), this)),
      m_save(commandButton(QStringLiteral("CmdSave"), QStringLiteral("&Save"), this)),
      m_delete(commandButton(QStringLiteral("CmdDelete"), QStringLiteral("&Delete"), this)),
      m_close(commandButton(QStringLiteral("CmdClose"), QStringLiteral("&Close"), this)) {
    setObjectName(name);
    setFont(QFont(QStringLiteral("Verdana"), 9));
    m_list->setObjectName(listName);
    m_edit->setObjectName(QStringLiteral("LblEdit"));
    showAsReportList(m_list, &m_model);
    connect(m_new, &QPushButton::clicked, this, [this] { CmdNew_Click(); });
    connect(m_save, &QPushButton::clicked, this, [this] { CmdSave_Click(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { CmdDelete_Click(); });
    connect(m_close, &QPushButton::clicked, this, &QDialog::close);
    connect(m_list, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            showRow(index.row());
    });
}

void ReferenceDialog::setFields(QLayout* fields) {
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {m_new, m_save, m_delete, m_close})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
}

void ReferenceDialog::enterNewMode() {
    m_new->setEnabled(false);
    m_save->setEnabled(true);
    m_edit->setText(kNewMode);
}

void ReferenceDialog::enterEditMode(int row) {
    m_new->setEnabled(true);
    m_save->setEnabled(true);
    m_edit->setText(kEditMode);
    m_id = m_model.values(row).at(0);
}

void ReferenceDialog::leaveEditing(const QString& mode) {
    m_new->setEnabled(true);
    m_save->setEnabled(false);
    m_edit->setText(mode);
}

bool ReferenceDialog::isNewMode() const {
    return m_edit->text() == kNewMode;
}

bool ReferenceDialog::run(const QString& sql, const Params& values) {
    try {
        m_state.Conn.exec(sql, values);
        return true;
    } catch (const DbError& e) {
        showDbError(this, e);
        return false;
    }
}

bool ReferenceDialog::deleteSelected(const QString& deleteSql) {
    const int row = selectedRow(m_list);
    if (row < 0) {
        Messages::show(this, kSelectRowMessage);
        return false;
    }
    return Messages::ask(this, kAskDeleteMessage, Messages::kInformation,
                         Messages::Icon::Exclamation) &&
           run(deleteSql, {m_model.values(row).at(0)});
}

} // namespace vastrel
