#include "FrmGenerate.h"
#include "DemoData.h"
#include "FlatFile.h"
#include "GuiTestSupport.h"
#include "ReferenceTestSupport.h"
#include "ReportPreview.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include <memory>

using namespace vastrel;
using namespace vastrel::test;

namespace {

const QString kDemoKey = QString::fromLatin1(kDemoManifestKey);
const QString kNotReadyKey = QStringLiteral("20240316000002");
const QString kNoDetailKey = QStringLiteral("20240317000003");

// Demo data and two more headers, listed newest first: one ready without details, one not
// ready with one POS, then the ready demo manifest.
std::unique_ptr<TestInstallation> installation(bool air = false) {
    auto inst = std::make_unique<TestInstallation>(air);
    addDemoData(inst->state.Conn, air);
    inst->state.StrInisial = "VST";
    inst->state.StrVersion = "2.1";
    const QString header = "INSERT INTO tblheader (nodaftar, jnsmanifest, vessel, voyage, kdgrup, "
                           "arrivingdate, arrivingtime, status) VALUES (?, 'Inward', ?, ?, 'A1', "
                           "'2024-03-16', '09:00:00', ?)";
    inst->exec(header, {kNotReadyKey, "O'NEIL STAR", "7", "N"});
    inst->exec("INSERT INTO tbldetail (nodaftar, nopos, nobl) VALUES (?, '0001', 'ONB1')",
               {kNotReadyKey});
    inst->exec(header, {kNoDetailKey, "MERATUS JAYA", "99", "Y"});
    return inst;
}

// What the test saw of a report preview.
struct Seen {
    bool shown = false;
    QString title, name;
    BandedReport report;
    QString pdfStart;
};

// Inspects the report preview that the next click opens, saves it as PDF to `pdfPath`, then
// closes it. The preview is modal, so this waits for it from a timer.
void onNextPreview(Seen& seen, const QString& pdfPath) {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, &seen, pdfPath] {
        auto* preview = qobject_cast<ReportPreview*>(QApplication::activeModalWidget());
        if (!preview)
            return;
        timer->deleteLater();
        seen = {true, preview->windowTitle(), preview->objectName(), preview->report(), {}};
        preview->grab().save(
            QDir(VASTREL_SCREENSHOT_DIR).filePath(preview->objectName() + "-preview.png"));
        Messages::nextFileName(pdfPath);
        child<QAction>(preview, "ActSavePdf")->trigger();
        QFile pdf(pdfPath);
        if (pdf.open(QIODevice::ReadOnly))
            seen.pdfStart = QString::fromLatin1(pdf.read(4));
        preview->reject();
    });
    timer->start(20);
}

} // namespace

class FrmGenerateTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestInstallation> inst;
    std::unique_ptr<FrmGenerate> screen;

    void open() {
        screen = std::make_unique<FrmGenerate>(inst->state);
        screen->show();
        QVERIFY(QTest::qWaitForWindowExposed(screen.get()));
    }
    QTableView* headers() { return child<QTableView>(screen.get(), "LvHeader"); }
    QTableView* details() { return child<QTableView>(screen.get(), "LvDetail"); }
    void click(const char* button) {
        QTest::mouseClick(child<QPushButton>(screen.get(), button), Qt::LeftButton);
    }
    QString file(const QString& name) { return inst->dir.filePath(name); }

