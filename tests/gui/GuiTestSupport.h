#pragma once

#include "Messages.h"

#include <QLineEdit>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QWidget>

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

// Types `text` into `field` as a user would, key by key.
void typeInto(QWidget* field, const QString& text);
void pressEnter(QWidget* field);

// The Alt letters that more than one button of `form` claims.
QStringList clashingMnemonics(const QWidget* form);

} // namespace vastrel::test
