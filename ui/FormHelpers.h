#pragma once

#include <functional>

#include <QKeySequence>
#include <QList>
#include <QString>

class QAction;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QWidget;

namespace vastrel {

class Database;
class DbError;
class RowSetModel;

inline const QString kSelectRowMessage = QStringLiteral("Silahkan pilih data yang akan dihapus");
inline const QString kAskDeleteMessage = QStringLiteral("Apakah Anda akan menghapus data?");
inline const QString kDeletedMessage = QStringLiteral("Data berhasil di hapus");

// The text of a QLineEdit or QPlainTextEdit.
QString boxText(const QWidget* box);

// Refuses a text box holding characters the database must not get: lists
// them in one message titled after `fieldLabel`, focuses the box and selects
// the last of them. When they are all accented Latin letters it first offers
// to write them plain; Yes does so and passes. True when the text is clean.
bool CheckChar(QWidget* box, const QString& fieldLabel);

// A multi-line box keeps at most `maxLength` characters, as a single-line box
// with a maximum length does.
void limitLength(QPlainTextEdit* box, int maxLength);

// A multi-line box of at most `maxLength` characters with a vertical scroll bar,
// `lines` lines high (0: as high as its layout makes it).
QPlainTextEdit* multiLineBox(const QString& name, int maxLength, int lines, QWidget* parent);

// A push button that Enter in a text box of its dialog does not press.
QPushButton* commandButton(const QString& name, const QString& caption, QWidget* parent);

// The row selected in a report list, else the row the keyboard stands on while the list has
// the focus, or -1.
int selectedRow(const QTableView* list);

// Gives `action` its keys and names the first of them in its tool tip.
void setKeys(QAction* action, const QList<QKeySequence>& keys);

// Tells the user why a statement failed.
void showDbError(QWidget* parent, const DbError& error);
// Runs `action`; a database failure inside it is shown over `parent` instead of escaping.
void runGuarded(QWidget* parent, const std::function<void()>& action);

} // namespace vastrel
