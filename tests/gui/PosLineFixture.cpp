#include "PosLineFixture.h"

namespace vastrel::test {

PosLineFixture::PosLineFixture(const QString& direction, const QString& group,
                               const QStringList& posNumbers) {
    exec("INSERT INTO tblheader(nodaftar,jnsmanifest,kdgrup,status) VALUES (?,?,?,'N')",
         {nodaftar(), direction, group});
    for (const QString& nopos : posNumbers)
        exec("INSERT INTO tbldetail(nodaftar,nopos) VALUES (?,?)", {nodaftar(), nopos});
    exec("INSERT INTO tblkpbc(kode,nama) VALUES ('040300','KPU TANJUNG PRIOK'),"
         "('ABC123','KPPBC CONTOH')");
}

} // namespace vastrel::test