private slots:
    void init() {
        inst = installation();
        open();
    }
    void cleanup() {
        screen.reset();
        inst.reset();
    }

    void listsShowHeadersWithReadinessAndTheChosenHeadersDetails() {
        QCOMPARE(columnTexts(headers(), 0), QStringList({kNoDetailKey, kNotReadyKey, kDemoKey}));
        QStringList marks;
        for (int row = 0; row < 3; ++row)
            marks << headers()->model()->index(row, 0).data(FrmGenerate::kImageKeyRole).toString();
        QCOMPARE(marks, QStringList({"ready", "notready", "ready"}));
        QCOMPARE(columnTexts(headers(), 5).last(), QString("15-03-2024"));
        QCOMPARE(columnTexts(headers(), 6).last(), QString("08:30:00"));
        QCOMPARE(details()->model()->rowCount(), 0);

        clickRow(headers(), 2);
        QCOMPARE(columnTexts(details(), 1), QStringList({"SBL0001"}));
        QCOMPARE(columnTexts(details(), 2), QStringList({"10-03-2024"}));
        QCOMPARE(columnTexts(details(), 3), QStringList({"OCEAN STAR"}));
        QCOMPARE(columnTexts(details(), 10), QStringList({"1234.5"}));
        QVERIFY(!details()->isColumnHidden(3));
        QVERIFY(screen->grab().save(QDir(VASTREL_SCREENSHOT_DIR).filePath("generate-screen.png")));
    }

    void loadListsNewest100AndFindListsEveryNamedHeader() {
        Transaction tx(inst->state.Conn);
        for (int i = 1; i <= 100; ++i)
            inst->exec("INSERT INTO tblheader (nodaftar, vessel, voyage, status) "
                       "VALUES (?, 'OLD SHIP', '1', 'Y')",
                       {QStringLiteral("20230101%1").arg(i, 6, 10, QChar('0'))});
        inst->exec("INSERT INTO tblheader (nodaftar, voyage) VALUES ('20230101999999', '1')");
        tx.commit();
        open();
        QCOMPARE(headers()->model()->rowCount(), 100);
        QCOMPARE(columnTexts(headers(), 0).first(), kNoDetailKey);
        click("CmdFind");
        QCOMPARE(headers()->model()->rowCount(), 103); // not the one without a vessel
    }

    void findMatchesBothFiltersOnEnterOrButton() {
        RecordedMessages messages;
        typeInto(child<QLineEdit>(screen.get(), "TxtKapal"), "o'neil");
        pressEnter(child<QLineEdit>(screen.get(), "TxtKapal"));
        QCOMPARE(columnTexts(headers(), 0), QStringList({kNotReadyKey}));
        QCOMPARE(columnTexts(details(), 1), QStringList({"ONB1"}));

        child<QLineEdit>(screen.get(), "TxtKapal")->clear();
        typeInto(child<QLineEdit>(screen.get(), "TxtNoVogaye"), "99");
        click("CmdFind");
        QCOMPARE(columnTexts(headers(), 0), QStringList({kNoDetailKey}));
        QCOMPARE(details()->model()->rowCount(), 0);

        typeInto(child<QLineEdit>(screen.get(), "TxtNoVogaye"), "X");
        pressEnter(child<QLineEdit>(screen.get(), "TxtNoVogaye"));
        QCOMPARE(headers()->model()->rowCount(), 0);
        QVERIFY(messages.take().isEmpty());
    }

    void generateRefusesInOrder_data() {
        QTest::addColumn<int>("row"); // -1: no header at all
        QTest::addColumn<QString>("message");
        QTest::newRow("no header") << -1 << "Data header tidak ditemukan";
        QTest::newRow("no detail") << 0 << "Data detail tidak ditemukan";
        QTest::newRow("not ready") << 1 << "Kode dokumen tersebut tidak memiliki uraian barang";
    }
    void generateRefusesInOrder() {
        QFETCH(int, row);
        QFETCH(QString, message);
        if (row < 0) {
            inst->exec("DELETE FROM tblheader");
            open();
        } else {
            clickRow(headers(), row);
        }
        RecordedMessages messages;
        click("CmdGenerate");
        const auto log = messages.take();
        QCOMPARE(log.size(), 1); // no save dialog
        QCOMPARE(log[0].text, message);
        QCOMPARE(log[0].title, QString("Information"));
        QVERIFY(log[0].icon == Messages::Icon::Exclamation);
    }

    void generateWritesTheWritersFileAfterTheSaveDialog() {
        clickRow(headers(), 2);
        RecordedMessages messages;
        Messages::nextFileName(file("out.txt"));
        click("CmdGenerate");
        const auto log = messages.take();
        QCOMPARE(log.size(), 2);
        QCOMPARE(log[0].text, QString("VST20240315000001.txt")); // the proposed name
        QCOMPARE(log[1].text, QString("Flat file telah dibuat"));
        QVERIFY(log[1].icon == Messages::Icon::Information);
        QByteArray expected;
        for (const QString& line : FlatFile(inst->state.Conn, kDemoKey, "0").lines())
            expected += toAnsi(line) + "\r\n";
        QFile written(file("out.txt"));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), expected);
    }

    void cancelledOrFailedGenerationWritesNothing_data() {
        QTest::addColumn<QString>("target"); // empty: the dialog is cancelled
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("reason"); // empty: nothing is said
        QTest::newRow("cancelled") << ""
                                   << ""
                                   << "";
        QTest::newRow("unwritable") << "missing/out.txt"
                                    << ""
                                    << "Cannot write";
        QTest::newRow("writer fails") << "out.txt"
                                      << "bruto = -1"
                                      << "is negative";
    }
    void cancelledOrFailedGenerationWritesNothing() {
        QFETCH(QString, target);
        QFETCH(QString, damage);
        QFETCH(QString, reason);
        if (!damage.isEmpty())
            inst->exec("UPDATE tbldetail SET " + damage);
        clickRow(headers(), 2);
        RecordedMessages messages;
        if (!target.isEmpty())
            Messages::nextFileName(file(target));
        click("CmdGenerate");
        const auto log = messages.take();
        QCOMPARE(log.size(), reason.isEmpty() ? 1 : 2);
        if (!reason.isEmpty()) {
            QVERIFY2(log[1].text.contains(reason), qPrintable(log[1].text));
            QCOMPARE(log[1].title, QString("Information"));
        }
        QVERIFY(!QFile::exists(file(target.isEmpty() ? "out.txt" : target)));
    }

    void searchModeHandsTheChosenManifestOver() {
        screen->setSearchMode();
        QCOMPARE(screen->windowTitle(), QString("Find"));
        QVERIFY(!child<QPushButton>(screen.get(), "CmdGenerate")->isVisible());
        QVERIFY(child<QPushButton>(screen.get(), "CmdOk")->isVisible());
        QSignalSpy chosen(screen.get(), &FrmGenerate::manifestChosen);
        clickRow(headers(), 2);
        click("CmdOk");
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen[0][0].toString(), kDemoKey);
        QCOMPARE(screen->result(), int(QDialog::Accepted));
        QVERIFY(!screen->isVisible());
    }

    void airInstallationShowsAirCaptions() {
        inst = installation(true);
        open();
        QCOMPARE(screen->windowTitle(), QString("Generate Flat File"));
        const QStringList headerCaptionsSeen = headerCaptions(headers());
        QCOMPARE(headerCaptionsSeen.mid(2, 2), QStringList({"Airlines", "Flight No"}));
        QCOMPARE(headerCaptionsSeen.mid(7, 2),
                 QStringList({"No Master AWB", "Tanggal Master AWB"}));
        QCOMPARE(headerCaptions(details()).mid(1, 7),
                 QStringList({"No AWB", "Tanggal AWB", "Mother Vessel", "Airport Asal",
                              "Airport Sebelumnya", "Airport Bongkar", "Airport Akhir"}));
        QVERIFY(details()->isColumnHidden(3));
        QCOMPARE(child<QLabel>(screen.get(), "Label2")->text(), QString("Nama Airlines"));
        QCOMPARE(child<QLabel>(screen.get(), "Label3")->text(), QString("Flight no"));
    }

    void failingListSaysWhyAndTheScreenStaysUsable() {
        RecordedMessages messages;
        inst->exec("DROP TABLE tblheader");
        open();
        auto log = messages.take();
        QCOMPARE(log.size(), 1);
        QVERIFY(log[0].text.startsWith("Procedure InsertToGrid : "));
        QVERIFY(log[0].icon == Messages::Icon::Information);
        QCOMPARE(log[0].title, QString("Information"));
        click("CmdGenerate");
        QCOMPARE(Messages::lastText(), QString("Data header tidak ditemukan"));
    }

    void printCommandsNeedASelection() {
        RecordedMessages messages;
        click("CmdPrintDetail"); // the first header has no POS
        QCOMPARE(Messages::lastText(),
                 QString("Silahkan pilih Header dan Detail yang akan diprint"));
        inst->exec("DELETE FROM tblheader");
        open();
        click("CmdPrintRekap");
        QCOMPARE(Messages::lastText(), QString("Silahkan pilih Header yang akan diprint"));
        QCOMPARE(messages.take().size(), 2);
    }

    void printCommandsPreviewTheSelectedManifest_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("text");
        QTest::newRow("detail") << "CmdPrintDetail"
                                << "Preview Detil Manifes"
                                << "RptManifesDetil"
                                << "lblPOS"
                                << "0001";
        QTest::newRow("recap") << "CmdPrintRekap"
                               << "Preview Rekap Manifes"
                               << "RptManifesRekap"
                               << "LblJmlPos"
                               << "1";
    }
    void printCommandsPreviewTheSelectedManifest() {
        QFETCH(QString, button);
        QFETCH(QString, caption);
        QFETCH(QString, report);
        QFETCH(QString, label);
        QFETCH(QString, text);
        clickRow(headers(), 2);
        RecordedMessages messages;
        Seen seen;
        onNextPreview(seen, file("report.pdf"));
        click(qPrintable(button));
        QVERIFY(seen.shown);
        QCOMPARE(seen.title, caption);
        QCOMPARE(seen.name, report);
        QVERIFY(seen.report.pageHeader.label(label));
        QCOMPARE(seen.report.pageHeader.label(label)->text, text);
        QCOMPARE(seen.report.records.size(), qsizetype(1));
        QCOMPARE(seen.pdfStart, QString("%PDF"));
        QCOMPARE(messages.take().size(), 1); // the PDF save dialog alone
    }
};

QTEST_MAIN(FrmGenerateTest)
#include "FrmGenerateTest.moc"
