#include "Messages.h"

#include "UserError.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QQueue>

namespace vastrel {

namespace {

struct Recorder {
    bool on = false;
    QQueue<bool> answers;
    QQueue<QString> fileNames;
    QList<Messages::Record> log;
};

Recorder& recorder() {
    static Recorder r;
    return r;
}

QMessageBox::Icon boxIcon(Messages::Icon icon) {
    switch (icon) {
    case Messages::Icon::Information:
        return QMessageBox::Information;
    case Messages::Icon::Exclamation:
        return QMessageBox::Warning;
    case Messages::Icon::Question:
        return QMessageBox::Question;
    case Messages::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// A file dialog while recording: logged with its proposed name, answered with the next
// queued file name (cancelled when none is queued).
QString recordedFileName(const QString& caption, const QString& proposed) {
    recorder().log << Messages::Record{proposed, caption, Messages::Icon::None, false, false};
    return recorder().fileNames.isEmpty() ? QString() : recorder().fileNames.dequeue();
}

} // namespace

const QString Messages::kDefaultTitle = QStringLiteral("Vastrel");
const QString Messages::kInformation = QStringLiteral("Information");

void Messages::record(Record r) {
    recorder().log << r;
}

void Messages::show(QWidget* parent, const QString& text, const QString& title, Icon icon) {
    if (recorder().on) {
        record({text, title, icon, false, false});
        return;
    }
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::Ok, parent);
    box.exec();
}

void Messages::showError(QWidget* parent, const std::exception& error) {
    const auto* known = dynamic_cast<const UserError*>(&error);
    show(parent, known ? known->indonesian() : QString::fromUtf8(error.what()));
}

bool Messages::ask(QWidget* parent, const QString& text, const QString& title, Icon icon) {
    if (recorder().on) {
        const bool yes = recorder().answers.isEmpty() || recorder().answers.dequeue();
        record({text, title, icon, true, yes});
        return yes;
    }
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

QString Messages::saveFileName(QWidget* parent, const QString& caption, const QString& proposed,
                               const QString& filter) {
    if (recorder().on)
        return recordedFileName(caption, proposed);
    return QFileDialog::getSaveFileName(parent, caption, proposed, filter);
}

QString Messages::openFileName(QWidget* parent, const QString& caption, const QString& filter) {
    if (recorder().on)
        return recordedFileName(caption, QString());
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}

QStringList Messages::openFileNames(QWidget* parent, const QString& caption,
                                    const QString& filter) {
    if (!recorder().on)
        return QFileDialog::getOpenFileNames(parent, caption, QString(), filter);
    recordedFileName(caption, QString());
    return std::exchange(recorder().fileNames, {});
}

void Messages::startRecording() {
    recorder() = Recorder{};
    recorder().on = true;
}

void Messages::stopRecording() {
    recorder() = Recorder{};
}

void Messages::answerNext(bool yes) {
    recorder().answers.enqueue(yes);
}

void Messages::nextFileName(const QString& fileName) {
    recorder().fileNames.enqueue(fileName);
}

QList<Messages::Record> Messages::takeLog() {
    return std::exchange(recorder().log, {});
}

QString Messages::lastText() {
    return recorder().log.isEmpty() ? QString() : recorder().log.last().text;
}

} // namespace vastrel
