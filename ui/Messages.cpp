#include "Messages.h"

#include "UserError.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
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

// The folder of the file chosen last, where the next file dialog starts.
QString& lastFolder() {
    static QString folder;
    return folder;
}

// The proposed file name in the folder used last; as proposed before any file was chosen.
QString startingPath(const QString& proposed) {
    if (lastFolder().isEmpty())
        return proposed;
    return QDir(lastFolder()).filePath(QFileInfo(proposed).fileName());
}

QString remembered(const QString& chosen) {
    if (!chosen.isEmpty())
        lastFolder() = QFileInfo(chosen).absolutePath();
    return chosen;
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
    show(parent, errorText(error));
}

QString Messages::errorText(const std::exception& error) {
    const auto* known = dynamic_cast<const UserError*>(&error);
    return known ? known->indonesian() : QString::fromUtf8(error.what());
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
    const QString start = startingPath(proposed);
    if (recorder().on)
        return remembered(recordedFileName(caption, start));
    return remembered(QFileDialog::getSaveFileName(parent, caption, start, filter));
}

QString Messages::openFileName(QWidget* parent, const QString& caption, const QString& filter) {
    const QString start = startingPath(QString());
    if (recorder().on)
        return remembered(recordedFileName(caption, start));
    return remembered(QFileDialog::getOpenFileName(parent, caption, start, filter));
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
    lastFolder().clear(); // each recording starts as a fresh program
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
