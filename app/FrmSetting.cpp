#include "FrmSetting.h"

#include "DurableFile.h"
#include "ManifestIni.h"
#include "Messages.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vastrel {

FrmSetting::FrmSetting(const QString& iniPath, QWidget* parent)
    : QDialog(parent), m_iniPath(iniPath) {
    setObjectName("FrmSetting");
    setWindowTitle("Application Setting");
    setFont(QFont("Verdana", 9));
    auto* frame = new QGroupBox(this);
    frame->setObjectName("Frame1");
    auto* label = new QLabel("Jenis Manifes", frame);
    label->setObjectName("Label1");
    m_laut = new QRadioButton("Manifest Laut", frame);
    m_laut->setObjectName("OpLaut");
    m_udara = new QRadioButton("Manifest Udara", frame);
    m_udara->setObjectName("OpUdara");
    // Exclusive only among themselves, so that neither may be selected.
    auto* group = new QButtonGroup(this);
    group->addButton(m_laut);
    group->addButton(m_udara);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(label);
    frameLayout->addWidget(m_laut);
    frameLayout->addWidget(m_udara);

    auto* save = new QPushButton("&Save", this);
    save->setObjectName("CmdSave");
    auto* close = new QPushButton("&Close", this);
    close->setObjectName("CmdClose");
    connect(save, &QPushButton::clicked, this, &FrmSetting::CmdSave_Click);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    load();
}

void FrmSetting::load() {
    const QString kind = GetINI(m_iniPath, "MANIFEST", "JENIS", "0");
    m_laut->setChecked(kind == "0");
    m_udara->setChecked(kind == "1");
}

void FrmSetting::CmdSave_Click() {
    if (!m_laut->isChecked() && !m_udara->isChecked())
        return;
    try {
        WriteINI(m_iniPath, "MANIFEST", "JENIS", m_laut->isChecked() ? "0" : "1");
    } catch (const FileWriteError& e) {
        Messages::showError(this, e);
    }
}

} // namespace vastrel
