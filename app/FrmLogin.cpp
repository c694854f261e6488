#include "FrmLogin.h"

#include "AppState.h"
#include "KeyGuard.h"
#include "Messages.h"
#include "PasswordHash.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vastrel {

namespace {

QLineEdit* field(QWidget* parent, const char* name, int maxLength) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(maxLength);
    return box;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

} // namespace

FrmLogin::FrmLogin(AppState& state, QWidget* parent)
    : QWidget(parent), m_state(state), m_user(field(this, "TxtUser", 50)),
      m_password(field(this, "TxtPassword", 50)) {
    setObjectName("FrmLogin");
    setWindowTitle("Login");
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setStyleSheet(QStringLiteral("lineedit-password-character: 42")); // "*"

    auto* title = new QLabel("Vastrel ", this);
    title->setObjectName("Label4");
    title->setStyleSheet("font: bold 20pt 'Arial'; color: #1f4e79;");
    auto* form = new QFormLayout;
    auto* userLabel = new QLabel("User Name", this);
    userLabel->setObjectName("Label2");
    auto* passwordLabel = new QLabel("Password", this);
    passwordLabel->setObjectName("Label3");
    form->addRow(userLabel, m_user);
    form->addRow(passwordLabel, m_password);

    auto* login = button(this, "CmdLogin", "&Login");
    auto* cancel = button(this, "CmdCancel", "&Cancel");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(login);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setFont(QFont("Verdana", 9));
    setMinimumWidth(340);

    connect(login, &QPushButton::clicked, this, &FrmLogin::CmdLogin_Click);
    connect(cancel, &QPushButton::clicked, this, &FrmLogin::cancelled);
    KeyGuard::install(this);
    // Installed after the key guard, so Enter in the two boxes is seen here first.
    m_user->installEventFilter(this);
    m_password->installEventFilter(this);
}

bool FrmLogin::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    QLineEdit* other = watched == m_user ? m_password : m_user;
    if (other->text().isEmpty())
        other->setFocus();
    else
        CmdLogin_Click();
    return true;
}

void FrmLogin::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit cancelled();
}

bool FrmLogin::credentialsMatch() const {
    RowSet rs = m_state.Conn.query("SELECT password FROM tbluser WHERE user = ?", {m_user->text()});
    for (; !rs.eof(); rs.moveNext()) {
        if (verifyPassword(m_password->text(), rs.text("password")))
            return true;
    }
    return false;
}

void FrmLogin::CmdLogin_Click() {
    const bool hasUser = !m_user->text().trimmed().isEmpty();
    const bool hasPassword = !m_password->text().trimmed().isEmpty();
    if (hasUser && hasPassword) {
        bool match = false;
        try {
            match = credentialsMatch();
        } catch (const DbError& e) {
            Messages::show(this, QString::fromUtf8(e.what()));
            return;
        }
        if (match) {
            emit loggedIn(m_user->text().toUpper());
            return;
        }
        Messages::show(this, "User dan password Anda salah!, coba lagi");
        m_user->setFocus();
        m_user->selectAll();
    } else if (m_user->text().isEmpty()) {
        Messages::show(this, "Silahkan isi user name Anda");
        m_user->setFocus();
    } else if (m_password->text().isEmpty()) {
        Messages::show(this, "Silahkan isi password Anda");
        m_password->setFocus();
    }
}

} // namespace vastrel
