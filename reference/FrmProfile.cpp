#include "FrmProfile.h"

#include "FormHelpers.h"
#include "KeyGuard.h"
#include "ManifestIni.h"
#include "Messages.h"
#include "StartUp.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vastrel {

namespace {

const QString kSea = QStringLiteral("0");
const QString kAir = QStringLiteral("1");

QLineEdit* lineBox(const QString& name, int maxLength, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(maxLength);
    return box;
}

QRadioButton* option(const QString& name, const QString& caption, QWidget* parent) {
    auto* button = new QRadioButton(caption, parent);
    button->setObjectName(name);
    return button;
}

void setBoxText(QWidget* box, const QString& text) {
    if (auto* line = qobject_cast<QLineEdit*>(box))
        line->setText(text);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(box))
        plain->setPlainText(text);
}

} // namespace

FrmProfile::FrmProfile(AppState& state, QWidget* parent)
    : QDialog(parent), m_state(state), m_nama(lineBox(QStringLiteral("TxtNama"), 50, this)),
      m_inisial(lineBox(QStringLiteral("TxtIniSial"), 4, this)),
      m_alamat(multiLineBox(QStringLiteral("TxtAlamat"), 50, 3, this)),
      m_telp(lineBox(QStringLiteral("TxtTelp"), 25, this)),
      m_fax(lineBox(QStringLiteral("TxtFax"), 25, this)),
      m_laut(option(QStringLiteral("OpLaut"), QStringLiteral("Manifest Laut"), this)),
      m_udara(option(QStringLiteral("OpUdara"), QStringLiteral("Manifest Udara"), this)),
      m_save(commandButton(QStringLiteral("CmdSave"), QStringLiteral("&Save"), this)),
      m_close(commandButton(QStringLiteral("CmdClose"), QStringLiteral("&Close"), this)) {
    setObjectName(QStringLiteral("FrmProfile"));
    setWindowTitle(QStringLiteral("Profile Perusahaan"));
    setFont(QFont(QStringLiteral("Verdana"), 9));
    m_laut->setChecked(true);

    auto* kind = new QGroupBox(QStringLiteral("Jenis Manifest"), this);
    auto* kindLayout = new QHBoxLayout(kind);
    kindLayout->addWidget(m_laut);
    kindLayout->addWidget(m_udara);
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Nama Perusahaan"), m_nama);
    fields->addRow(QStringLiteral("Inisial"), m_inisial);
    fields->addRow(QStringLiteral("Alamat"), m_alamat);
    fields->addRow(QStringLiteral("No Telp"), m_telp);
    fields->addRow(QStringLiteral("Fax"), m_fax);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(kind);
    layout->addLayout(buttons);

    connect(m_save, &QPushButton::clicked, this, &FrmProfile::CmdSave_Click);
    connect(m_close, &QPushButton::clicked, this, &FrmProfile::reject);

    ViewProfile();
    KeyGuard::install(this);
}

void FrmProfile::ViewProfile() {
    RowSet profile;
    try {
        profile = m_state.Conn.query(QStringLiteral("SELECT * FROM tblsetting LIMIT 1"));
    } catch (const DbError& e) {
        showDbError(this, e);
        return;
    }
    const std::pair<QWidget*, const char*> fields[] = {{m_nama, "nama"},
                                                       {m_inisial, "inisial"},
                                                       {m_alamat, "alamat"},
                                                       {m_telp, "notelp"},
                                                       {m_fax, "fax"}};
    for (const auto& [box, column] : fields)
        setBoxText(box, profile.eof() ? QString() : profile.text(QLatin1String(column)));
    if (!profile.eof())
        m_state.StrInisial = profile.text(QStringLiteral("inisial"));
    // A first run proposes the kind the installation was made for.
    const QString kind = profile.eof() ? GetINI(m_state.iniPath(), QStringLiteral("MANIFEST"),
                                                QStringLiteral("JENIS"), kSea)
                                       : profile.text(QStringLiteral("jenis_manifest"));
    if (kind == kSea)
        m_laut->setChecked(true);
    else if (kind == kAir)
        m_udara->setChecked(true);
}

bool FrmProfile::allFieldsFilled() {
    const std::pair<QWidget*, QString> required[] = {
        {m_nama, QStringLiteral("Silahkan isi Nama Perusahaan")},
        {m_inisial, QStringLiteral("Silahkan isi Inisial Perusahaan")},
        {m_alamat, QStringLiteral("Silahkan isi Alamat Perusahaan")},
        {m_telp, QStringLiteral("Silahkan isi Telp Perusahaan")},
        {m_fax, QStringLiteral("Silahkan isi No Fax Perusahaan")}};
    for (const auto& [box, message] : required) {
        if (boxText(box).trimmed().isEmpty()) {
            Messages::show(this, message);
            box->setFocus();
            return false;
        }
    }
    return true;
}

void FrmProfile::CmdSave_Click() {
    const QString kind = m_udara->isChecked() ? kAir : kSea;
    if (!allFieldsFilled())
        return;
    try {
        storeProfile(kind);
        GetJenisManifest(m_state);
    } catch (const DbError& e) {
        showDbError(this, e);
        return;
    }
    m_state.StrInisial = m_inisial->text();
    m_state.VarProfile = true;
    emit profileSaved();
    Messages::show(this, QStringLiteral("Data berhasil disimpan"), Messages::kInformation,
                   Messages::Icon::Information);
    accept();
}

// The profile is the table's one row: it is inserted only into an empty
// table, and an update reaches every row so no stale copy survives.
void FrmProfile::storeProfile(const QString& kind) {
    const Params values = {m_nama->text(), m_inisial->text(), m_alamat->toPlainText(),
                           m_telp->text(), m_fax->text(),     kind};
    Database& db = m_state.Conn;
    if (db.scalar(QStringLiteral("SELECT count(*) FROM tblsetting")).toInt() == 0)
        db.exec(QStringLiteral("INSERT INTO tblsetting(nama,inisial,alamat,notelp,fax,"
                               "jenis_manifest) VALUES (?,?,?,?,?,?)"),
                values);
    else
        db.exec(QStringLiteral("UPDATE tblsetting SET nama = ?,inisial = ?,alamat = ?, notelp = "
                               "?,fax = ?,jenis_manifest = ?"),
                values);
}

void FrmProfile::reject() {
    if (!m_state.VarProfile)
        emit firstRunClosed();
    QDialog::reject();
}

} // namespace vastrel
