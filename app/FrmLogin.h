#pragma once

#include <QWidget>

class QLineEdit;

namespace vastrel {

struct AppState;

// Checks a user name and password against tbluser before the main window opens.
class FrmLogin : public QWidget {
    Q_OBJECT
public:
    explicit FrmLogin(AppState& state, QWidget* parent = nullptr);

    void CmdLogin_Click();

signals:
    // The user logged in; `userName` is the upper-cased name typed.
    void loggedIn(const QString& userName);
    void cancelled();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closing the window ends the program, as Cancel does.
    void closeEvent(QCloseEvent* event) override;

private:
    bool credentialsMatch() const;

    AppState& m_state;
    QLineEdit* m_user;
    QLineEdit* m_password;
};

} // namespace vastrel
