#include "FormHelpers.h"

#include "Database.h"
#include "InputHelpers.h"
#include "Messages.h"
#include "RowSetModel.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTextCursor>

#include <algorithm>

namespace vastrel {

namespace {

void selectCharacter(QWidget* box, int position) {
    if (auto* line = qobject_cast<QLineEdit*>(box)) {
        line->setSelection(position, 1);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(box)) {
        QTextCursor cursor = plain->textCursor();
        cursor.setPosition(position);
        cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
        plain->setTextCursor(cursor);
    }
}

// Rewrites the box's text plain as one undoable edit, the cursor staying after the same letters.
void replaceKeepingCursor(QWidget* box, const QString& plain) {
    const auto plainBefore = [](const QString& prefix) {
        const QString rewritten = WithPlainLetters(prefix);
        return static_cast<int>((rewritten.isEmpty() ? prefix : rewritten).size());
    };
    if (auto* line = qobject_cast<QLineEdit*>(box)) {
        const int cursor = plainBefore(line->text().left(line->cursorPosition()));
        line->selectAll();
        line->insert(plain);
        line->setCursorPosition(cursor);
    } else if (auto* multiLine = qobject_cast<QPlainTextEdit*>(box)) {
        QTextCursor cursor = multiLine->textCursor();
        const int position = plainBefore(multiLine->toPlainText().left(cursor.position()));
        cursor.select(QTextCursor::Document);
        cursor.insertText(plain);
        cursor.setPosition(position);
        multiLine->setTextCursor(cursor);
    }
}

} // namespace

QString boxText(const QWidget* box) {
    if (auto* line = qobject_cast<const QLineEdit*>(box))
        return line->text();
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(box))
        return plain->toPlainText();
    return QString();
}

bool CheckChar(QWidget* box, const QString& fieldLabel) {
    const QString text = boxText(box);
    const QList<int> positions = InvalidCharPositions(text);
    if (positions.isEmpty())
        return true;
    // Names copied from shipping papers carry accents: the clerk may have them written plain.
    const QString plain = WithPlainLetters(text);
    if (!plain.isEmpty() && Messages::ask(box, PlainLettersQuestion(text, positions, plain),
                                          InvalidCharTitle(fieldLabel))) {
        replaceKeepingCursor(box, plain);
        return true;
    }
    Messages::show(box, InvalidCharMessage(text, positions), InvalidCharTitle(fieldLabel),
                   Messages::Icon::Exclamation);
    box->setFocus();
    selectCharacter(box, positions.last() - 1);
    return false;
}

QPlainTextEdit* multiLineBox(const QString& name, int maxLength, int lines, QWidget* parent) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    if (lines > 0)
        box->setFixedHeight(box->fontMetrics().lineSpacing() * lines + 10);
    limitLength(box, maxLength);
    return box;
}

void limitLength(QPlainTextEdit* box, int maxLength) {
    QObject::connect(box, &QPlainTextEdit::textChanged, box, [box, maxLength] {
        const int excess = static_cast<int>(box->toPlainText().size()) - maxLength;
        if (excess <= 0)
            return;
        // Drop what went past the limit where it was typed or pasted, else the tail.
        QTextCursor cursor = box->textCursor();
        const int end = cursor.position();
        if (end >= excess) {
            cursor.setPosition(end - excess);
            cursor.setPosition(end, QTextCursor::KeepAnchor);
        } else {
            cursor.setPosition(maxLength);
            cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        }
        cursor.removeSelectedText();
    });
}

QPushButton* commandButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

int selectedRow(const QTableView* list) {
    const QModelIndexList rows = list->selectionModel()->selectedRows();
    if (!rows.isEmpty())
        return rows.first().row();
    // The row the keyboard stands on counts as picked while the list has the focus.
    return list->hasFocus() && list->currentIndex().isValid() ? list->currentIndex().row() : -1;
}

void setKeys(QAction* action, const QList<QKeySequence>& keys) {
    action->setShortcuts(keys);
    action->setToolTip(action->toolTip() + " (" + keys.first().toString(QKeySequence::NativeText) +
                       ")");
}

void showDbError(QWidget* parent, const DbError& error) {
    Messages::show(parent, error.indonesian());
}

void runGuarded(QWidget* parent, const std::function<void()>& action) {
    try {
        action();
    } catch (const DbError& error) {
        showDbError(parent, error);
    }
}

} // namespace vastrel
