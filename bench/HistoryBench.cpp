// bench_history: 1,000 saves of a POS that change its weight and marks, each in a transaction
// of its own as the entry screen makes it, first without and then with the history entry the
// screen records; on this run's engine (the server with VASTREL_TEST_BACKEND=server). Prints
// the median and slowest save of each, and what the history added to the database per save
// against the size of the values that changed. (The test server runs without fsync.)
#include "DemoData.h"
#include "History.h"
#include "ReferenceTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vastrel;

namespace {

constexpr int kSaves = 1000;
const QString kKey = QString::fromLatin1(kDemoManifestKey);

struct Timing {
    double medianMs;
    double slowestMs;
    qint64 valueBytes; // the changed values' text, before and after
};

Timing saves(Database& db, bool withHistory) {
    std::vector<double> times;
    qint64 valueBytes = 0;
    for (int i = 0; i < kSaves; ++i) {
        const QString bruto = QString::number(1000 + i + (withHistory ? 0.5 : 0.25));
        const QString mark = QStringLiteral("MARKS AND NUMBERS %1").arg(i);
        QElapsedTimer timer;
        timer.start();
        Transaction tx(db);
        std::optional<RowChange> change;
        if (withHistory)
            change.emplace(db, QStringLiteral("tbldetail"), Params{kKey, "0001"});
        db.exec("UPDATE tbldetail SET bruto = ?, mark = ? WHERE nodaftar = ? AND nopos = '0001'",
                {bruto, mark, kKey});
        if (change)
            change->record();
        tx.commit();
        times.push_back(timer.nsecsElapsed() / 1e6);
        valueBytes += 2 * (bruto.size() + mark.size());
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back(), valueBytes};
}

qint64 storedBytes(test::TestInstallation& inst) {
    if (!inst.state.Conn.onServer())
        return QFileInfo(inst.dir.filePath("test.db")).size();
    return inst.scalar("SELECT pg_total_relation_size('tblhistory')").toLongLong();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    test::TestInstallation inst;
    Database& db = inst.state.Conn;
    if (!db.onServer())
        db.exec("PRAGMA synchronous = FULL"); // as an installation's file, not a test's
    addDemoData(db, false);
    db.setUserName(QStringLiteral("BENCH"));
    const Timing without = saves(db, false);
    const qint64 before = storedBytes(inst);
    const Timing with = saves(db, true);
    const qint64 growth = storedBytes(inst) - before;
    std::printf("%s, %d saves of a POS:\n", db.onServer() ? "server" : "file", kSaves);
    std::printf("  without history: median %.2f ms, slowest %.2f ms\n", without.medianMs,
                without.slowestMs);
    std::printf("  with history:    median %.2f ms, slowest %.2f ms\n", with.medianMs,
                with.slowestMs);
    std::printf("  the history's growth: %lld bytes a save, of which %lld the changed values\n",
                static_cast<long long>(growth / kSaves),
                static_cast<long long>(with.valueBytes / kSaves));
    return 0;
}
