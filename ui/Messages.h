#pragma once

#include <QList>
#include <QString>

#include <exception>

class QWidget;

namespace vastrel {

// Every message box, question and file dialog of the program goes through here,
// so tests can answer and record them without a modal window.
class Messages {
public:
    enum class Icon { None, Information, Exclamation, Question };

    // The title of a box that names none.
    static const QString kDefaultTitle;
    // The title almost every box carries.
    static const QString kInformation;

    struct Record {
        QString text;
        QString title;
        Icon icon = Icon::None;
        bool question = false;
        bool answer = false; // the answer given to a question
    };

    // A box with an OK button.
    static void show(QWidget* parent, const QString& text, const QString& title = kInformation,
                     Icon icon = Icon::Exclamation);
    // A failure, in Indonesian where the program has the words (a UserError), otherwise
    // in the error's own text.
    static void showError(QWidget* parent, const std::exception& error);
    // The words showError shows for `error`.
    static QString errorText(const std::exception& error);
    // A Yes/No question; true for Yes.
    static bool ask(QWidget* parent, const QString& text, const QString& title = kInformation,
                    Icon icon = Icon::Question);
    // File dialogs start in the folder of the file chosen last, once there is one.
    // A save dialog; empty when cancelled.
    static QString saveFileName(QWidget* parent, const QString& caption, const QString& proposed,
                                const QString& filter);
    // An open dialog; empty when cancelled. Tests answer it like a save dialog.
    static QString openFileName(QWidget* parent, const QString& caption, const QString& filter);

    // An open dialog for several files; empty when cancelled. Tests answer it with every
    // queued file name.
    static QStringList openFileNames(QWidget* parent, const QString& caption,
                                     const QString& filter);

    // Test hooks: while recording, nothing modal is shown; every box is logged,
    // questions take the queued answers (Yes when none is queued) and save
    // and open dialogs the queued file names (cancelled when none is queued).
    static void startRecording();
    static void stopRecording();
    static void answerNext(bool yes);
    static void nextFileName(const QString& fileName);
    static QList<Record> takeLog();
    static QString lastText();

private:
    static void record(Record r);
};

} // namespace vastrel
