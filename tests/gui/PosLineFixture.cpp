#include "PosLineFixture.h"

#include "Schema.h"
#include "TestSupport.h"

#include <QTableView>
#include <QTest>

namespace vastrel::test {

PosLineFixture::PosLineFixture(const QString& direction, const QString& group,
                               const QStringList& posNumbers) {
    state.Conn = Database::create(dir.filePath("manifest.db"), kTestPassword);
    schema::create(state.Conn);
    exec("INSERT INTO tblheader(nodaftar,jnsmanifest,kdgrup,status) VALUES (?,?,?,'N')",
         {nodaftar(), direction, group});
    for (const QString& nopos : posNumbers)
        exec("INSERT INTO tbldetail(nodaftar,nopos) VALUES (?,?)", {nodaftar(), nopos});
    exec("INSERT INTO tblkpbc(kode,nama) VALUES ('040300','KPU TANJUNG PRIOK'),"
         "('ABC123','KPPBC CONTOH')");
}

QStringList PosLineFixture::column(const QString& sql, const Params& params) const {
    RowSet rows = state.Conn.query(sql, params);
    QStringList values;
    for (int row = 0; row < rows.recordCount(); ++row)
        values << rows.row(row).at(0).toString();
    return values;
}

QString PosLineFixture::status() const {
    return state.Conn.scalar("SELECT status FROM tblheader WHERE nodaftar = ?", {nodaftar()})
        .toString();
}

QStringList texts(const QList<Messages::Record>& log) {
    QStringList result;
    for (const Messages::Record& record : log)
        result << record.text;
    return result;
}

QString cell(const QTableView* list, int row, int column) {
    return list->model()->index(row, column).data().toString();
}

namespace {

QPoint rowCentre(const QTableView* list, int row) {
    return list->visualRect(list->model()->index(row, 0)).center();
}

} // namespace

void clickRow(QTableView* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre(list, row));
}

void doubleClickRow(QTableView* list, int row) {
    clickRow(list, row);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rowCentre(list, row));
}

} // namespace vastrel::test
