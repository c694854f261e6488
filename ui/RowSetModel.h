#pragma once

#include "Database.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>

#include <functional>
#include <vector>

class QTableView;
class QWidget;

namespace vastrel {

// A read-only list over a query result, shown the way every result list of
// the program shows its rows: a null is empty text, a date column reads
// "dd-mm-yyyy", and every column after the first is trimmed. Refilling
// replaces all rows at once, so a list of many thousand rows stays cheap.
class RowSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString caption;
        int widthTwips = 1500; // 0 hides the column
    };
    // Turns a column's raw value into the text the list shows.
    using Formatter = std::function<QString(const QVariant&)>;

    using QAbstractTableModel::QAbstractTableModel;

    // New captions and widths; the formatters of the old columns are dropped.
    void setColumns(const QList<Column>& columns);
    const QList<Column>& columns() const { return m_columns; }
    void setFormatter(int column, Formatter formatter);

    // Replaces the rows with the result of `sql`; throws DbError and then keeps
    // the rows it had.
    void refill(const Database& db, const QString& sql, const Params& params = {});
    // Replaces the rows with the first `pageSize` rows of `sql` (which must order its rows
    // fully) and reads the next ones as the view scrolls to them; `db` must outlive the rows.
    void refillInPages(const Database& db, const QString& sql, const Params& params,
                       int pageSize = 200);
    void setRows(RowSet rows);
    void clear();

    // The row's values as the query returned them.
    const QVariantList& values(int row) const { return m_rows.row(row); }
    // The text the list shows in a cell.
    QString text(int row, int column) const;

    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    void columnsChanged();

private:
    QString defaultText(int column, const QVariant& value) const;

    QList<Column> m_columns;
    std::vector<Formatter> m_formatters; // by column; empty means the default
    RowSet m_rows;
    std::vector<bool> m_dateColumns; // by field of m_rows

    // The query whose further pages are still to be read.
    struct Paging {
        const Database* db = nullptr;
        QString sql;
        Params params;
        int pageSize = 0;
        bool more = false;
    };
    RowSet page(int offset) const;
    Paging m_paging;
};

// Makes `view` a report list over `model`: one whole row selected at a time,
// no editing, no row numbers, and the column widths the model gives, also
// after later setColumns calls.
void showAsReportList(QTableView* view, RowSetModel* model);

// Fills `model` from a query as the list screens do: a failure shows "Procedure InsertToGrid : "
// with its reason over `parent` and leaves the list as it was. True when the list was filled.
bool InsertToGrid(QWidget* parent, RowSetModel& model, const Database& db, const QString& sql,
                  const Params& params = {});

} // namespace vastrel
