#include "Launcher.h"

#include "FrmFirstRun.h"
#include "FrmLogin.h"
#include "FrmProfile.h"
#include "FrmSplash.h"
#include "MainWindow.h"
#include "Messages.h"
#include "StartUp.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>

#include <cstdio>

namespace vastrel {

namespace {

// The first screens stand alone: in the middle of the screen, not in a corner.
void showCentered(QWidget* window) {
    window->adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().center() - window->rect().center());
    window->show();
}

QString passwordRecoveryMessage(PasswordRecovery recovery) {
    return recovery == PasswordRecovery::Finished
               ? QStringLiteral("Perubahan password database yang sempat terputus telah "
                                "diselesaikan; password baru berlaku.")
               : QStringLiteral("Perubahan password database yang sempat terputus telah "
                                "dibatalkan; password lama tetap berlaku.");
}

QString upgradeMessage(const SchemaUpgrade& upgrade) {
    QString text = QStringLiteral("Tabel database telah diperbarui dari versi %1 ke versi %2.")
                       .arg(upgrade.from)
                       .arg(upgrade.to);
    if (!upgrade.backup.isEmpty())
        text += "\nDatabase sebelumnya disimpan sebagai " +
                QDir::toNativeSeparators(upgrade.backup) + '.';
    return text;
}

} // namespace

Launcher::Launcher(QString programFolder, bool offerFirstRun) : m_offerFirstRun(offerFirstRun) {
    m_state.programFolder = std::move(programFolder);
}

Launcher::~Launcher() = default;

void Launcher::start() {
    auto* splash = new FrmSplash({});
    splash->setAttribute(Qt::WA_DeleteOnClose);
    connect(splash, &FrmSplash::finished, this, [this, splash] {
        splash->close();
        if (!startUp())
            emit finished(1);
    });
    showCentered(splash);
}

bool Launcher::startUp() {
    const StartScreen first = StartUp(m_state);
    if (m_state.passwordRecovery != PasswordRecovery::None)
        Messages::show(nullptr, passwordRecoveryMessage(m_state.passwordRecovery),
                       Messages::kInformation, Messages::Icon::Information);
    if (m_state.schemaUpgrade.from != 0)
        Messages::show(nullptr, upgradeMessage(m_state.schemaUpgrade), Messages::kInformation,
                       Messages::Icon::Information);
    switch (first) {
    case StartScreen::IniFailed:
        if (m_offerFirstRun && !QFile::exists(m_state.iniPath())) {
            showFirstRun();
            return true;
        }
        std::fprintf(stderr, "vastrel: cannot read %s\n",
                     qPrintable(QDir::toNativeSeparators(m_state.iniPath())));
        return false;
    case StartScreen::ConnectionFailed:
        Messages::show(nullptr, connectionFailure(m_state).indonesian());
        return false;
    case StartScreen::Login:
        showLogin();
        return true;
    case StartScreen::Profile:
        showProfile();
        return true;
    }
    return false;
}

// No installation yet: once one is created, the start-up runs on it; cancelled,
// the program ends.
void Launcher::showFirstRun() {
    m_firstRun = std::make_unique<FrmFirstRun>(m_state.programFolder);
    connect(m_firstRun.get(), &QDialog::finished, this, [this](int result) {
        m_firstRun.release()->deleteLater();
        if (result != QDialog::Accepted)
            emit finished(0);
        else if (!startUp())
            emit finished(1);
    });
    showCentered(m_firstRun.get());
}

void Launcher::showLogin() {
    m_login = std::make_unique<FrmLogin>(m_state);
    connect(m_login.get(), &FrmLogin::loggedIn, this, &Launcher::showMainWindow);
    connect(m_login.get(), &FrmLogin::cancelled, this, [this] { emit finished(0); });
    showCentered(m_login.get());
}

// A first run: the profile comes before anything else. Once it is saved the
// login follows at once; closing it unsaved ends the program.
void Launcher::showProfile() {
    m_profile = std::make_unique<FrmProfile>(m_state);
    connect(m_profile.get(), &FrmProfile::firstRunClosed, this, [this] { emit finished(0); });
    // The login follows once the saved profile's message is answered and the screen is gone.
    connect(m_profile.get(), &QDialog::finished, this, [this] {
        if (!m_state.VarProfile)
            return;
        m_profile.release()->deleteLater();
        showLogin();
    });
    showCentered(m_profile.get());
}

void Launcher::showMainWindow(const QString& userName) {
    m_state.Conn.setUserName(userName); // the history records the changes under it
    m_main = std::make_unique<MainWindow>(m_state);
    m_main->setUserName(userName);
    m_main->ControlToolBar("awal");
    m_state.entry.VarNavigate = false;
    m_login.release()->deleteLater();
    m_main->show();
}

} // namespace vastrel
