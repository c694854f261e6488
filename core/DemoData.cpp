#include "DemoData.h"

#include "Database.h"
#include "PasswordHash.h"

#include <initializer_list>

namespace vastrel {

namespace {

using Rows = std::initializer_list<Params>;

void insertAll(Database& db, const QString& sql, Rows rows) {
    for (const Params& row : rows)
        db.exec(sql, row);
}

// Adds the code-and-name rows whose code the table (filled from a pack) does not hold yet.
void addMissingCodes(Database& db, const QString& table, const QString& code, const QString& name,
                     Rows rows) {
    const QString sql = "INSERT INTO " + table + " (" + code + ", " + name + ") SELECT ?, ? " +
                        "WHERE NOT EXISTS (SELECT 1 FROM " + table + " WHERE " + code + " = ?)";
    for (const Params& row : rows)
        db.exec(sql, {row[0], row[1], row[0]});
}

void addReferences(Database& db, bool air) {
    insertAll(db, QStringLiteral("INSERT INTO tblpelabuhan (kdport, nmport) VALUES (?, ?)"),
              {{"IDTPP", "TANJUNG PRIOK, JAKARTA"},
               {"IDSUB", "TANJUNG PERAK, SURABAYA"},
               {"IDBLW", "BELAWAN, MEDAN"},
               {"IDSRG", "TANJUNG EMAS, SEMARANG"},
               {"IDCGK", "SOEKARNO-HATTA, JAKARTA"},
               {"IDDPS", "NGURAH RAI, DENPASAR"},
               {"SGSIN", "SINGAPORE"},
               {"MYPKG", "PORT KLANG"},
               {"CNSHA", "SHANGHAI"},
               {"HKHKG", "HONG KONG"},
               {"JPTYO", "TOKYO"},
               {"NLRTM", "ROTTERDAM"}});
    addMissingCodes(db, QStringLiteral("tblkemasan"), QStringLiteral("kdedi"),
                    QStringLiteral("uredi"),
                    {{"PK", "PACKAGE"},
                     {"CT", "CARTON"},
                     {"BG", "BAG"},
                     {"PL", "PALLET"},
                     {"DR", "DRUM"},
                     {"BX", "BOX"},
                     {"CS", "CASE"},
                     {"RL", "ROLL"},
                     {"BL", "BALE"}});
    insertAll(db,
              QStringLiteral("INSERT INTO tblGrup (kdgrup, urkdgrup, inward, outward, adadetil) "
                             "VALUES (?, ?, ?, ?, ?)"),
              {{"A1", "BARANG IMPOR", -1, 0, 1},
               {"A2", "BARANG IMPOR TRANSIT", -1, 0, 2},
               {"08X", "KAPAL TANPA MUATAN", -1, -1, 3},
               {"09E", "BARANG EKSPOR", 0, -1, 4},
               {"10E", "BARANG EKSPOR KEMBALI", 0, -1, 5},
               {"11E", "BARANG EKSPOR TRANSHIPMENT", 0, -1, 6}});
    insertAll(db, QStringLiteral("INSERT INTO tblkpbc (kode, nama) VALUES (?, ?)"),
              {{"000000", "KANTOR PUSAT DJBC"},
               {"040000", "KANWIL DJBC JAKARTA"},
               {"040300", "KPU BEA DAN CUKAI TANJUNG PRIOK"},
               {"050100", "KPPBC SOEKARNO-HATTA"},
               {"070100", "KPPBC TANJUNG PERAK"},
               {"123400", "KPPBC CONTOH"}});
    addMissingCodes(db, QStringLiteral("tbl_hs"), QStringLiteral("hs"),
                    QStringLiteral("description"),
                    {{"847130", "PORTABLE COMPUTERS, WEIGHING NOT MORE THAN 10 KG"},
                     {"851712", "TELEPHONES FOR CELLULAR NETWORKS"},
                     {"640299", "OTHER FOOTWEAR WITH RUBBER OR PLASTIC SOLES"},
                     {"090111", "COFFEE, NOT ROASTED, NOT DECAFFEINATED"},
                     {"400122", "TECHNICALLY SPECIFIED NATURAL RUBBER"},
                     {"151110", "CRUDE PALM OIL"},
                     {"870323", "MOTOR CARS, 1500 TO 3000 CC"},
                     {"620342", "MEN'S TROUSERS OF COTTON"},
                     {"940360", "WOODEN FURNITURE"},
                     {"300490", "MEDICAMENTS, PUT UP IN MEASURED DOSES"}});
    // The carriers the installation's kind offers: airlines for air, vessels for sea.
    const Rows airlines = {{"GARUDA INDONESIA"}, {"SINGAPORE AIRLINES"}, {"CATHAY PACIFIC"}};
    const Rows vessels = {{"SEA BREEZE"}, {"OCEAN STAR"}, {"MERATUS JAYA"}};
    insertAll(db, QStringLiteral("INSERT INTO tblkapal (nmkapal) VALUES (?)"),
              air ? airlines : vessels);
    insertAll(
        db,
        QStringLiteral(
            "INSERT INTO tblparties (NamaParties, AlmtParties, KodeParties) VALUES (?, ?, ?)"),
        {{"PT CONTOH EKSPOR", "JL CONTOH 1 SINGAPORE", "1"},
         {"PT CONTOH IMPOR", "JL CONTOH 2 JAKARTA", "2"},
         {"SAME AS CONSIGNEE", "", "3"}});
}

// One ready inward manifest with one POS, one goods line and one container.
void addManifest(Database& db, bool air) {
    const QString key = QString::fromLatin1(kDemoManifestKey);
    db.exec(QStringLiteral("INSERT INTO tblheader (nodaftar, jnsmanifest, vessel, voyage, kdgrup, "
                           "arrivingdate, arrivingtime, status, no_master, tgl_master) "
                           "VALUES (?, 'Inward', ?, ?, 'A1', '2024-03-15', '08:30:00', 'Y', ?, "
                           "'2024-03-09')"),
            {key, air ? "GARUDA INDONESIA" : "SEA BREEZE", air ? "GA0880" : "012N",
             air ? "MAWB0009" : "MBL0009"});
    db.exec(QStringLiteral(
                "INSERT INTO tbldetail (nodaftar, nopos, mot_vessel, nobl, tglbl, pasalcd, "
                "pmuatcd, pbongkarcd, pakhircd, snm, sna, cnm, cna, nnm, nna, mark, bruto, "
                "volume, jmlkemasan, satuankemasan, flagconsolidate, flagpartial, "
                "grandcontainer, grandpackage) VALUES (?, '0001', ?, ?, '2024-03-10', ?, ?, ?, "
                "?, 'PT CONTOH EKSPOR', 'JL CONTOH 1 SINGAPORE', 'PT CONTOH IMPOR', "
                "'JL CONTOH 2 JAKARTA', 'SAME AS CONSIGNEE', '', 'NO MARKS', 1234.5, 12.345, "
                "100, 'PK', '', '', 0, 0)"),
            {key, air ? "" : "OCEAN STAR", air ? "HAWB0001" : "SBL0001", "SGSIN", "SGSIN",
             air ? "IDCGK" : "IDTPP", air ? "IDCGK" : "IDTPP"});
    db.exec(QStringLiteral("INSERT INTO tblhs (nodaftar, nopos, noseq, hs, uraian) "
                           "VALUES (?, '0001', '0001', '847130', 'PORTABLE COMPUTERS')"),
            {key});
    if (!air)
        db.exec(QStringLiteral(
                    "INSERT INTO tblcontainer (nodaftar, nopos, noseq, nocountener, ukuran, tipe, "
                    "seal) VALUES (?, '0001', '0001', 'ABCU1234560', '40', 'F', 'SEAL001')"),
                {key});
}

} // namespace

void addDemoData(Database& db, bool air) {
    Transaction tx(db);
    addReferences(db, air);
    db.exec(QStringLiteral("INSERT INTO tblsetting (nama, inisial, alamat, notelp, fax, "
                           "jenis_manifest, nodaftarauto) VALUES ('PT VASTREL DEMO', 'VST', "
                           "'JL ENGGANO 12, TANJUNG PRIOK, JAKARTA', '021-4301234', '021-4301235', "
                           "?, '000001')"),
            {air ? "1" : "0"});
    db.exec(QStringLiteral("INSERT INTO tbluser (user, password) VALUES (?, ?)"),
            {QString::fromLatin1(kDemoUser), hashPassword(QString::fromLatin1(kDemoUserPassword))});
    addManifest(db, air);
    tx.commit();
}

} // namespace vastrel
