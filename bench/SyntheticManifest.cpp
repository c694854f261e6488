#include "SyntheticManifest.h"

#include "Database.h"
#include "Schema.h"

namespace vastrel {

namespace {

void addPos(Database& db, const QString& pos) {
    db.exec("INSERT INTO tbldetail (nodaftar, nopos, mot_vessel, nobl, tglbl, pasalcd, pmuatcd, "
            "pbongkarcd, pakhircd, snm, sna, cnm, cna, nnm, nna, mark, bruto, volume, "
            "jmlkemasan, satuankemasan, flagconsolidate, flagpartial, grandcontainer, "
            "grandpackage) VALUES (?, ?, 'OCEAN STAR', ?, '2024-03-10', 'IDTPP', 'IDTPP', "
            "'SGSIN', 'NLRTM', 'PT CONTOH EKSPOR', 'JL CONTOH 1 NO 23, KAWASAN INDUSTRI "
            "PULOGADUNG, JAKARTA TIMUR 13920', 'PT CONTOH IMPOR', 'JL CONTOH 2 SINGAPORE', "
            "'SAME AS CONSIGNEE', '', 'NO MARKS', 1234.5, 12.345, 100, 'CT', '', '', 0, 0)",
            {kBenchKey, pos, "SBL" + pos});
    for (const char* seq : {"0001", "0002", "0003"})
        db.exec("INSERT INTO tblhs VALUES (?, ?, ?, '847130', 'PORTABLE COMPUTERS, WEIGHING NOT "
                "MORE THAN 10 KG, WITH ACCESSORIES')",
                {kBenchKey, pos, seq});
    for (const char* seq : {"0001", "0002"})
        db.exec("INSERT INTO tblcontainer VALUES (?, ?, ?, ?, '40', 'F', 'SEAL001')",
                {kBenchKey, pos, seq, "ABCU" + pos + seq});
    db.exec("INSERT INTO tblpeb VALUES (?, ?, '0001', 'PEB', '123400', '654321', '2024-03-10')",
            {kBenchKey, pos});
}

} // namespace

void createSyntheticManifest(Database& db, int posCount) {
    schema::create(db);
    Transaction tx(db);
    db.exec("INSERT INTO tblsetting (nama, inisial, jenis_manifest, nodaftarauto) "
            "VALUES ('PT BENCH', 'BN', '0', '000001')");
    db.exec("INSERT INTO tblpelabuhan VALUES ('IDTPP', 'TANJUNG PRIOK, JAKARTA'), "
            "('SGSIN', 'SINGAPORE'), ('NLRTM', 'ROTTERDAM')");
    db.exec("INSERT INTO tblkemasan VALUES ('CT', 'CARTON')");
    db.exec("INSERT INTO tblGrup VALUES ('09E', 'BARANG EKSPOR', 0, -1, 4)");
    db.exec("INSERT INTO tblheader VALUES (?, 'Outward', 'SEA BREEZE', '012S', '09E', "
            "'2024-03-15', '08:30:00', 'Y', 'MBL0009', '2024-03-09')",
            {kBenchKey});
    for (int i = 0; i < posCount; ++i)
        addPos(db, QString::number(i + 1).rightJustified(4, '0'));
    tx.commit();
}

} // namespace vastrel
