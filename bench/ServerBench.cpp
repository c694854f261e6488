// bench_server [POS_EACH] [MANIFESTS]: the office on one database server, run by
// scripts/bench.sh, which starts a throwaway PostgreSQL cluster (VASTREL_TEST_SERVER_HOST and
// VASTREL_TEST_SERVER_PASSWORD).
//  1. Four clerk processes each save POS_EACH POS (default 1000) with three goods lines into
//     one manifest at once, as the entry screen saves them: rows, duplicates and the rate.
//  2. Years of data on each engine: MANIFESTS manifests (default 5000) of 200 POS each and
//     200,000 parties; then the statements the screens run to open the newest manifest's POS
//     list, list and search the manifests, look up a party, and save a POS with its
//     readiness, each timed (the slowest of five runs).

#include "Installation.h"
#include "Numbering.h"
#include "Readiness.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace vastrel;

namespace {

constexpr int kClerks = 4;
constexpr int kPosPerManifest = 200;
constexpr int kParties = 200000;
const QString kKey = QStringLiteral("20240101000001");

std::string serverPassword() {
    return qEnvironmentVariable("VASTREL_TEST_SERVER_PASSWORD").toStdString();
}

// A new database on the bench server, by a name of ours.
QString newServerDatabase(const QString& name) {
    const QString host = qEnvironmentVariable("VASTREL_TEST_SERVER_HOST");
    const auto uri = [&](const QString& database) {
        return QStringLiteral("postgresql://vastrel@/%1?host=%2").arg(database, host);
    };
    Database::connectServer(uri("postgres"), serverPassword()).exec("CREATE DATABASE " + name);
    return uri(name);
}

QString install(const QString& folder, const QString& server) {
    InitOptions options{folder, server.isEmpty() ? "bench" : serverPassword(), false, false};
    options.server = server;
    initInstallation(options);
    return folder;
}

// One POS with its goods lines, as the entry screen saves a new one.
void savePos(Database& db, const QString& key) {
    Transaction tx(db);
    db.lockRows("tblheader", "nodaftar = ?", {key});
    const QString pos = GetNextPos(db, key);
    db.exec("INSERT INTO tbldetail (nodaftar, nopos, nobl, bruto, jmlkemasan, satuankemasan) "
            "VALUES (?, ?, ?, 1234.5, 10, 'CT')",
            {key, pos, "BL" + pos});
    for (const char* seq : {"0001", "0002", "0003"})
        db.exec("INSERT INTO tblhs (nodaftar, nopos, noseq, hs, uraian) VALUES (?, ?, ?, "
                "'847130', 'PORTABLE COMPUTERS')",
                {key, pos, QString::fromLatin1(seq)});
    UpdateStatus(db, key);
    tx.commit();
}

void clerksAtOnce(const QString& folder, int posEach) {
    Database(openInstallation(folder))
        .exec("INSERT INTO tblheader (nodaftar, jnsmanifest, kdgrup, status) "
              "VALUES (?, 'Inward', 'A1', 'N')",
              {kKey});
    QElapsedTimer timer;
    timer.start();
    std::vector<pid_t> clerks;
    for (int c = 0; c < kClerks; ++c) {
        const pid_t pid = fork();
        if (pid == 0) {
            try {
                Database db = openInstallation(folder);
                for (int i = 0; i < posEach; ++i)
                    savePos(db, kKey);
                _exit(0);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "clerk %d: %s\n", c, e.what());
                _exit(1);
            }
        }
        clerks.push_back(pid);
    }
    int failed = 0;
    for (const pid_t pid : clerks) {
        int status = 0;
        waitpid(pid, &status, 0);
        failed += !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    const Database db = openInstallation(folder);
    const auto count = [&](const char* sql) { return db.scalar(sql, {kKey}).toLongLong(); };
    std::printf("%d clerks x %d POS with 3 goods lines: %.1f s, %.0f POS/s, %d clerks failed\n",
                kClerks, posEach, seconds, kClerks * posEach / seconds, failed);
    std::printf("  POS stored %lld of %d, distinct numbers %lld, goods lines %lld of %d\n",
                count("SELECT count(*) FROM tbldetail WHERE nodaftar = ?"), kClerks * posEach,
                count("SELECT count(DISTINCT nopos) FROM tbldetail WHERE nodaftar = ?"),
                count("SELECT count(*) FROM tblhs WHERE nodaftar = ?"), kClerks * posEach * 3);
}

// Many rows at once, numbered by a recursive query both engines read alike.
void fill(Database& db, int rows, const QString& insertSelect) {
    db.exec("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < ?) " +
                insertSelect,
            {rows - 1});
}

void yearsOfData(Database& db, int manifests) {
    const BulkWrite bulk(db);
    Transaction tx(db);
    // Keys "2020" + six digits; POS "0000" to "0199"; texts as long as real ones.
    fill(db, manifests,
         "INSERT INTO tblheader (nodaftar, jnsmanifest, vessel, voyage, kdgrup, arrivingdate, "
         "arrivingtime, status) SELECT '2020' || substr(CAST(1000000 + i AS TEXT), 2), "
         "'Inward', 'VESSEL ' || i, 'V' || i, 'A1', '2020-01-01', '08:00:00', 'Y' FROM n");
    fill(db, manifests * kPosPerManifest,
         "INSERT INTO tbldetail (nodaftar, nopos, nobl, snm, sna, cnm, cna, bruto, jmlkemasan, "
         "satuankemasan) SELECT '2020' || substr(CAST(1000000 + i / 200 AS TEXT), 2), "
         "substr(CAST(10000 + i % 200 AS TEXT), 2), 'BL' || i, 'SHIPPER ' || (i % 50000), "
         "'JL CONTOH ' || i, 'CONSIGNEE ' || (i % 50000), 'JL LAIN ' || i, 1234.5, 10, 'CT' "
         "FROM n");
    fill(db, kParties,
         "INSERT INTO tblparties (NamaParties, AlmtParties, KodeParties) SELECT 'PARTY ' || i, "
         "'JL CONTOH ' || i, CAST(1 + i % 3 AS TEXT) FROM n");
    tx.commit();
}

// The slowest of five runs, in milliseconds.
double slowest(const std::function<void()>& action) {
    double worst = 0;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        action();
        worst = std::max(worst, timer.nsecsElapsed() / 1e6);
    }
    return worst;
}

