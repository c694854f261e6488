#include "FrmFirstRun.h"

#include "Installation.h"
#include "Messages.h"
#include "MissingReference.h"
#include "ReferencePack.h"
#include "ReferenceProgress.h"

#include <QCheckBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vastrel {

namespace {

QLineEdit* passwordBox(QWidget* parent, const char* name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(50);
    box->setEchoMode(QLineEdit::Password);
    return box;
}

// A refusal: the message, then the focus on the box to mend.
bool refuse(QWidget* parent, QLineEdit* box, const QString& message) {
    Messages::show(parent, message);
    box->setFocus();
    box->selectAll();
    return false;
}

// The demo data brings this user with it.
const QString kDemoUser = QStringLiteral("DEMO");

} // namespace

FrmFirstRun::FrmFirstRun(const QString& folder, QWidget* parent)
    : QDialog(parent), m_folder(folder), m_dbPassword(passwordBox(this, "TxtDbPassword")),
      m_dbPasswordAgain(passwordBox(this, "TxtDbPassword2")),
      m_laut(new QRadioButton("Manifest &Laut", this)), m_user(new QLineEdit(this)),
      m_userPassword(passwordBox(this, "TxtUserPassword")),
      m_userPasswordAgain(passwordBox(this, "TxtUserPassword2")),
      m_demo(new QCheckBox("Isi dengan data &contoh (login DEMO / DEMO)", this)),
      m_reference(new QCheckBox("Isi kode &referensi bawaan (satuan kemasan, kode HS)", this)) {
    setObjectName("FrmFirstRun");
    setWindowTitle("Vastrel - Instalasi Baru");
    setFont(QFont("Verdana", 9));
    auto* intro = new QLabel(
        "Belum ada instalasi Vastrel di folder\n" + QDir::toNativeSeparators(folder) +
            "\n\nBuat instalasi baru di sini? Database-nya dienkripsi dengan password "
            "database: simpan password itu baik-baik, tanpa password itu data tidak dapat "
            "dibuka.",
        this);
    intro->setObjectName("LblIntro");
    intro->setWordWrap(true);
    m_laut->setObjectName("OpLaut");
    m_laut->setChecked(true);
    auto* udara = new QRadioButton("Manifest &Udara", this);
    udara->setObjectName("OpUdara");
    m_user->setObjectName("TxtUser");
    m_user->setMaxLength(50);
    m_demo->setObjectName("ChkDemo");
    m_reference->setObjectName("ChkReference");
    m_reference->setChecked(true);

    auto* kinds = new QHBoxLayout;
    kinds->addWidget(m_laut);
    kinds->addWidget(udara);
    kinds->addStretch();
    auto* form = new QFormLayout;
    form->addRow("Password &database", m_dbPassword);
    form->addRow("Ulangi password database", m_dbPasswordAgain);
    form->addRow("Jenis manifes", kinds);
    form->addRow("User &name", m_user);
    form->addRow("Password user", m_userPassword);
    form->addRow("Ulangi password user", m_userPasswordAgain);
    form->addRow(m_demo);
    form->addRow(m_reference);

    auto* create = new QPushButton("&Buat Instalasi", this);
    create->setObjectName("CmdCreate");
    create->setDefault(true);
    auto* cancel = new QPushButton("Ba&tal", this);
    cancel->setObjectName("CmdCancel");
    connect(create, &QPushButton::clicked, this, &FrmFirstRun::CmdCreate_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(create);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setMinimumWidth(460);
    m_dbPassword->setFocus();
}

bool FrmFirstRun::entriesComplete() {
    if (m_dbPassword->text().isEmpty())
        return refuse(this, m_dbPassword, "Silahkan isi password database");
    if (m_dbPasswordAgain->text() != m_dbPassword->text())
        return refuse(this, m_dbPasswordAgain, "Ulangan password database tidak sama");
    const QString user = m_user->text().trimmed();
    if (user.isEmpty())
        return refuse(this, m_user, "Silahkan isi user name Anda");
    if (m_demo->isChecked() && user.compare(kDemoUser, Qt::CaseInsensitive) == 0)
        return refuse(this, m_user, "User DEMO sudah ada pada data contoh, pilih nama lain");
    if (m_userPassword->text().isEmpty())
        return refuse(this, m_userPassword, "Silahkan isi password user");
    if (m_userPasswordAgain->text() != m_userPassword->text())
        return refuse(this, m_userPasswordAgain, "Ulangan password user tidak sama");
    return true;
}

void FrmFirstRun::create() {
    InitOptions options{m_folder,
                        m_dbPassword->text().toStdString(),
                        !m_laut->isChecked(),
                        m_demo->isChecked(),
                        m_user->text().trimmed(),
                        m_userPassword->text()};
    if (!m_reference->isChecked()) {
        initInstallation(options);
        return;
    }
    options.reference = readShippedPacks();
    ReferenceProgress progress(this, "Mengisi kode referensi...");
    options.progress = progress.callback();
    initInstallation(options);
}

void FrmFirstRun::CmdCreate_Click() {
    if (!entriesComplete())
        return;
    try {
        create();
        const QString missing = missingReferenceMessage(connectInstallation(m_folder).Conn);
        if (!missing.isEmpty())
            Messages::show(this, "Instalasi telah dibuat.\n\n" + missing, Messages::kInformation,
                           Messages::Icon::Information);
    } catch (const std::exception& e) {
        Messages::showError(this, e);
        return;
    }
    accept();
}

} // namespace vastrel
