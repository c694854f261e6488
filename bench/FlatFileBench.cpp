// bench_flatfile [POS_COUNT]: builds an outward manifest of POS_COUNT POS (default 10000), each
// with 3 goods lines, 2 containers and 1 customs document, in a temporary database, then
// times writing its flat file and recomputing its readiness once.

#include "Database.h"
#include "FlatFile.h"
#include "Readiness.h"
#include "Schema.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

using namespace vastrel;

namespace {

const QString kKey = QStringLiteral("20240315000001");

void fillManifest(Database& db, int posCount) {
    Transaction tx(db);
    db.exec("INSERT INTO tblheader VALUES (?, 'Outward', 'SEA BREEZE', '012S', '09E', "
            "'2024-03-15', '08:30:00', 'N', 'MBL0009', '2024-03-09')",
            {kKey});
    // From "0000" so that 10000 POS still have four-digit numbers.
    for (int i = 0; i < posCount; ++i) {
        const QString pos = zeroPadded(i, 4);
        db.exec("INSERT INTO tbldetail (nodaftar, nopos, mot_vessel, nobl, tglbl, pasalcd, "
                "pmuatcd, pbongkarcd, pakhircd, snm, sna, cnm, cna, nnm, nna, mark, bruto, "
                "volume, jmlkemasan, satuankemasan, flagconsolidate, flagpartial, "
                "grandcontainer, grandpackage) VALUES (?, ?, 'OCEAN STAR', ?, '2024-03-10', "
                "'IDTPP', 'IDTPP', 'SGSIN', 'SGSIN', 'PT CONTOH EKSPOR', 'JL CONTOH 1 JAKARTA', "
                "'PT CONTOH IMPOR', 'JL CONTOH 2 SINGAPORE', 'SAME AS CONSIGNEE', '', "
                "'NO MARKS', 1234.5, 12.345, 100, 'PK', '', '', 0, 0)",
                {kKey, pos, "SBL" + pos});
        for (const char* seq : {"0001", "0002", "0003"})
            db.exec("INSERT INTO tblhs VALUES (?, ?, ?, '847130', 'PORTABLE COMPUTERS')",
                    {kKey, pos, seq});
        for (const char* seq : {"0001", "0002"})
            db.exec("INSERT INTO tblcontainer VALUES (?, ?, ?, ?, '40', 'F', 'SEAL001')",
                    {kKey, pos, seq, "ABCU" + pos + seq});
        db.exec("INSERT INTO tblpeb VALUES (?, ?, '0001', 'PEB', '123400', '654321', "
                "'2024-03-10')",
                {kKey, pos});
    }
    tx.commit();
}

} // namespace

int main(int argc, char* argv[]) {
    const int posCount = argc > 1 ? std::atoi(argv[1]) : 10000;
    QTemporaryDir dir;
    try {
        Database db = Database::create(dir.filePath("bench.db"), "bench");
        schema::create(db);
        fillManifest(db, posCount);

        QElapsedTimer timer;
        timer.start();
        FlatFile(db, kKey, "0").CreateFlatFile(dir.filePath("bench.txt"));
        const double writeSeconds = timer.nsecsElapsed() / 1e9;

        timer.restart();
        UpdateStatus(db, kKey);
        const double statusSeconds = timer.nsecsElapsed() / 1e9;

        QFile file(dir.filePath("bench.txt"));
        if (!file.open(QIODevice::ReadOnly))
            throw FlatFileError("The flat file cannot be read back");
        const long long lines = file.readAll().count("\r\n");
        std::printf("POS: %d\n", posCount);
        std::printf("Flat file: %lld lines, %lld bytes in %.3f s (%.0f lines/s)\n", lines,
                    static_cast<long long>(file.size()), writeSeconds, lines / writeSeconds);
        std::printf("UpdateStatus: %.3f s (status %s)\n", statusSeconds,
                    qPrintable(GetStatus(db, kKey)));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_flatfile: %s\n", e.what());
        return 1;
    }
    return 0;
}
