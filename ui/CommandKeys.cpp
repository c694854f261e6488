#include "CommandKeys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace vastrel {

CommandKeys::CommandKeys(QWidget* window, QList<QKeySequence> keys)
    : QObject(window), m_window(window), m_keys(std::move(keys)) {
    QCoreApplication::instance()->installEventFilter(this);
}

bool CommandKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride)
        return false;
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != m_window)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (!m_keys.contains(QKeySequence(key->keyCombination())))
        return false;
    event->ignore(); // not claimed: the shortcut map goes on to the command
    return true;
}

} // namespace vastrel
