// vastrel: the manifest entry application.

#include "StartUp.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

using namespace vastrel;

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    AppState state;
    state.programFolder =
        QDir(resolveProgramFolder(app.arguments(), app.applicationDirPath())).absolutePath();
    switch (StartUp(state)) {
    case StartScreen::IniFailed:
        std::fprintf(stderr, "vastrel: cannot read %s\n", qPrintable(state.iniPath()));
        return 1;
    case StartScreen::ConnectionFailed:
        std::fprintf(stderr, "vastrel: %s\n", qPrintable(kConnectionFailedMessage));
        return 1;
    case StartScreen::Login:
    case StartScreen::Profile:
        break;
    }
    std::printf("Opened %s (%s manifests, version %s)\n",
                qPrintable(QDir(state.programFolder).filePath(state.StrDbName)),
                state.isAir() ? "air" : "sea", qPrintable(state.StrVersion));
    std::printf("%s\n", state.VarProfile
                            ? "Company profile present: the login screen comes first."
                            : "No company profile yet: the profile screen comes first.");
    return 0;
}
