#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>

class QWidget;

namespace vastrel {

// Lets a window's command shortcuts win over the text-editing keys its boxes claim.
// On a desktop a text box takes Ctrl+E (end of line), Ctrl+U (delete line) and others
// before any shortcut; for the command keys of `window` this refuses that claim, so
// the command runs from every field. Every other key keeps its text-editing meaning.
class CommandKeys : public QObject {
public:
    CommandKeys(QWidget* window, QList<QKeySequence> keys);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    QList<QKeySequence> m_keys;
};

} // namespace vastrel
