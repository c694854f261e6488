#include "FrmGenerate.h"
#include "DemoData.h"
#include "FlatFile.h"
#include "ReferenceTestSupport.h"
#include "ReportPreview.h"
#include "TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTimer>

#include <memory>
#include <optional>

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

// Inspects the report preview that the next click opens, saves it as PDF to `pdfPath`, then
// closes it. The preview is modal, so this waits for it from a timer. `seen` gets the
// preview's title and name, the text of `label` in its page header, its record count and the
// start of the PDF, "|"-separated. The watch ends with the returned timer.
std::unique_ptr<QTimer> onNextPreview(QString& seen, const QString& label, const QString& pdfPath) {
    auto timer = std::make_unique<QTimer>();
    QTimer* watch = timer.get();
    QObject::connect(watch, &QTimer::timeout, [watch, &seen, label, pdfPath] {
        auto* preview = qobject_cast<ReportPreview*>(QApplication::activeModalWidget());
        if (!preview)
            return;
        watch->stop();
        const BandedReport report = preview->report();
        const ReportLabel* shown = report.pageHeader.label(label);
        preview->grab().save(
            QDir(VASTREL_SCREENSHOT_DIR).filePath(preview->objectName() + "-preview.png"));
        Messages::nextFileName(pdfPath);
        child<QAction>(preview, "ActSavePdf")->trigger();
        QFile pdf(pdfPath);
        const QByteArray pdfStart = pdf.open(QIODevice::ReadOnly) ? pdf.read(4) : QByteArray();
        seen = QStringList{preview->windowTitle(), preview->objectName(),
                           shown ? shown->text : "no " + label,
                           QString::number(report.records.size()), QString::fromLatin1(pdfStart)}
                   .join('|');
        preview->reject();
    });
    timer->start(20);
    return timer;
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
    QLineEdit* box(const char* name) { return child<QLineEdit>(screen.get(), name); }
    void click(const char* button) { clickButton(screen.get(), button); }
    QString file(const QString& name) { return inst->dir.filePath(name); }

private slots:
    void init() {
        Messages::startRecording();
        inst = installation();
        open();
    }
    void cleanup() {
        screen.reset();
        inst.reset();
        Messages::stopRecording();
    }

    void listsShowHeadersWithReadinessAndTheChosenHeadersDetails() {
        QCOMPARE(columnTexts(headers(), 0), QStringList({kNoDetailKey, kNotReadyKey, kDemoKey}));
        QStringList marks;
        for (int row = 0; row < 3; ++row)
            marks << headers()->model()->index(row, 0).data(FrmGenerate::kImageKeyRole).toString();
        QCOMPARE(marks, QStringList({"ready", "notready", "ready"}));
        QCOMPARE(rowTexts(headers(), 2).mid(5, 2), QStringList({"15-03-2024", "08:30:00"}));
        QCOMPARE(details()->model()->rowCount(), 0);

        clickRow(headers(), 2);
        const QStringList pos = rowTexts(details(), 0);
        QCOMPARE(pos.mid(1, 3), QStringList({"SBL0001", "10-03-2024", "OCEAN STAR"}));
        QCOMPARE(pos[10], QString("1234.5"));
        QCOMPARE(details()->model()->rowCount(), 1);
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
        typeInto(box("TxtKapal"), "o'neil");
        pressEnter(box("TxtKapal"));
        QCOMPARE(columnTexts(headers(), 0), QStringList({kNotReadyKey}));
        QCOMPARE(columnTexts(details(), 1), QStringList({"ONB1"}));

        box("TxtKapal")->clear();
        typeInto(box("TxtNoVogaye"), "99");
        click("CmdFind");
        QCOMPARE(columnTexts(headers(), 0), QStringList({kNoDetailKey}));
        QCOMPARE(details()->model()->rowCount(), 0);

        typeInto(box("TxtNoVogaye"), "X");
        pressEnter(box("TxtNoVogaye"));
        QCOMPARE(headers()->model()->rowCount(), 0);
        QVERIFY(shownTexts().isEmpty());
    }

    void generateRefusesInOrder() {
        // Not ready, no detail, then no header at all; each refusal comes without a save dialog.
        const std::pair<int, const char*> cases[] = {
            {1, "Kode dokumen tersebut tidak memiliki uraian barang"},
            {0, "Data detail tidak ditemukan"},
            {-1, "Data header tidak ditemukan"},
        };
        for (const auto& [row, message] : cases) {
            if (row < 0) {
                inst->exec("DELETE FROM tblheader");
                open();
            } else {
                clickRow(headers(), row);
            }
            click("CmdGenerate");
            const QList<Messages::Record> log = Messages::takeLog();
            QCOMPARE(textsOf(log), QStringList{message});
            QCOMPARE(log[0].title, QString("Information"));
            QVERIFY(log[0].icon == Messages::Icon::Exclamation);
        }
    }

    void generateWritesTheWritersFileAfterTheSaveDialog() {
        clickRow(headers(), 2);
        Messages::nextFileName(file("out.txt"));
        click("CmdGenerate");
        const QList<Messages::Record> log = Messages::takeLog();
        // The save dialog shows the proposed name.
        QCOMPARE(textsOf(log), QStringList({"VST20240315000001.txt", "Flat file telah dibuat"}));
        QVERIFY(log[1].icon == Messages::Icon::Information);
        const QByteArray expected = fileBytes(FlatFile(inst->state.Conn, kDemoKey, "0").lines());
        QFile written(file("out.txt"));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), expected);
    }

    void filingsListTheChangesSinceAndSaveTheFiledBytesAgain() {
        const auto filings = [&](const std::function<void(QDialog*)>& act) {
            QVERIFY(inNextModal<QDialog>([&] { click("CmdFilings"); }, act));
        };
        clickRow(headers(), 2);
        filings([](QDialog* dialog) {
            QCOMPARE(child<QTableView>(dialog, "LvFiling")->model()->rowCount(), 0);
            QCOMPARE(child<QPlainTextEdit>(dialog, "TxtChanges")->toPlainText(),
                     "Manifes " + kDemoKey + " belum pernah dikirim");
        });
        Messages::nextFileName(file("out.txt"));
        click("CmdGenerate");
        inst->exec("UPDATE tbldetail SET bruto = 99");
        inst->exec("INSERT INTO tbldetail (nodaftar, nopos, nobl) VALUES (?, '0002', 'B2')",
                   {kDemoKey});
        Messages::takeLog();

        filings([&](QDialog* dialog) {
            const auto* list = child<QTableView>(dialog, "LvFiling");
            QCOMPARE(list->model()->rowCount(), 1);
            QCOMPARE(list->model()->index(0, 3).data().toString(), QString("out.txt"));
            QCOMPARE(child<QLabel>(dialog, "LblChanges")->text(),
                     QString("Perubahan sejak pengiriman terakhir"));
            const QStringList changes =
                child<QPlainTextEdit>(dialog, "TxtChanges")->toPlainText().split('\n');
            QCOMPARE(changes.first(), QString("POS 0001 diubah:"));
            QVERIFY(changes.contains("    bruto: 1234.5 -> 99"));
            QCOMPARE(changes.last(), QString("POS 0002 ditambahkan"));
            dialog->grab().save(QDir(VASTREL_SCREENSHOT_DIR).filePath("filings.png"));
            Messages::nextFileName(file("again.txt"));
            clickButton(dialog, "CmdSaveAgain");
            inst->exec("UPDATE tblfiling SET filename = 'x', sha256 = 'abc'");
            Messages::nextFileName(file("tampered.txt"));
            clickButton(dialog, "CmdSaveAgain");
        });
        QCOMPARE(shownTexts(),
                 QStringList({file("out.txt"), "Flat file telah disimpan", file("out.txt"),
                              "Pengiriman 1 telah diubah: isinya tidak sesuai "
                              "dengan SHA-256-nya"}));
        const auto bytes = [&](const char* name) {
            QFile f(file(name));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("unreadable");
        };
        QCOMPARE(bytes("again.txt"), bytes("out.txt"));
        QVERIFY(!QFile::exists(file("tampered.txt")));
    }

    void cancelledOrFailedGenerationWritesNothing() {
        const struct {
            const char* target; // empty: the dialog is cancelled
            const char* damage;
            const char* reason; // empty: nothing is said
            long diskLeft = 0;  // bytes a file may take, as on a full disk; 0: no limit
        } cases[] = {
            {"", "", ""},
            {"missing/out.txt", "", "Folder tidak ditemukan"},
            {"out.txt", "", "File terlalu besar", 100},
            {"out.txt", "bruto = -1", "POS 0001: Berat Bruto -1 bernilai negatif"},
        };
        for (const auto& c : cases) {
            if (*c.damage)
                inst->exec(QString("UPDATE tbldetail SET ") + c.damage);
            clickRow(headers(), 2);
            if (*c.target)
                Messages::nextFileName(file(c.target));
            {
                std::optional<test::FileSizeLimit> fullDisk;
                if (c.diskLeft)
                    fullDisk.emplace(c.diskLeft);
                click("CmdGenerate");
            }
            const QList<Messages::Record> log = Messages::takeLog();
            QCOMPARE(log.size(), *c.reason ? 2 : 1);
            if (*c.reason) {
                QVERIFY2(log[1].text.contains(c.reason), qPrintable(log[1].text));
                QCOMPARE(log[1].title, QString("Information"));
            }
            QVERIFY(!QFile::exists(file(*c.target ? c.target : "out.txt")));
        }
    }

    void everyButtonHasItsOwnAltLetter() { QCOMPARE(clashingMnemonics(screen.get()), {}); }

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
        inst->exec("DROP TABLE tblheader");
        open();
        const QList<Messages::Record> log = Messages::takeLog();
        QCOMPARE(log.size(), 1);
        QVERIFY(log[0].text.startsWith("Procedure InsertToGrid : "));
        QVERIFY(log[0].icon == Messages::Icon::Information);
        QCOMPARE(log[0].title, QString("Information"));
        click("CmdGenerate");
        QCOMPARE(shownTexts(), QStringList{"Data header tidak ditemukan"});
    }

    void printCommandsPreviewTheSelectedManifest() {
        click("CmdPrintDetail"); // the first header has no POS
        QCOMPARE(shownTexts(), QStringList{"Silahkan pilih Header dan Detail yang akan diprint"});
        clickRow(headers(), 2);
        const struct {
            const char* button;
            const char* label;
            const char* seen; // title|name|label text|records|PDF start
        } cases[] = {
            {"CmdPrintDetail", "lblPOS", "Preview Detil Manifes|RptManifesDetil|0001|1|%PDF"},
            {"CmdPrintRekap", "LblJmlPos", "Preview Rekap Manifes|RptManifesRekap|1|1|%PDF"},
        };
        for (const auto& c : cases) {
            QString seen;
            const auto watch = onNextPreview(seen, c.label, file("report.pdf"));
            click(c.button);
            QCOMPARE(seen, QString(c.seen));
            QCOMPARE(Messages::takeLog().size(), 1); // the PDF save dialog alone
        }
        inst->exec("DELETE FROM tblheader");
        open();
        click("CmdPrintRekap");
        QCOMPARE(shownTexts(), QStringList{"Silahkan pilih Header yang akan diprint"});
    }
};

QTEST_MAIN(FrmGenerateTest)
#include "FrmGenerateTest.moc"
