#pragma once

#include "AppState.h"
#include "Database.h"
#include "GuiTestSupport.h"
#include "Schema.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace vastrel::test {

// An application state over a new database with every table.
struct TestInstallation {
    QTemporaryDir dir;
    AppState state;

    explicit TestInstallation(bool air = false) {
        state.programFolder = dir.path();
        state.Conn = Database::create(dir.filePath("test.db"), "pw");
        schema::create(state.Conn);
        state.Conn.exec("PRAGMA synchronous = OFF"); // a throw-away file needs no flushing
        state.StrJenis = air ? "1" : "0";
    }
    void exec(const QString& sql, const Params& params = {}) { state.Conn.exec(sql, params); }
    QVariant scalar(const QString& sql, const Params& params = {}) {
        return state.Conn.scalar(sql, params);
    }
    int count(const QString& table) { return scalar("SELECT count(*) FROM " + table).toInt(); }
};

// The texts of one column of a list, top to bottom.
inline QStringList columnTexts(const QTableView* view, int column) {
    QStringList texts;
    for (int row = 0; row < view->model()->rowCount(); ++row)
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

// The texts of the recorded message boxes, in order.
inline QStringList shownTexts(RecordedMessages& messages) {
    QStringList texts;
    for (const Messages::Record& record : messages.take())
        texts << record.text;
    return texts;
}

} // namespace vastrel::test
