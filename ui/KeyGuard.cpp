#include "KeyGuard.h"

#include "InputHelpers.h"
#include "Messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTimer>

namespace vastrel {

namespace {

// Fields in which Enter starts a new line.
const QStringList kMultiLineFields = {
    "TXTSHIPPERNM",     "TXTSHIPPERADDR", "TXTNOTIFYNM",   "TXTNOTIFYADDR", "TXTCONSIGNEENM",
    "TXTCONSIGNEEADDR", "TXTMARK",        "TXTKETERANGAN", "TXTALAMAT",     "TXTNAMA"};

const char* kLockedProperty = "vastrelLocked";
const char* kLookupBoxesProperty = "vastrelLookupBoxes";

bool isTextBox(const QObject* o) {
    return qobject_cast<const QLineEdit*>(o) || qobject_cast<const QPlainTextEdit*>(o);
}

bool isEnter(const QKeyEvent* e) {
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
}

void selectAll(QWidget* w) {
    if (auto* line = qobject_cast<QLineEdit*>(w))
        line->selectAll();
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
        plain->selectAll();
}

// A key that types a character (not Tab, not a Ctrl or Alt shortcut).
bool typesCharacter(const QKeyEvent* e) {
    return !e->text().isEmpty() && e->key() != Qt::Key_Tab && e->key() != Qt::Key_Backtab &&
           !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

// Clicks the enabled lookup button of the window that fills `field`; false when there is none.
bool openLookup(QWidget* field) {
    for (QAbstractButton* button : field->window()->findChildren<QAbstractButton*>()) {
        const QStringList boxes = button->property(kLookupBoxesProperty).toStringList();
        if (button->isEnabled() && boxes.contains(field->objectName(), Qt::CaseInsensitive)) {
            button->click();
            return true;
        }
    }
    return false;
}

// Alt with a character that no access key took: it types nothing.
bool isUnclaimedAltCharacter(const QKeyEvent* e) {
    return (e->modifiers() & Qt::AltModifier) && !(e->modifiers() & Qt::ControlModifier) &&
           !e->text().isEmpty() && e->text().at(0).isPrint();
}

bool handleKey(QWidget* field, QKeyEvent* e) {
    if (e->key() == Qt::Key_F4 && e->modifiers() == Qt::NoModifier)
        return openLookup(field);
    if (isEnter(e) && !(e->modifiers() & Qt::ControlModifier)) {
        if (auto* button = qobject_cast<QAbstractButton*>(field)) {
            button->click();
            return true;
        }
        // In a multi-line field Enter starts a new line, which a locked field refuses.
        if (kMultiLineFields.contains(field->objectName().toUpper()))
            return KeyGuard::isLocked(field);
        KeyGuard::focusNext(field);
        return true;
    }
    if (isUnclaimedAltCharacter(e))
        return true;
    if (qobject_cast<QComboBox*>(field) && KeyGuard::isLocked(field))
        return e->key() != Qt::Key_Tab && e->key() != Qt::Key_Backtab;
    if (!isTextBox(field) || !typesCharacter(e))
        return false;
    if (KeyGuard::isLocked(field)) {
        if (e->key() != Qt::Key_Escape)
            Messages::show(field, kLockedMessage, Messages::kDefaultTitle,
                           Messages::Icon::Information);
        return true;
    }
    const QString upper = e->text().toUpper();
    if (upper == e->text())
        return false;
    QKeyEvent capital(QEvent::KeyPress, e->key(), e->modifiers(), upper, e->isAutoRepeat());
    QCoreApplication::sendEvent(field, &capital);
    return true;
}

} // namespace

void KeyGuard::install(QWidget* form) {
    auto* guard = new KeyGuard(form);
    for (QWidget* child : form->findChildren<QWidget*>()) {
        child->installEventFilter(guard);
        // Tab leaves a multi-line field, as in every other field; a text never holds a tab.
        if (auto* plain = qobject_cast<QPlainTextEdit*>(child))
            plain->setTabChangesFocus(true);
    }
}

bool KeyGuard::eventFilter(QObject* watched, QEvent* event) {
    auto* field = qobject_cast<QWidget*>(watched);
    if (!field)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
        return handleKey(field, static_cast<QKeyEvent*>(event));
    case QEvent::Shortcut:
        // A button's access key first finishes the edit of the focused box, as a click does;
        // a box that refuses its text keeps the focus and the button is not pressed.
        return qobject_cast<QAbstractButton*>(field) &&
               !KeyGuard::finishEditing(QApplication::focusWidget());
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        // A locked combo box keeps its value.
        return qobject_cast<QComboBox*>(field) && isLocked(field);
    default:
        return false;
    }
}

void KeyGuard::setLocked(QWidget* field, bool locked) {
    if (auto* line = qobject_cast<QLineEdit*>(field))
        line->setReadOnly(locked);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(field))
        plain->setReadOnly(locked);
    field->setProperty(kLockedProperty, locked);
}

