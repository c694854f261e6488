// The message seam's dialogs: file dialogs start in the folder of the file chosen last, and
// Qt's own dialogs speak Indonesian.

#include "GuiTestSupport.h"
#include "IndonesianTexts.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

using namespace vastrel;
using namespace vastrel::test;

class MessagesTest : public QObject {
    Q_OBJECT

    // Where the next save dialog for `proposed` starts, answered with `chosen`.
    static QString saveStartsAt(const QString& proposed, const QString& chosen = {}) {
        if (!chosen.isEmpty())
            Messages::nextFileName(chosen);
        Messages::saveFileName(nullptr, "Save", proposed, "*");
        return Messages::takeLog().value(0).text;
    }

private slots:
    void fileDialogsStartInTheFolderUsedLast() {
        RecordedMessages messages;
        QCOMPARE(saveStartsAt("/home/clerk/VST1.txt", "/srv/out/first.txt"),
                 QString("/home/clerk/VST1.txt"));
        QCOMPARE(saveStartsAt("/home/clerk/VST2.txt"), QString("/srv/out/VST2.txt"));
        Messages::nextFileName("/srv/in/manifest.xlsx");
        Messages::openFileName(nullptr, "Open", "*");
        QCOMPARE(Messages::takeLog().value(0).text, QString("/srv/out"));
        QCOMPARE(saveStartsAt("report.pdf"), QString("/srv/in/report.pdf"));
    }

    void qtsOwnDialogsSpeakIndonesian() {
        installIndonesianTexts(*qApp);
        QMessageBox box(QMessageBox::Question, "Information", "?",
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Yes)->text(), QString("&Ya"));
        QCOMPARE(box.button(QMessageBox::No)->text(), QString("&Tidak"));
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), QString("Batal"));
        QFileDialog files;
        files.setOption(QFileDialog::DontUseNativeDialog);
        files.setAcceptMode(QFileDialog::AcceptSave);
        QCOMPARE(child<QLabel>(&files, "lookInLabel")->text(), QString("Lihat di:"));
        QCOMPARE(QCoreApplication::translate("vastrel::ReportPreview", "Save as &PDF"),
                 QString("Simpan sebagai &PDF"));
    }
};

QTEST_MAIN(MessagesTest)
#include "MessagesTest.moc"
