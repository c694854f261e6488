#pragma once

#include "AppState.h"
#include "PosKey.h"
#include "RowSetModel.h"
#include "ShownRow.h"

#include <QDialog>

class QComboBox;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QTableView;

namespace vastrel {

// One line of a POS as it is stored: the manifest key, the POS and the line number.
struct LineId {
    QString nodaftar;
    QString nopos;
    QString noseq;
};

// What the goods, container and document screens of one POS share: the locked
// key boxes, the line number, the New/Save/Delete/Close commands, the list of
// the POS's lines and the rules for writing a line.
//
// A line number proposed by the numbering stands for a new line: saving it
// never overwrites a stored line that already carries the number (as happens
// once the numbering has wrapped). A number taken from a list row stands for
// that row: saving it updates the row.
class PosLineDialog : public QDialog {
    Q_OBJECT
public:
    struct Layout {
        QString caption;
        QString table;    // tblhs, tblcontainer or tblpeb
        QString listName; // object name of the list
        QList<RowSetModel::Column> columns;
        // The list's query; binds the manifest key and the POS in this order.
        QString listSql;
        QString deleteQuestion;
        bool updatesReadiness = false;
        QString (*nextLine)(const Database&, const QString& nodaftar, const QString& nopos);
    };

signals:
    // A line was saved or deleted: the POS's counts and the readiness may have changed.
    void changed();

protected:
    PosLineDialog(AppState& state, const PosKey& key, Layout layout, QWidget* parent);

    // Adds a labelled entry field below the key boxes, with an optional button beside it.
    void addField(const QString& label, QWidget* field, QWidget* button = nullptr);
    // Ends the derived constructor: lists the lines, proposes the next line
    // number, disables the entry fields and guards the keyboard.
    void openForPos();

    virtual void BlankForm() = 0;
    virtual void EnableControl(bool enable) = 0;
    virtual QWidget* newLineFocus() const = 0;
    virtual void SaveLine() = 0;
    // Shows a list row (its cells as listed) in the entry fields; TxtUrut
    // already holds its number.
    virtual void showRow(const QStringList& cells) = 0;

    Database& db() { return m_state.Conn; }
    AppState& state() { return m_state; }
    LineId currentLine() const;

    // Refuses a save: the message with the exclamation icon, the focus to `field`.
    void refuse(const QString& message, QWidget* field);
    // Writes the line on screen together with the readiness it implies:
    // `update` when it is the stored line picked from the list, `insert` when
    // its number is free. False, with nothing written, when a new line's
    // number is taken. Database errors propagate.
    // Stores the line on screen with `values` in `columns` (the table's own column names):
    // inserted when new, updated when it is a stored line picked from the list.
    bool writeLine(const QStringList& columns, const Params& values);
    // The screen after a successful save: fresh list, empty fields, next line number.
    void finishSave();
    void setCommands(bool newEnabled, bool saveEnabled);

    // Shows `text` in a list-only combo box whose first `offered` items are
    // offered; a text outside them is shown as an extra item while it is needed.
    static void showComboText(QComboBox* combo, const QString& text, int offered);
    static QLineEdit* newLineEdit(const QString& name, int maxLength);
    // The "..." button that opens the lookup `moduleName`; F4 in a box it fills clicks it.
    static QPushButton* newLookupButton(const QString& name, const QString& moduleName);

    QLineEdit* TextTglDok;
    QLineEdit* TextNoDaftar;
    QLineEdit* TextPos;
    QLineEdit* TxtUrut;
    QPushButton* CmdNew;
    QPushButton* CmdSave;
    QPushButton* CmdDelete;
    QPushButton* CmdClose;

private:
    void startNewLine();
    void deleteSelected();
    void pickRow(int row);
    void proposeNextLine();
    void reloadList();
    QLineEdit* addKeyBox(const QString& name, const QString& label, const QString& text, int row,
                         int column);

    AppState& m_state;
    const Layout m_layout;
    bool m_lineIsNew = true;
    // The line picked from the list as stored then, to tell whether another clerk changed it.
    ShownRow m_shownLine;
    QGridLayout* m_fields;
    QWidget* m_lastField = nullptr;
    RowSetModel m_model;
    QTableView* m_list;
};

} // namespace vastrel
