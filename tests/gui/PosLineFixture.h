#pragma once

#include "AppState.h"
#include "GuiTestSupport.h"
#include "Messages.h"
#include "PosKey.h"

#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class QTableView;

namespace vastrel::test {

// A fresh database holding manifest 20070530000001 (dated 30-05-2007) with
// the given POS, for the screens that keep the lines of one POS.
class PosLineFixture {
public:
    PosLineFixture(const QString& direction, const QString& group,
                   const QStringList& posNumbers = {"0001", "0002"});

    PosKey pos(const QString& nopos) const { return {"30-05-2007", "000001", nopos}; }
    QString nodaftar() const { return pos("0001").nodaftar(); }
    void exec(const QString& sql, const Params& params = {}) { state.Conn.exec(sql, params); }
    // The first column of every row of `sql`, as text.
    QStringList column(const QString& sql, const Params& params = {}) const;
    QString status() const;

    QTemporaryDir dir;
    AppState state;
};

// The texts of the recorded message boxes, in order.
QStringList texts(const QList<Messages::Record>& log);

// What a report list shows in a cell.
QString cell(const QTableView* list, int row, int column);
void clickRow(QTableView* list, int row);
void doubleClickRow(QTableView* list, int row);

// Opens a per-POS screen over a fresh fixture, records its messages and works its controls.
template <typename Screen> class ScreenDriver {
protected:
    void start(const QString& direction, const QString& group,
               const QStringList& posNumbers = {"0001", "0002"}) {
        f = std::make_unique<PosLineFixture>(direction, group, posNumbers);
        Messages::startRecording();
    }
    void finish() {
        screen.reset();
        f.reset();
        Messages::stopRecording();
    }
    void open(const QString& nopos = "0001") {
        screen = std::make_unique<Screen>(f->state, f->pos(nopos));
        screen->show();
        QVERIFY(QTest::qWaitForWindowActive(screen.get()));
        Messages::takeLog();
    }
    template <typename T = QLineEdit> T* field(const QString& name) {
        return child<T>(screen.get(), name);
    }
    void click(const QString& button) {
        QTest::mouseClick(field<QPushButton>(button), Qt::LeftButton);
    }

    std::unique_ptr<PosLineFixture> f;
    std::unique_ptr<Screen> screen;
};

} // namespace vastrel::test