void timeScreens(Database& db, const char* engine, int manifests) {
    const QString newest = db.scalar("SELECT max(nodaftar) FROM tblheader").toString();
    const struct {
        const char* what;
        std::function<void()> action;
    } steps[] = {
        {"newest manifest's POS list",
         [&] { db.query("SELECT * FROM tbldetail WHERE nodaftar = ? ORDER BY nopos", {newest}); }},
        {"manifest list (newest first, 100 shown)",
         [&] {
             db.query("SELECT nodaftar, vessel, voyage, status FROM tblheader "
                      "ORDER BY nodaftar DESC LIMIT 100");
         }},
        {"manifest search by vessel",
         [&] {
             db.query("SELECT nodaftar, vessel FROM tblheader WHERE vessel LIKE ? "
                      "ORDER BY nodaftar LIMIT 100",
                      {QStringLiteral("vessel 4999%")});
         }},
        {"parties lookup",
         [&] {
             db.query("SELECT NamaParties, AlmtParties FROM tblparties WHERE NamaParties LIKE ? "
                      "AND KodeParties = '1' ORDER BY NamaParties LIMIT 100",
                      {QStringLiteral("party 19999%")});
         }},
        {"POS save with readiness", [&] { savePos(db, newest); }},
    };
    std::printf("%s, %d manifests, %d POS, %d parties:\n", engine, manifests,
                manifests * kPosPerManifest, kParties);
    for (const auto& step : steps)
        std::printf("  %-42s %7.1f ms\n", step.what, slowest(step.action));
}

} // namespace

int main(int argc, char* argv[]) {
    const int posEach = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int manifests = argc > 2 ? std::atoi(argv[2]) : 5000;
    if (qEnvironmentVariableIsEmpty("VASTREL_TEST_SERVER_HOST")) {
        std::fprintf(stderr, "bench_server: no server; run it through scripts/bench.sh\n");
        return 2;
    }
    try {
        QTemporaryDir dir;
        const QString stamp = QString::number(::getpid());
        clerksAtOnce(install(dir.filePath("clerks"), newServerDatabase("bench_clerks_" + stamp)),
                     posEach);
        for (const bool server : {false, true}) {
            const QString folder = dir.filePath(server ? "server" : "file");
            install(folder, server ? newServerDatabase("bench_years_" + stamp) : QString());
            Database db = openInstallation(folder);
            QElapsedTimer timer;
            timer.start();
            yearsOfData(db, manifests);
            std::printf("(filled in %.0f s)\n", timer.nsecsElapsed() / 1e9);
            timeScreens(db, server ? "PostgreSQL server" : "Encrypted file", manifests);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_server: %s\n", e.what());
        return 1;
    }
    return 0;
}
