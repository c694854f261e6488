#pragma once

#include "Messages.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace vastrel::test {

// Records every message box of a test and answers its questions.
struct RecordedMessages {
    RecordedMessages() { Messages::startRecording(); }
    ~RecordedMessages() { Messages::stopRecording(); }
    QList<Messages::Record> take() { return Messages::takeLog(); }
};

// The child of `parent` named `name`; fails the test when there is none.
template <typename T> T* child(QObject* parent, const QString& name) {
    T* found = parent->findChild<T*>(name);
    if (!found)
        qFatal("no child named %s", qPrintable(name));
    return found;
}

// Runs `act` on the modal dialog of type T that `open` shows, then closes it; false when
// `open` showed none.
template <typename T>
bool inNextModal(const std::function<void()>& open, const std::function<void(T*)>& act) {
    bool shown = false;
    QTimer watch;
    watch.setSingleShot(true);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            shown = true;
            act(dialog);
            dialog->reject();
        }
    });
    watch.start(0);
    open();
    return shown;
}

// Types `text` into `field` as a user would, key by key.
void typeInto(QWidget* field, const QString& text);
void pressEnter(QWidget* field);

// The Alt letters that more than one button of `form` claims.
QStringList clashingMnemonics(const QWidget* form);

} // namespace vastrel::test
