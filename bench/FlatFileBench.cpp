// bench_flatfile [POS_COUNT]: builds an outward manifest of POS_COUNT POS (default 10000), each
// with 3 goods lines, 2 containers and 1 customs document, in a temporary database, then
// times writing its flat file and recomputing its readiness once.

#include "Database.h"
#include "FlatFile.h"
#include "Readiness.h"
#include "SyntheticManifest.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <stdexcept>

#include <cstdio>
#include <cstdlib>

using namespace vastrel;

int main(int argc, char* argv[]) {
    const int posCount = argc > 1 ? std::atoi(argv[1]) : 10000;
    QTemporaryDir dir;
    try {
        Database db = Database::create(dir.filePath("bench.db"), "bench");
        createSyntheticManifest(db, posCount);

        QElapsedTimer timer;
        timer.start();
        FlatFile(db, kBenchKey, "0").CreateFlatFile(dir.filePath("bench.txt"));
        const double writeSeconds = timer.nsecsElapsed() / 1e9;

        timer.restart();
        UpdateStatus(db, kBenchKey);
        const double statusSeconds = timer.nsecsElapsed() / 1e9;

        QFile file(dir.filePath("bench.txt"));
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error("The flat file cannot be read back");
        const long long lines = file.readAll().count("\r\n");
        std::printf("POS: %d\n", posCount);
        std::printf("Flat file: %lld lines, %lld bytes in %.3f s (%.0f lines/s)\n", lines,
                    static_cast<long long>(file.size()), writeSeconds, lines / writeSeconds);
        std::printf("UpdateStatus: %.3f s (status %s)\n", statusSeconds,
                    qPrintable(GetStatus(db, kBenchKey)));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_flatfile: %s\n", e.what());
        return 1;
    }
    return 0;
}
