#include "PosLineDialog.h"

#include "FormHelpers.h"
#include "FrmFind.h"
#include "History.h"
#include "KeyGuard.h"
#include "Messages.h"
#include "Numbering.h"
#include "Readiness.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace vastrel {

namespace {

const QColor kKeyBoxColour(255, 255, 192);

QString lineTakenMessage(const QString& noseq) {
    return "No Urut " + noseq +
           " sudah dipakai oleh data lain. Pilih data tersebut dari daftar untuk mengubahnya.";
}

QPushButton* addCommand(QHBoxLayout* row, const QString& name, const QString& caption) {
    QPushButton* button = commandButton(name, caption, nullptr);
    row->addWidget(button);
    return button;
}

} // namespace

PosLineDialog::PosLineDialog(AppState& state, const PosKey& key, Layout layout, QWidget* parent)
    : QDialog(parent), m_state(state), m_layout(std::move(layout)),
      m_shownLine(m_layout.table, {QStringLiteral("*")},
                  QStringLiteral("nodaftar = ? AND nopos = ? AND noseq = ?")) {
    setWindowTitle(m_layout.caption);
    setFont(QFont(QStringLiteral("Verdana"), 8));
    auto* page = new QVBoxLayout(this);

    m_fields = new QGridLayout;
    page->addLayout(m_fields);
    TextTglDok = addKeyBox("TextTglDok", "Tanggal", key.tglDok, 0, 0);
    TextNoDaftar = addKeyBox("TextNoDaftar", "No  Dokumen", key.noDaftar, 0, 2);
    TextPos = addKeyBox("TextPos", "No Pos", key.nopos, 1, 0);
    TxtUrut = addKeyBox("TxtUrut", "No Urut", QString(), 1, 2);

    auto* commands = new QHBoxLayout;
    page->addLayout(commands);
    CmdNew = addCommand(commands, "CmdNew", "&New");
    CmdSave = addCommand(commands, "CmdSave", "&Save");
    KeyGuard::addKey(CmdSave, QKeySequence::Save);
    CmdDelete = addCommand(commands, "CmdDelete", "&Delete");
    CmdClose = addCommand(commands, "CmdClose", "&Close");
    commands->addStretch();

    m_model.setColumns(m_layout.columns);
    m_list = new QTableView;
    m_list->setObjectName(m_layout.listName);
    showAsReportList(m_list, &m_model);
    page->addWidget(m_list, 1);

    connect(CmdNew, &QPushButton::clicked, this,
            [this] { runGuarded(this, [this] { startNewLine(); }); });
    connect(CmdSave, &QPushButton::clicked, this,
            [this] { runGuarded(this, [this] { SaveLine(); }); });
    connect(CmdDelete, &QPushButton::clicked, this,
            [this] { runGuarded(this, [this] { deleteSelected(); }); });
    connect(CmdClose, &QPushButton::clicked, this, &QDialog::close);
    connect(m_list, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { pickRow(index.row()); });
}

QLineEdit* PosLineDialog::addKeyBox(const QString& name, const QString& label, const QString& text,
                                    int row, int column) {
    auto* box = new QLineEdit(text);
    box->setObjectName(name);
    KeyGuard::setLocked(box, true);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, kKeyBoxColour);
    box->setPalette(palette);
    m_fields->addWidget(new QLabel(label), row, column);
    m_fields->addWidget(box, row, column + 1);
    return box;
}

void PosLineDialog::addField(const QString& label, QWidget* field, QWidget* button) {
    const int row = m_fields->rowCount();
    if (!label.isEmpty())
        m_fields->addWidget(new QLabel(label), row, 0);
    m_fields->addWidget(field, row, 1, 1, button ? 2 : 3);
    if (button)
        m_fields->addWidget(button, row, 3, Qt::AlignLeft);
    m_lastField = button ? button : field;
}

void PosLineDialog::openForPos() {
    // The entry fields come before the commands and the list in tab order.
    QWidget* previous = m_lastField;
    for (QWidget* next : QList<QWidget*>{CmdNew, CmdSave, CmdDelete, CmdClose, m_list}) {
        setTabOrder(previous, next);
        previous = next;
    }
    runGuarded(this, [this] {
        reloadList();
        proposeNextLine();
    });
    EnableControl(false);
    setCommands(true, false);
    KeyGuard::install(this);
    // Wide enough to show every column of the list.
    const int listWidth = m_list->horizontalHeader()->length() + 2 * m_list->frameWidth() + 40;
    resize(std::max(sizeHint().width(), listWidth), sizeHint().height());
}

LineId PosLineDialog::currentLine() const {
    const PosKey key{TextTglDok->text(), TextNoDaftar->text(), TextPos->text()};
    return {key.nodaftar(), key.nopos, TxtUrut->text()};
}

void PosLineDialog::refuse(const QString& message, QWidget* field) {
    Messages::show(this, message);
    if (field)
        field->setFocus();
}

