#pragma once

#include <QDialog>

class QRadioButton;

namespace vastrel {

// Edits JENIS of the [MANIFEST] section of MANIFEST.INI. The kind in force
// comes from the company profile; the INI value only seeds the next start-up.
class FrmSetting : public QDialog {
    Q_OBJECT
public:
    explicit FrmSetting(const QString& iniPath, QWidget* parent = nullptr);

    void CmdSave_Click();

private:
    void load();

    QString m_iniPath;
    QRadioButton* m_laut;
    QRadioButton* m_udara;
};

} // namespace vastrel
