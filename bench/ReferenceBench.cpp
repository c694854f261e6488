// Times a full-size UN/LOCODE load (a synthetic release of 116,000 places in three parts) on
// this run's engine (the server with VASTREL_TEST_BACKEND=server), then the port lookup:
// opening it, and a search by a name fragment and by a code, each from the key press to the
// painted list.
#include "FrmFind.h"
#include "LocodeRelease.h"
#include "ReferenceTestSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>

#include <cstdio>
#include <functional>

using namespace vastrel;

namespace {

constexpr int kPlaces = 116000;
constexpr int kParts = 3;

// A letter code for `n`: three letters or digits 2-9, as a location is.
QString location(int n) {
    static const QString symbols = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ23456789");
    QString code;
    for (int i = 0; i < 3; ++i, n /= static_cast<int>(symbols.size()))
        code.prepend(symbols[n % symbols.size()]);
    return code;
}

// Writes the release's parts and returns their names; every place is a port.
QStringList writeRelease(const QString& folder) {
    QStringList files;
    for (int part = 0; part < kParts; ++part) {
        const QString name = QStringLiteral("%1/CodeListPart%2.csv").arg(folder).arg(part + 1);
        QByteArray text;
        for (int i = part; i < kPlaces; i += kParts) {
            const QString country = QString(QChar('A' + i % 26)) + QChar('A' + (i / 26) % 26);
            const QString place = QStringLiteral("Harbour Town %1").arg(i);
            text +=
                QStringLiteral(",\"%1\",\"%2\",\"%3\",\"%3\",,\"AI\",\"1-------\",\"0207\",,,\n")
                    .arg(country, location(i / 676), place)
                    .toUtf8();
        }
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            std::exit(2);
        files << name;
    }
    return files;
}

qint64 timed(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.elapsed();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    test::TestInstallation db;
    const char* engine = db.state.Conn.onServer() ? "server" : "file";
    const QStringList files = writeRelease(db.dir.path());
    ReferenceLoadResult result;
    const qint64 load = timed([&] {
        const ReferenceContent content = readLocodeRelease(files, LocodePlaces::Ports);
        result = loadReference(db.state.Conn, *content.table, content.entries, content.source);
    });
    std::printf("%s: UN/LOCODE load of %d places: %lld ms (%s)\n", engine, kPlaces,
                static_cast<long long>(load), qPrintable(result.summary()));

    FrmFind dialog(db.state, nullptr);
    const qint64 open = timed([&] {
        dialog.ViewMainTable("pelabuhanasal", true);
        dialog.ShowQuery("pelabuhanasal", false);
        dialog.show();
        dialog.repaint();
    });
    std::printf("%s: opening the port lookup: %lld ms\n", engine, static_cast<long long>(open));
    auto* box = dialog.findChild<QLineEdit*>("TxtFind");
    auto* list = dialog.findChild<QTableView*>("LvFind");
    for (const char* text : {"TOWN 1", "AAB", "HARBOUR"}) {
        box->setText(QString::fromLatin1(text));
        const qint64 ms = timed([&] {
            test::pressEnter(box);
            dialog.repaint();
        });
        std::printf("%s: search \"%s\": %lld ms, first %d rows shown\n", engine, text,
                    static_cast<long long>(ms), list->model()->rowCount());
    }
    return result.added == kPlaces ? 0 : 1;
}
