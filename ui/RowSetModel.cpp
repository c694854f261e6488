#include "RowSetModel.h"

#include "InputHelpers.h"
#include "Messages.h"
#include "Schema.h"

#include <QHeaderView>
#include <QTableView>

namespace vastrel {

void RowSetModel::setColumns(const QList<Column>& columns) {
    beginResetModel();
    m_columns = columns;
    m_formatters.clear();
    endResetModel();
    emit columnsChanged();
}

void RowSetModel::setFormatter(int column, Formatter formatter) {
    if (static_cast<size_t>(column) >= m_formatters.size())
        m_formatters.resize(static_cast<size_t>(column) + 1);
    m_formatters[static_cast<size_t>(column)] = std::move(formatter);
    if (rowCount() > 0)
        emit dataChanged(index(0, column), index(rowCount() - 1, column));
}

void RowSetModel::refill(const Database& db, const QString& sql, const Params& params) {
    setRows(db.query(sql, params));
}

void RowSetModel::refillInPages(const Database& db, const QString& sql, const Params& params,
                                int pageSize) {
    const Paging paging{&db, sql + QStringLiteral(" LIMIT ? OFFSET ?"), params, pageSize, false};
    m_paging = paging;
    RowSet first = page(0);
    const bool more = first.recordCount() == pageSize;
    setRows(std::move(first));
    m_paging = paging;
    m_paging.more = more;
}

RowSet RowSetModel::page(int offset) const {
    return m_paging.db->query(m_paging.sql, Params(m_paging.params) << m_paging.pageSize << offset);
}

bool RowSetModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && m_paging.more;
}

void RowSetModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent))
        return;
    RowSet more;
    try {
        more = page(m_rows.recordCount());
    } catch (const DbError&) {
        m_paging.more = false; // the rows read so far stay; a new search tries again
        return;
    }
    m_paging.more = more.recordCount() == m_paging.pageSize;
    if (more.recordCount() == 0)
        return;
    beginInsertRows({}, m_rows.recordCount(), m_rows.recordCount() + more.recordCount() - 1);
    m_rows.append(more);
    endInsertRows();
}

void RowSetModel::setRows(RowSet rows) {
    m_paging = Paging{};
    beginResetModel();
    m_rows = std::move(rows);
    m_dateColumns.assign(static_cast<size_t>(m_rows.fieldCount()), false);
    for (int field = 0; field < m_rows.fieldCount(); ++field)
        m_dateColumns[static_cast<size_t>(field)] =
            schema::columnKind(m_rows.fieldName(field)) == schema::ColumnKind::Date;
    endResetModel();
}

void RowSetModel::clear() {
    setRows(RowSet());
}

QString RowSetModel::defaultText(int column, const QVariant& value) const {
    if (value.isNull())
        return QString();
    const QString raw = value.toString();
    if (m_dateColumns[static_cast<size_t>(column)]) {
        const QString date = StoredToDisplayDate(raw);
        if (!date.isEmpty())
            return date;
    }
    return column == 0 ? raw : raw.trimmed();
}

QString RowSetModel::text(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= m_rows.fieldCount())
        return QString();
    const QVariant& value = values(row).at(column);
    const auto at = static_cast<size_t>(column);
    if (at < m_formatters.size() && m_formatters[at])
        return m_formatters[at](value);
    return defaultText(column, value);
}

int RowSetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows.recordCount();
}

int RowSetModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return m_columns.isEmpty() ? m_rows.fieldCount() : static_cast<int>(m_columns.size());
}

QVariant RowSetModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return text(index.row(), index.column());
}

QVariant RowSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section < m_columns.size())
        return m_columns.at(section).caption;
    return m_rows.fieldName(section);
}

namespace {

int twipsToPixels(const QWidget* widget, int twips) {
    return twips * widget->logicalDpiX() / 1440;
}

void applyColumnWidths(QTableView* view, const RowSetModel* model) {
    const QList<RowSetModel::Column>& columns = model->columns();
    for (int column = 0; column < columns.size(); ++column) {
        const int twips = columns.at(column).widthTwips;
        view->setColumnHidden(column, twips == 0);
        if (twips > 0)
            view->setColumnWidth(column, twipsToPixels(view, twips));
    }
}

} // namespace

void showAsReportList(QTableView* view, RowSetModel* model) {
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the list for the next control; the arrows move within it.
    view->setTabKeyNavigation(false);
    view->setWordWrap(false);
    view->setShowGrid(false);
    view->setAlternatingRowColors(true);
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    view->horizontalHeader()->setHighlightSections(false);
    view->horizontalHeader()->setStretchLastSection(true);
    applyColumnWidths(view, model);
    QObject::connect(model, &RowSetModel::columnsChanged, view,
                     [view, model] { applyColumnWidths(view, model); });
}

bool InsertToGrid(QWidget* parent, RowSetModel& model, const Database& db, const QString& sql,
                  const Params& params) {
    try {
        model.refill(db, sql, params);
        return true;
    } catch (const DbError& e) {
        Messages::show(parent, "Procedure InsertToGrid : " + QString::fromUtf8(e.what()),
                       Messages::kInformation, Messages::Icon::Information);
        return false;
    }
}

} // namespace vastrel
