// vastrel: the manifest entry application.

#include "CoreDumps.h"
#include "IndonesianTexts.h"
#include "Launcher.h"
#include "ProgramVersion.h"
#include "StartUp.h"

#include <QApplication>
#include <QDir>
#include <QStringList>

#include <cstdio>

using namespace vastrel;

int main(int argc, char* argv[]) {
    forbidCoreDumps();
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    switch (parseCommandLine(arguments)) {
    case CommandLineAction::Help:
        std::fputs(kProgramUsage, stdout);
        return 0;
    case CommandLineAction::Version:
        std::printf("vastrel %s\n", kProgramVersion);
        return 0;
    case CommandLineAction::Mistake:
        std::fputs(kProgramUsage, stderr);
        return 2;
    case CommandLineAction::Run:
        break;
    }
    QApplication app(argc, argv);
    app.setApplicationName("Vastrel");
    app.setQuitOnLastWindowClosed(false);
    installIndonesianTexts(app);
    // A folder the user named keeps its plain refusal when empty; where the program
    // looks by itself (started from the desktop menu) it offers to create an installation.
    Launcher launcher(
        QDir(resolveProgramFolder(app.arguments(), app.applicationDirPath())).absolutePath(),
        namedProgramFolder(app.arguments()).isEmpty());
    QObject::connect(&launcher, &Launcher::finished, &app, &QApplication::exit);
    launcher.start();
    return app.exec();
}
