// bench_recap [POS_COUNT] [FILE.pdf]: builds an outward sea manifest of POS_COUNT POS (default
// 1000), each with two containers, three goods lines and one customs document, then times
// building its header recap and rendering it to a PDF file (kept when FILE.pdf is given).

#include "Database.h"
#include "FlatFile.h"
#include "ManifestReports.h"
#include "ReportLayouts.h"
#include "Schema.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

using namespace vastrel;

namespace {

const QString kKey = QStringLiteral("20240315000001");

void addPos(Database& db, const QString& pos) {
    db.exec("INSERT INTO tbldetail (nodaftar, nopos, mot_vessel, nobl, tglbl, pasalcd, pmuatcd, "
            "pbongkarcd, pakhircd, snm, sna, cnm, cna, nnm, nna, mark, bruto, volume, "
            "jmlkemasan, satuankemasan) VALUES (?, ?, 'OCEAN STAR', ?, '2024-03-10', 'IDTPP', "
            "'IDTPP', 'SGSIN', 'NLRTM', 'PT CONTOH EKSPOR', 'JL CONTOH 1 NO 23, KAWASAN "
            "INDUSTRI PULOGADUNG, JAKARTA TIMUR 13920', 'PT CONTOH IMPOR', 'JL CONTOH 2 "
            "SINGAPORE', 'SAME AS CONSIGNEE', '', 'NO MARKS', 1234.5, 12.345, 100, 'CT')",
            {kKey, pos, "SBL" + pos});
    for (const char* seq : {"0001", "0002", "0003"})
        db.exec("INSERT INTO tblhs VALUES (?, ?, ?, '847130', 'PORTABLE COMPUTERS, WEIGHING NOT "
                "MORE THAN 10 KG, WITH ACCESSORIES')",
                {kKey, pos, seq});
    for (const char* seq : {"0001", "0002"})
        db.exec("INSERT INTO tblcontainer VALUES (?, ?, ?, ?, '40', 'F', 'SEAL001')",
                {kKey, pos, seq, "ABCU" + pos + seq});
    db.exec("INSERT INTO tblpeb VALUES (?, ?, '0001', 'PEB', '123400', '654321', '2024-03-10')",
            {kKey, pos});
}

void fillManifest(Database& db, int posCount) {
    Transaction tx(db);
    db.exec("INSERT INTO tblpelabuhan VALUES ('IDTPP', 'TANJUNG PRIOK, JAKARTA'), "
            "('SGSIN', 'SINGAPORE'), ('NLRTM', 'ROTTERDAM')");
    db.exec("INSERT INTO tblkemasan VALUES ('CT', 'CARTON')");
    db.exec("INSERT INTO tblGrup VALUES ('09E', 'BARANG EKSPOR', 0, -1, 4)");
    db.exec("INSERT INTO tblheader VALUES (?, 'Outward', 'SEA BREEZE', '012S', '09E', "
            "'2024-03-15', '08:30:00', 'Y', 'MBL0009', '2024-03-09')",
            {kKey});
    for (int i = 1; i <= posCount; ++i)
        addPos(db, zeroPadded(i, 4));
    tx.commit();
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int posCount = argc > 1 ? std::atoi(argv[1]) : 1000;
    QTemporaryDir dir;
    const QString pdfPath = argc > 2 ? QString::fromLocal8Bit(argv[2]) : dir.filePath("recap.pdf");
    try {
        Database db = Database::create(dir.filePath("bench.db"), "bench");
        schema::create(db);
        fillManifest(db, posCount);

        QElapsedTimer timer;
        timer.start();
        const ReportContent content = ManifestReports(db, "0", "bench").RptManifesRekap(kKey);
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
