#pragma once

#include "AppState.h"

#include <QObject>

#include <memory>

namespace vastrel {

class FrmFirstRun;
class FrmLogin;
class FrmProfile;
class MainWindow;

// Brings the program from its splash screen to the main window: start-up (after
// creating an installation when none is found), then the login (or the company
// profile on a first run), then the main window.
class Launcher : public QObject {
    Q_OBJECT
public:
    // `offerFirstRun`: the folder is where the program looks by itself, so a missing
    // installation is offered to be created there rather than ending the program.
    explicit Launcher(QString programFolder, bool offerFirstRun = false);
    ~Launcher() override;

    // Shows the splash screen; the start-up runs when it has been seen.
    void start();
    // The start-up itself; false when the program must end.
    bool startUp();

    AppState& state() { return m_state; }
    MainWindow* mainWindow() const { return m_main.get(); }
    FrmLogin* login() const { return m_login.get(); }
    FrmProfile* profile() const { return m_profile.get(); }
    FrmFirstRun* firstRun() const { return m_firstRun.get(); }

signals:
    // The program ends with this exit code.
    void finished(int exitCode);

private:
    void showFirstRun();
    void showLogin();
    void showProfile();
    void showMainWindow(const QString& userName);

    AppState m_state;
    bool m_offerFirstRun;
    std::unique_ptr<FrmFirstRun> m_firstRun;
    std::unique_ptr<FrmLogin> m_login;
    std::unique_ptr<FrmProfile> m_profile;
    std::unique_ptr<MainWindow> m_main;
};

} // namespace vastrel
