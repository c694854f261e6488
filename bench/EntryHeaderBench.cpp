// bench_entry [POS_COUNT]: builds a manifest of POS_COUNT POS (default 5000), each with two
// goods lines and one container, in a temporary database, then times on the entry screen:
// opening the header (with its B/L list), entering the POS list (CmdDetail) and stepping
// from the first POS to the last.

#include "CommandHost.h"
#include "FrmHeader.h"
#include "Schema.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <functional>

using namespace vastrel;

namespace {

const QString kKey = QStringLiteral("20240315000001");

class QuietHost : public CommandHost {
public:
    void ControlToolBar(const QString&) override {}
    void NavigateHeader(const QString&) override {}
    void showNavigation(bool) override {}
};

void fillManifest(Database& db, int posCount) {
    Transaction tx(db);
    db.exec("INSERT INTO tblsetting (nama, jenis_manifest, nodaftarauto) VALUES ('PT', '0', "
            "'000001')");
    db.exec("INSERT INTO tblGrup VALUES ('A1', 'BARANG IMPOR', -1, 0, 1)");
    db.exec("INSERT INTO tblpelabuhan VALUES ('SGSIN', 'SINGAPORE'), ('IDTPP', 'TANJUNG PRIOK')");
    db.exec("INSERT INTO tblkemasan VALUES ('PK', 'PACKAGE')");
    db.exec("INSERT INTO tblheader VALUES (?, 'Inward', 'SEA BREEZE', '012N', 'A1', "
            "'2024-03-15', '08:30:00', 'Y', 'MBL0009', '2024-03-09')",
            {kKey});
    for (int i = 1; i <= posCount; ++i) {
        const QString pos = QString::number(i).rightJustified(4, '0');
        db.exec("INSERT INTO tbldetail (nodaftar, nopos, mot_vessel, nobl, tglbl, pasalcd, "
                "pmuatcd, pbongkarcd, pakhircd, snm, sna, cnm, cna, nnm, nna, mark, bruto, "
                "volume, jmlkemasan, satuankemasan, flagconsolidate, flagpartial, "
                "grandcontainer, grandpackage) VALUES (?, ?, 'OCEAN STAR', ?, '2024-03-10', "
                "'SGSIN', 'SGSIN', 'IDTPP', 'IDTPP', 'PT CONTOH EKSPOR', 'JL CONTOH 1', "
                "'PT CONTOH IMPOR', 'JL CONTOH 2', 'SAME AS CONSIGNEE', '', 'NO MARKS', 1234.5, "
                "12.345, 100, 'PK', '', '', 0, 0)",
                {kKey, pos, "SBL" + pos});
        for (const char* seq : {"0001", "0002"})
            db.exec("INSERT INTO tblhs VALUES (?, ?, ?, '847130', 'PORTABLE COMPUTERS')",
                    {kKey, pos, seq});
        db.exec("INSERT INTO tblcontainer VALUES (?, ?, '0001', ?, '40', 'F', 'SEAL001')",
                {kKey, pos, "ABCU" + pos});
    }
    tx.commit();
}

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
        schema::create(state.Conn);
        fillManifest(state.Conn, posCount);

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
