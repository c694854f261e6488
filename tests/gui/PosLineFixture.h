#pragma once

#include "PosKey.h"
#include "ReferenceTestSupport.h"

#include <memory>

namespace vastrel::test {

// A fresh database holding manifest 20070530000001 (dated 30-05-2007) with
// the given POS, for the screens that keep the lines of one POS.
struct PosLineFixture : TestInstallation {
    PosLineFixture(const QString& direction, const QString& group, const QStringList& posNumbers);

    PosKey pos(const QString& nopos) const { return {"30-05-2007", "000001", nopos}; }
    QString nodaftar() const { return pos("0001").nodaftar(); }
    QString status() { return scalar("SELECT status FROM tblheader").toString(); }
};

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
        screen->activateWindow(); // a desktop without a window manager activates nothing itself
        QVERIFY(QTest::qWaitForWindowActive(screen.get()));
        Messages::takeLog();
    }
    template <typename T = QLineEdit> T* field(const QString& name) {
        return child<T>(screen.get(), name);
    }
    void click(const QString& button) {
        QTest::mouseClick(field<QPushButton>(button), Qt::LeftButton);
    }
    // The lines of POS 0001 stored in `table`, each as the text `columns` make of it.
    QStringList storedLines(const QString& table, const QString& columns) {
        return f->column("SELECT " + columns + " FROM " + table +
                             " WHERE nodaftar = ? AND nopos = '0001' ORDER BY noseq",
                         {f->nodaftar()});
    }

    std::unique_ptr<PosLineFixture> f;
    std::unique_ptr<Screen> screen;
};

} // namespace vastrel::test