bool PosLineDialog::writeLine(const QStringList& columns, const Params& values) {
    const LineId line = currentLine();
    const Params key = {line.nodaftar, line.nopos, line.noseq};
    Transaction tx(db());
    // Clerks saving lines of one manifest take turns.
    db().lockRows(QStringLiteral("tblheader"), QStringLiteral("nodaftar = ?"), {line.nodaftar});
    const bool stored = LineExists(db(), m_layout.table, line.nodaftar, line.nopos, line.noseq);
    const QString conflict = m_lineIsNew ? QString() : m_shownLine.changedSince(db(), key);
    if ((stored && m_lineIsNew) || !conflict.isEmpty()) {
        tx.rollback(); // the lock is given back before the clerk reads why
        refuse(conflict.isEmpty() ? lineTakenMessage(line.noseq) : conflict, nullptr);
        return false;
    }
    RowChange change(db(), m_layout.table, key);
    if (stored) {
        db().exec("UPDATE " + m_layout.table + " SET " + columns.join(" = ?, ") +
                      " = ? WHERE nodaftar = ? AND nopos = ? AND noseq = ?",
                  values + key);
    } else {
        const QStringList marks(columns.size() + key.size(), QStringLiteral("?"));
        db().exec("INSERT INTO " + m_layout.table + " (nodaftar, nopos, noseq, " +
                      columns.join(", ") + ") VALUES (" + marks.join(", ") + ")",
                  key + values);
    }
    change.record();
    if (m_layout.updatesReadiness)
        UpdateStatus(db(), line.nodaftar);
    tx.commit();
    emit changed();
    return true;
}

void PosLineDialog::finishSave() {
    reloadList();
    BlankForm();
    proposeNextLine();
    EnableControl(false);
    setCommands(true, false);
    // Where the next line begins: Enter on New opens it.
    CmdNew->setFocus();
}

void PosLineDialog::setCommands(bool newEnabled, bool saveEnabled) {
    CmdNew->setEnabled(newEnabled);
    CmdSave->setEnabled(saveEnabled);
}

void PosLineDialog::showComboText(QComboBox* combo, const QString& text, int offered) {
    while (combo->count() > offered)
        combo->removeItem(offered);
    if (text.isEmpty()) {
        combo->setCurrentIndex(-1);
        return;
    }
    if (combo->findText(text) < 0)
        combo->addItem(text);
    combo->setCurrentIndex(combo->findText(text));
}

QLineEdit* PosLineDialog::newLineEdit(const QString& name, int maxLength) {
    auto* box = new QLineEdit;
    box->setObjectName(name);
    box->setMaxLength(maxLength);
    return box;
}

QPushButton* PosLineDialog::newLookupButton(const QString& name, const QString& moduleName) {
    QPushButton* button = commandButton(name, QStringLiteral("..."), nullptr);
    bindLookupKey(button, moduleName);
    // Reached with the mouse: Enter in the code box moves on to the next field.
    button->setFocusPolicy(Qt::ClickFocus);
    button->setFont(QFont(QStringLiteral("MS Sans Serif"), 8, QFont::Bold));
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(button->text()) * 3);
    return button;
}

void PosLineDialog::startNewLine() {
    proposeNextLine();
    BlankForm();
    setCommands(false, true);
    EnableControl(true);
    newLineFocus()->setFocus();
}

void PosLineDialog::deleteSelected() {
    const int row = selectedRow(m_list);
    if (row < 0) {
        Messages::show(this, kSelectRowMessage);
        return;
    }
    if (!Messages::ask(this, m_layout.deleteQuestion))
        return;
    LineId line = currentLine();
    line.noseq = m_model.text(row, 0);
    {
        Transaction tx(db());
        RowChange change(db(), m_layout.table, {line.nodaftar, line.nopos, line.noseq});
        db().exec("DELETE FROM " + m_layout.table +
                      " WHERE nodaftar = ? AND nopos = ? AND noseq = ?",
                  {line.nodaftar, line.nopos, line.noseq});
        change.record();
        if (m_layout.updatesReadiness)
            UpdateStatus(db(), line.nodaftar);
        tx.commit();
    }
    // The line on screen is gone: saving it again stores it anew.
    if (line.noseq == TxtUrut->text())
        m_lineIsNew = true;
    emit changed();
    reloadList();
}

void PosLineDialog::pickRow(int row) {
    if (row < 0 || row >= m_model.rowCount())
        return;
    QStringList cells;
    for (int column = 0; column < m_model.columnCount(); ++column)
        cells << m_model.text(row, column);
    TxtUrut->setText(cells.first());
    m_lineIsNew = false;
    const LineId line = currentLine();
    m_shownLine.remember(db(), {line.nodaftar, line.nopos, line.noseq});
    showRow(cells);
}

void PosLineDialog::proposeNextLine() {
    const LineId line = currentLine();
    TxtUrut->setText(m_layout.nextLine(db(), line.nodaftar, line.nopos));
    m_lineIsNew = true;
}

void PosLineDialog::reloadList() {
    const LineId line = currentLine();
    m_model.refill(db(), m_layout.listSql, {line.nodaftar, line.nopos});
}

} // namespace vastrel
