#include "FrmRiwayat.h"

#include "History.h"
#include "Messages.h"
#include "RowSetModel.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace vastrel {

namespace {

const QList<RowSetModel::Column> kColumns = {
    {"Waktu (UTC)", 2200}, {"User", 1200}, {"Komputer", 1500}, {"Data", 1100},
    {"Kunci", 2600},       {"Aksi", 900},  {"Perubahan", 6000}};

QString tableCaption(const QString& table) {
    static const QHash<QString, QString> captions = {{"tblheader", "Header"},
                                                     {"tbldetail", "POS"},
                                                     {"tblhs", "Barang"},
                                                     {"tblcontainer", "Kontainer"},
                                                     {"tblpeb", "Dokumen"}};
    return captions.value(table, table);
}

QString actionCaption(const QString& action) {
    static const QHash<QString, QString> captions = {
        {"insert", "tambah"}, {"update", "ubah"}, {"delete", "hapus"}, {"import", "impor"}};
    return captions.value(action, action);
}

RowSet historyRows(const QList<HistoryEntry>& entries) {
    std::vector<QVariantList> rows;
    rows.reserve(static_cast<size_t>(entries.size()));
    for (const HistoryEntry& e : entries)
        rows.push_back({e.changedAt, e.user, e.host, tableCaption(e.table), e.rowKey,
                        actionCaption(e.action), changesText(e)});
    return RowSet({"changedat", "user", "host", "data", "rowkey", "action", "changes"},
                  std::move(rows));
}

} // namespace

FrmRiwayat::FrmRiwayat(const Database& db, const QString& nodaftar, const QString& nopos,
                       QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("FrmRiwayat"));
    setWindowTitle(nopos.isEmpty() ? "Riwayat Manifest " + nodaftar
                                   : "Riwayat POS " + nopos + " Manifest " + nodaftar);
    auto* model = new RowSetModel(this);
    model->setColumns(kColumns);
    auto* list = new QTableView(this);
    list->setObjectName(QStringLiteral("LvRiwayat"));
    showAsReportList(list, model);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("&Tutup"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list);
    layout->addWidget(buttons);
    resize(1000, 480);
    try {
        model->setRows(historyRows(readHistory(db, nodaftar, nopos)));
    } catch (const std::runtime_error& e) { // DbError
        Messages::showError(parent, e);
    }
}

} // namespace vastrel
