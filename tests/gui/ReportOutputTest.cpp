#include "BandedReport.h"
#include "DemoData.h"
#include "Installation.h"
#include "ManifestReports.h"
#include "ReferenceTestSupport.h"
#include "ReportLayouts.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <algorithm>
#include <numeric>

using namespace vastrel;
using namespace vastrel::test;

namespace {

const QString kDemoKey = QString::fromLatin1(kDemoManifestKey);

struct Run {
    int exitCode = -1;
    QString output;
};

Run run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitCode(),
            QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError())};
}

// The text of a PDF file, of one page when `page` is given; null when pdftotext fails.
QString pdfText(const QString& pdf, int page = 0) {
    QStringList arguments = {"-layout"};
    if (page > 0)
        arguments << "-f" << QString::number(page) << "-l" << QString::number(page);
    const Run result = run("pdftotext", arguments << pdf << "-");
    return result.exitCode == 0 ? result.output : QString();
}

ReportContent demoReport(const TestInstallation& inst, bool recap) {
    const ManifestReports reports(inst.state.Conn, inst.state.StrJenis, "2.1");
    return recap ? reports.RptManifesRekap(kDemoKey) : reports.RptManifesDetil(kDemoKey, "0001");
}

} // namespace

class ReportOutputTest : public QObject {
    Q_OBJECT

private slots:
    void layoutPlacesEveryLabelAndField_data() {
        QTest::addColumn<bool>("air");
        QTest::addColumn<bool>("recap");
        QTest::newRow("sea detail") << false << false;
        QTest::newRow("sea recap") << false << true;
        QTest::newRow("air detail") << true << false;
        QTest::newRow("air recap") << true << true;
    }
    void layoutPlacesEveryLabelAndField() {
        QFETCH(bool, air);
        QFETCH(bool, recap);
        TestInstallation inst(air);
        addDemoData(inst.state.Conn, air);
        const ReportContent content = demoReport(inst, recap);
        const BandedReport report = layoutReport(content);
        for (auto it = content.labels.cbegin(); it != content.labels.cend(); ++it) {
            const ReportLabel* label = report.pageHeader.label(it.key());
            if (!label)
                label = report.pageFooter.label(it.key());
            QVERIFY2(label, qPrintable(it.key()));
            QCOMPARE(label->text, it.value());
            QCOMPARE(label->visible, !content.hidden.contains(it.key()));
        }
        QList<int> bound;
        for (const ReportField& field : report.detail)
            bound << field.field;
        std::sort(bound.begin(), bound.end());
        QList<int> everyField(content.recordSet.fields.size());
        std::iota(everyField.begin(), everyField.end(), 0);
        QCOMPARE(bound, everyField);
        for (auto it = content.widthsTwips.cbegin(); it != content.widthsTwips.cend(); ++it) {
            const auto field =
                std::find_if(report.detail.cbegin(), report.detail.cend(),
                             [&](const ReportField& f) { return f.name == it.key(); });
            QVERIFY(field != report.detail.cend());
            QCOMPARE(field->width, qreal(it.value()));
        }
        QCOMPARE(report.records, content.recordSet.records);
    }

    void adminWritesEachReportAsPdfOrSaysWhyNot() {
        const struct {
            QStringList arguments;
            QStringList texts;  // empty: refused
            const char* output; // the picture of the first page, or the reason for the refusal
        } cases[] = {
            {{"detail", kDemoKey, "0001"},
             {"Inward Manifest Laut", "No.Daftar 20240315000001", "NO B/L: SBL0001", "OCEAN STAR",
              "Mother Vessel", "No Kontainer: ABCU1234560", "Tipe: FCL",
              "Uraian: PORTABLE COMPUTERS", "Kode: IDTPP", "Print Detail - Vastrel 1.0"},
             "detail-report"},
            {{"recap", kDemoKey},
             {"Inward Manifest Laut", "Jml. POS", "0001", "Kontainer: (1)", "Barang: (1)",
              "Print Header - Vastrel 1.0"},
             "recap-report"},
            {{"recap", "20990101000001"}, {}, "Data header tidak ditemukan"},
            {{"detail", kDemoKey}, {}, "NOPOS"},
            {{"summary", kDemoKey}, {}, "detail or recap"},
        };
        QTemporaryDir dir;
        TestStore store;
        initInstallation(store.onEngine({dir.path(), "pw", false, true}));
        const QString pdf = dir.filePath("report.pdf");
        for (const auto& c : cases) {
            QFile::remove(pdf);
            const Run admin =
                run(VASTREL_ADMIN_BIN, QStringList("report")
                                           << c.arguments << "--home" << dir.path() << "-o" << pdf);
            if (c.texts.isEmpty()) {
                QCOMPARE(admin.exitCode, 1);
                QVERIFY2(admin.output.contains(c.output), qPrintable(admin.output));
                QVERIFY(!QFile::exists(pdf));
                continue;
            }
            QVERIFY2(admin.exitCode == 0, qPrintable(admin.output));
            const QString text = pdfText(pdf);
            for (const QString& expected : c.texts)
                QVERIFY2(text.contains(expected), qPrintable(expected));
            QVERIFY(text.contains(QRegularExpression("Halaman\\s+1")));
            const QString png = QDir(VASTREL_SCREENSHOT_DIR).filePath(c.output);
            QCOMPARE(
                run("pdftoppm", {"-png", "-r", "60", "-f", "1", "-l", "1", "-singlefile", pdf, png})
                    .exitCode,
                0);
            QVERIFY(QFile::exists(png + ".png"));
        }
    }

    void tallRecordRunsOnOverPagesLineByLine() {
        TestInstallation inst;
        addDemoData(inst.state.Conn, false);
        const int lines = 80;
        for (int i = 1; i <= lines; ++i)
            inst.exec("INSERT INTO tblhs VALUES (?, '0001', ?, '847130', ?)",
                      {kDemoKey, QString::number(i + 1).rightJustified(4, '0'),
                       QStringLiteral("GOODS LINE %1").arg(i, 3, 10, QChar('0'))});
        const QString pdf = inst.dir.filePath("tall.pdf");
        const int pages = layoutReport(demoReport(inst, false)).writePdf(pdf);
        QVERIFY(pages >= 3);
        const QString text = pdfText(pdf);
        for (int i = 1; i <= lines; ++i) {
            const QString line = QStringLiteral("GOODS LINE %1").arg(i, 3, 10, QChar('0'));
            QCOMPARE(text.count(line), 1);
        }
        const QString last = pdfText(pdf, pages);
        QVERIFY(last.contains("Inward Manifest Laut")); // the page header on every page
        QVERIFY(last.contains("GOODS LINE 080"));
        QVERIFY(last.contains(QRegularExpression(QStringLiteral("Halaman\\s+%1").arg(pages))));
    }
};

QTEST_MAIN(ReportOutputTest)
#include "ReportOutputTest.moc"
