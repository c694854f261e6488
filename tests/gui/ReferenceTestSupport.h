#pragma once

#include "AppState.h"
#include "Database.h"
#include "GuiTestSupport.h"
#include "TestSupport.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace vastrel::test {

// An application state over a new database with every table.
struct TestInstallation {
    QTemporaryDir dir;
    TestStore store;
    AppState state;

    explicit TestInstallation(bool air = false) {
        state.programFolder = dir.path();
        state.Conn = store.create(dir.filePath("test.db"), "pw");
        state.StrJenis = air ? "1" : "0";
    }
    void exec(const QString& sql, const Params& params = {}) { state.Conn.exec(sql, params); }
    QVariant scalar(const QString& sql, const Params& params = {}) {
        return state.Conn.scalar(sql, params);
    }
    int count(const QString& table) { return scalar("SELECT count(*) FROM " + table).toInt(); }
    // The first column of every row of `sql`, as text.
    QStringList column(const QString& sql, const Params& params = {}) {
        QStringList values;
        for (RowSet rows = state.Conn.query(sql, params); !rows.eof(); rows.moveNext())
            values << rows.value(0).toString();
        return values;
    }
};

// The texts of one column of a list, top to bottom.
inline QStringList columnTexts(const QTableView* view, int column) {
    QStringList texts;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        texts << view->model()->index(row, column).data().toString();
    return texts;
}

// The texts of one row of a list, left to right.
inline QStringList rowTexts(const QTableView* view, int row) {
    QStringList texts;
    for (int column = 0; column < view->model()->columnCount(); ++column)
        texts << view->model()->index(row, column).data().toString();
    return texts;
}

inline QStringList headerCaptions(const QTableView* view) {
    QStringList captions;
    for (int column = 0; column < view->model()->columnCount(); ++column)
        captions << view->model()->headerData(column, Qt::Horizontal).toString();
    return captions;
}

// The centre of a row's first visible cell.
inline QPoint rowPoint(const QTableView* view, int row) {
    const int column = view->horizontalHeader()->logicalIndexAt(0);
    return view->visualRect(view->model()->index(row, column)).center();
}

inline void clickRow(QTableView* view, int row) {
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowPoint(view, row));
}

// A double-click as the user makes it: press and release, then the double-click.
inline void doubleClickAt(QTableView* view, QPoint point) {
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, point);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, point);
}

inline void doubleClickRow(QTableView* view, int row) {
    doubleClickAt(view, rowPoint(view, row));
}

inline void clickButton(QWidget* form, const char* name) {
    QTest::mouseClick(child<QPushButton>(form, name), Qt::LeftButton);
}

// The texts of the message boxes in `log`, in order.
inline QStringList textsOf(const QList<Messages::Record>& log) {
    QStringList texts;
    for (const Messages::Record& record : log)
        texts << record.text;
    return texts;
}

inline QStringList shownTexts() {
    return textsOf(Messages::takeLog());
}

// The message boxes shown since the last look, each as "title: text".
inline QStringList shownBoxes() {
    QStringList boxes;
    for (const Messages::Record& record : Messages::takeLog())
        boxes << record.title + ": " + record.text;
    return boxes;
}

// Presses the Delete button of `form` and returns the texts shown, with "<list refreshed>"
// where `list` was reloaded.
inline QStringList deleteWatchingRefresh(QWidget* form, QTableView* list) {
    QStringList shown;
    const auto watch = QObject::connect(list->model(), &QAbstractItemModel::modelReset,
                                        [&] { shown << shownTexts() << "<list refreshed>"; });
    clickButton(form, "CmdDelete");
    QObject::disconnect(watch);
    return shown << shownTexts();
}

} // namespace vastrel::test
