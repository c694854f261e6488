// bench_recap [POS_COUNT] [FILE.pdf]: builds an outward sea manifest of POS_COUNT POS (default
// 1000), each with two containers, three goods lines and one customs document, then times
// building its header recap and rendering it to a PDF file (kept when FILE.pdf is given).

#include "Database.h"
#include "FlatFile.h"
#include "ManifestReports.h"
#include "ReportLayouts.h"
#include "SyntheticManifest.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

using namespace vastrel;

namespace {} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int posCount = argc > 1 ? std::atoi(argv[1]) : 1000;
    QTemporaryDir dir;
    const QString pdfPath = argc > 2 ? QString::fromLocal8Bit(argv[2]) : dir.filePath("recap.pdf");
    try {
        Database db = Database::create(dir.filePath("bench.db"), "bench");
        createSyntheticManifest(db, posCount);

        QElapsedTimer timer;
        timer.start();
        const ReportContent content = ManifestReports(db, "0", "bench").RptManifesRekap(kBenchKey);
        const double buildSeconds = timer.nsecsElapsed() / 1e9;
        timer.restart();
        const int pages = layoutReport(content).writePdf(pdfPath);
        const double renderSeconds = timer.nsecsElapsed() / 1e9;

        std::printf("POS: %d\n", posCount);
        std::printf("Recap texts: %.3f s\n", buildSeconds);
        std::printf("Recap PDF: %d pages, %lld bytes in %.3f s\n", pages,
                    static_cast<long long>(QFileInfo(pdfPath).size()), renderSeconds);
        std::printf("Total: %.3f s\n", buildSeconds + renderSeconds);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_recap: %s\n", e.what());
        return 1;
    }
    return 0;
}
