// bench_entry [POS_COUNT]: builds the synthetic manifest of POS_COUNT POS (default 5000) in a
// temporary database, then times on the entry screen:
// opening the header (with its B/L list), entering the POS list (CmdDetail) and stepping
// from the first POS to the last.

#include "CommandHost.h"
#include "FrmHeader.h"
#include "SyntheticManifest.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <functional>

using namespace vastrel;

namespace {

class QuietHost : public CommandHost {
public:
    void ControlToolBar(const QString&) override {}
    void NavigateHeader(const QString&) override {}
    void showNavigation(bool) override {}
};

double milliseconds(const std::function<void()>& action) {
    QElapsedTimer timer;
    timer.start();
    action();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int posCount = argc > 1 ? std::atoi(argv[1]) : 5000;
    QTemporaryDir dir;
    try {
        AppState state;
        state.Conn = Database::create(dir.filePath("bench.db"), "bench");
        createSyntheticManifest(state.Conn, posCount);

        QuietHost host;
        FrmHeader screen(state, host);
        screen.show();
        const double open = milliseconds([&] { screen.openFirst(); });
        auto* detail = screen.findChild<QPushButton*>(QStringLiteral("CmdDetail"));
        const double enter = milliseconds([&] { detail->click(); });
        screen.RsDetail().moveFirst();
        screen.showCurrent(QStringLiteral("first"));
        const double last = milliseconds([&] {
            screen.RsDetail().moveLast();
            screen.showCurrent(QStringLiteral("last"));
        });
        std::printf("POS: %d\n", screen.RsDetail().recordCount());
        std::printf("open header (B/L list of all POS): %.1f ms\n", open);
        std::printf("CmdDetail (ViewDetail):            %.1f ms\n", enter);
        std::printf("step from first to last POS:       %.1f ms\n", last);
    } catch (const DbError& error) {
        std::fprintf(stderr, "bench_entry: %s\n", error.what());
        return 1;
    }
    return 0;
}
