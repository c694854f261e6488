#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QAbstractButton;
class QComboBox;
class QKeySequence;
class QLineEdit;
class QWidget;

namespace vastrel {

inline const QString kLockedMessage = QStringLiteral(
    "Data ini tidak dapat diubah\r\n\r\natau\r\n\r\nKlik dahulu tombol New atau Edit");

// The keyboard behaviour every screen shares: Enter moves to the next field
// (and selects its text) except in the multi-line fields, letters typed into
// text boxes become capitals, typing into a locked box only shows
// kLockedMessage, and F4 opens the lookup of a box that has one. Locked combo
// boxes refuse every change. Alt with a letter no access key takes types nothing,
// and a button's access key first finishes the edit of the focused box.
class KeyGuard : public QObject {
    Q_OBJECT
public:
    // Guards every field of `form` that exists when it is called.
    static void install(QWidget* form);

    // Locks or unlocks every field of `form` whose name begins with "txt" or "cmb".
    static void LockControls(QWidget* form, bool locked);
    static void setLocked(QWidget* field, bool locked);
    static bool isLocked(const QWidget* field);

    // F4 in one of the boxes named `boxes` (in the button's window) clicks `button`,
    // the lookup that fills them, when it is enabled.
    static void setLookup(QAbstractButton* button, const QStringList& boxes);

    // `key` presses `button` from anywhere in its window, as the button's access key does.
    static void addKey(QAbstractButton* button, const QKeySequence& key);

    // Moves the focus to the next field in tab order and selects its text.
    static void focusNext(QWidget* from);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
    // Runs the check `focused` has for leaving it, as a click elsewhere would; false when the
    // box refused its text (the message shown, the box keeping the focus).
    static bool finishEditing(QWidget* focused);
};

// Runs `check` when the user leaves `box`; a failed check takes the focus back.
// Locked or disabled boxes, and focus lost to another window or a popup, are not checked.
void checkOnLeaving(QLineEdit* box, std::function<bool()> check);

// A list-only combo box: keys that would type a character are discarded.
void refuseTyping(QComboBox* combo);

// A date box: typing keeps only digits and "-"; leaving it normalises the
// date to dd-mm-yyyy or, when it is no date, says so and keeps the focus.
class DateField {
public:
    static void attach(QLineEdit* box);
    // Normalises the box; false (after the message) when it holds no valid date.
    static bool check(QLineEdit* box);
};

} // namespace vastrel