void KeyGuard::setLookup(QAbstractButton* button, const QStringList& boxes) {
    button->setProperty(kLookupBoxesProperty, boxes);
}

void KeyGuard::addKey(QAbstractButton* button, const QKeySequence& key) {
    auto* shortcut = new QShortcut(key, button);
    QObject::connect(shortcut, &QShortcut::activated, button, [button] {
        if (button->isEnabled() && KeyGuard::finishEditing(QApplication::focusWidget()))
            button->animateClick();
    });
}

bool KeyGuard::isLocked(const QWidget* field) {
    if (auto* line = qobject_cast<const QLineEdit*>(field))
        return line->isReadOnly();
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(field))
        return plain->isReadOnly();
    return field->property(kLockedProperty).toBool();
}

void KeyGuard::LockControls(QWidget* form, bool locked) {
    for (QWidget* child : form->findChildren<QWidget*>()) {
        const QString name = child->objectName().toLower();
        if (name.startsWith("txt") || name.startsWith("cmb"))
            setLocked(child, locked);
    }
}

void KeyGuard::focusNext(QWidget* from) {
    QWidget* window = from->window();
    for (QWidget* w = from->nextInFocusChain(); w && w != from; w = w->nextInFocusChain()) {
        if (w->window() == window && w->isEnabled() && w->isVisibleTo(window) &&
            (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(Qt::TabFocusReason);
            selectAll(w);
            return;
        }
    }
}

// ---- checks on leaving a box ----

namespace {

const char* kLeaveCheckName = "vastrelLeaveCheck";

class LeaveCheck : public QObject {
public:
    LeaveCheck(QLineEdit* box, std::function<bool()> check)
        : QObject(box), m_box(box), m_check(std::move(check)) {
        setObjectName(kLeaveCheckName);
        box->installEventFilter(this);
    }

    // Runs the check of an editable box now; false when the box refused its text.
    bool checkNow() const { return m_box->isReadOnly() || !m_box->isEnabled() || m_check(); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::FocusOut || m_box->isReadOnly() || !m_box->isEnabled())
            return false;
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return false;
        if (!m_check())
            QTimer::singleShot(0, m_box, [box = m_box] {
                box->setFocus();
                box->selectAll();
            });
        return false;
    }

private:
    QLineEdit* m_box;
    std::function<bool()> m_check;
};

class TypingRefused : public QObject {
public:
    explicit TypingRefused(QComboBox* combo) : QObject(combo) { combo->installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        return !key->text().isEmpty() && key->key() != Qt::Key_Tab &&
               key->key() != Qt::Key_Backtab && !isEnter(key) && key->key() != Qt::Key_Escape;
    }
};

} // namespace

bool KeyGuard::finishEditing(QWidget* focused) {
    if (!focused)
        return true;
    const auto* check = dynamic_cast<const LeaveCheck*>(
        focused->findChild<QObject*>(kLeaveCheckName, Qt::FindDirectChildrenOnly));
    return !check || check->checkNow();
}

void checkOnLeaving(QLineEdit* box, std::function<bool()> check) {
    new LeaveCheck(box, std::move(check));
}

void refuseTyping(QComboBox* combo) {
    new TypingRefused(combo);
}

// ---- DateField ----

void DateField::attach(QLineEdit* box) {
    QObject::connect(box, &QLineEdit::textEdited, box, [box] {
        const FilteredText filtered = FilterDate(box->text(), box->cursorPosition());
        if (filtered.text != box->text()) {
            box->setText(filtered.text);
            box->setCursorPosition(filtered.cursor);
        }
    });
    checkOnLeaving(box, [box] { return check(box); });
}

bool DateField::check(QLineEdit* box) {
    const DateCheck result = CheckDate(box->text());
    box->setText(result.text);
    switch (result.message) {
    case DateCheck::Message::None:
        return true;
    case DateCheck::Message::Format:
        Messages::show(box, kDateFormatMessage, Messages::kDefaultTitle, Messages::Icon::None);
        break;
    case DateCheck::Message::FormatInformation:
        Messages::show(box, kDateFormatMessage, Messages::kInformation,
                       Messages::Icon::Exclamation);
        break;
    case DateCheck::Message::InvalidDate:
        Messages::show(box, kInvalidDateMessage, Messages::kDefaultTitle, Messages::Icon::None);
        break;
    }
    box->selectAll();
    return false;
}

} // namespace vastrel
