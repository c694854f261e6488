// bench_server [POS_EACH] [MANIFESTS]: the office on one database server, run by
// scripts/bench.sh, which starts a throwaway PostgreSQL cluster (VASTREL_TEST_SERVER_HOST and
// VASTREL_TEST_SERVER_PASSWORD).
//  1. Four clerk processes each save POS_EACH POS (default 1000) with three goods lines into
//     one manifest at once, as the entry screen saves them: rows, duplicates and the rate.
//  2. Years of data on each engine: MANIFESTS manifests (default 5000) of 200 POS each and
//     200,000 parties; then the screens themselves (offscreen): the entry screen opening the
//     newest manifest and its POS list, the generate screen's list and search, a parties
//     lookup, and a new POS saved on the entry screen with its readiness, each timed (the
//     slowest of five runs).

#include "CommandHost.h"
#include "FrmFind.h"
#include "FrmGenerate.h"
#include "FrmHeader.h"
#include "Installation.h"
#include "Messages.h"
#include "Numbering.h"
#include "Readiness.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
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

// An installation in `folder`: in the new database `database` of the bench server, with a clerk
// of its own, else in a file.
QString install(const QString& folder, const QString& database) {
    InitOptions options{folder, database.isEmpty() ? "bench" : serverPassword(), false, false};
    if (!database.isEmpty()) {
        options.server = newServerDatabase(database);
        options.clerk.name = database + "_clerk";
    }
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
    // What the entry screen checks a new POS against.
    db.exec("INSERT INTO tblpelabuhan VALUES ('SGSIN', 'SINGAPORE'), ('IDTPP', 'TANJUNG PRIOK')");
    db.exec("INSERT INTO tblkemasan VALUES ('PK', 'PACKAGE')");
    db.exec("INSERT INTO tblGrup VALUES ('A1', 'BARANG IMPOR', -1, 0, 1)");
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

// The slowest of five runs of `action`, each after `prepare`, in milliseconds.
double slowest(const std::function<void()>& action, const std::function<void()>& prepare = {}) {
    double worst = 0;
    for (int run = 0; run < 5; ++run) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        action();
        QApplication::processEvents(); // drawn, not only filled
        worst = std::max(worst, timer.nsecsElapsed() / 1e6);
    }
    return worst;
}

class QuietHost : public CommandHost {
public:
    void ControlToolBar(const QString&) override {}
    void NavigateHeader(const QString&) override {}
    void showNavigation(bool) override {}
};

template <typename T> T* child(QWidget* parent, const char* name) {
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        throw std::logic_error(std::string("no box ") + name);
    return found;
}

void pressEnter(QWidget* box) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(box, &press);
}

// A new POS typed into the entry screen, showing the newest manifest's POS list.
void typeNewPos(AppState& state, FrmHeader& entry) {
    state.entry.StrMode = QStringLiteral("new");
    entry.prepareNewDetail();
    const std::pair<const char*, const char*> boxes[] = {
        {"TxtNoBL1", "BENCH BL"},  {"TxtNoBL2", "10-03-2024"},  {"TxtMotherVessel", "OCEAN STAR"},
        {"TxtAsal", "SGSIN"},      {"TxtMuat", "SGSIN"},        {"TxtBongkar", "IDTPP"},
        {"TxtAkhir", "IDTPP"},     {"TxtShipperNm", "SHIPPER"}, {"TxtConsigneeNm", "CONSIGNEE"},
        {"TxtNotifyNm", "NOTIFY"}, {"TxtJmlKemasan", "8"},      {"TextSatuanKemasan", "PK"},
        {"TxtBerat", "1234.5"},    {"TxtVolume", "12.345"}};
    for (const auto& [name, text] : boxes) {
        if (auto* lines = entry.findChild<QPlainTextEdit*>(QString::fromLatin1(name)))
            lines->setPlainText(QString::fromLatin1(text));
        else
            child<QLineEdit>(&entry, name)->setText(QString::fromLatin1(text));
    }
}

void timeScreens(const QString& folder, const char* engine, int manifests) {
    AppState state;
    state.programFolder = folder;
    state.Conn = openInstallation(folder);
    state.StrJenis = QStringLiteral("0");
    QuietHost host;
    FrmHeader entry(state, host);
    entry.show();
    const auto openNewest = [&] {
        state.entry = EntryState{};
        state.entry.StrMode = QStringLiteral("open");
        state.entry.VarHeaderOpen = true;
        entry.openFirst();
    };
    FrmGenerate generate(state);
    generate.show();
    child<QLineEdit>(&generate, "TxtKapal")->setText(QStringLiteral("VESSEL 4999"));
    FrmFind lookup(state, nullptr);
    lookup.ViewMainTable(QStringLiteral("partiesshiper"), false);
    lookup.ShowQuery(QStringLiteral("partiesshiper"), false);
    lookup.show();
    lookup.findChild<QLineEdit*>()->setText(QStringLiteral("PARTY 19999"));
    int saved = 0;

    const struct {
        const char* what;
        std::function<void()> action;
        std::function<void()> prepare;
    } steps[] = {
        {"entry: Open (the newest manifest)", openNewest, {}},
        {"entry: Detail (its POS list)", [&] { child<QPushButton>(&entry, "CmdDetail")->click(); },
         openNewest},
        {"generate: opening it (the manifest list)",
         [&] {
             FrmGenerate screen(state);
             screen.show();
             QApplication::processEvents();
         },
         {}},
        {"generate: search by vessel",
         [&] { pressEnter(child<QLineEdit>(&generate, "TxtKapal")); },
         {}},
        {"parties lookup, searching", [&] { child<QPushButton>(&lookup, "CmdFind")->click(); }, {}},
        {"entry: a new POS saved with readiness", [&] { saved += entry.SaveToDetail() ? 1 : 0; },
         [&] { typeNewPos(state, entry); }},
    };
    std::printf("%s, %d manifests, %d POS, %d parties:\n", engine, manifests,
                manifests * kPosPerManifest, kParties);
    Messages::startRecording(); // a message box would wait for a click
    for (const auto& step : steps) {
        std::printf("  %-44s %7.1f ms\n", step.what, slowest(step.action, step.prepare));
        for (const Messages::Record& shown : Messages::takeLog()) {
            if (shown.text != QLatin1String("Data berhasil disimpan"))
                std::printf("    shown: %s\n", qPrintable(shown.text));
        }
    }
    std::printf("  (new POS saved: %d of 5)\n", saved);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const int posEach = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int manifests = argc > 2 ? std::atoi(argv[2]) : 5000;
    if (qEnvironmentVariableIsEmpty("VASTREL_TEST_SERVER_HOST")) {
        std::fprintf(stderr, "bench_server: no server; run it through scripts/bench.sh\n");
        return 2;
    }
    try {
        QTemporaryDir dir;
        const QString stamp = QString::number(::getpid());
        clerksAtOnce(install(dir.filePath("clerks"), "bench_clerks_" + stamp), posEach);
        for (const bool server : {false, true}) {
            const QString folder = dir.filePath(server ? "server" : "file");
            install(folder, server ? "bench_years_" + stamp : QString());
            QElapsedTimer timer;
            timer.start();
            {
                Database db = openInstallation(folder);
                yearsOfData(db, manifests);
            }
            std::printf("(filled in %.0f s)\n", timer.nsecsElapsed() / 1e9);
            timeScreens(folder, server ? "PostgreSQL server" : "Encrypted file", manifests);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_server: %s\n", e.what());
        return 1;
    }
    return 0;
}
