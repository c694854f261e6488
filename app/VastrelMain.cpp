// vastrel: the manifest entry application.

#include "Launcher.h"
#include "StartUp.h"

#include <QApplication>
#include <QDir>

using namespace vastrel;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    app.setApplicationName("Vastrel");
    app.setQuitOnLastWindowClosed(false);
    Launcher launcher(
        QDir(resolveProgramFolder(app.arguments(), app.applicationDirPath())).absolutePath());
    QObject::connect(&launcher, &Launcher::finished, &app, &QApplication::exit);
    launcher.start();
    return app.exec();
}
