#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace vastrel {

// Shown when the program finds no installation where it looks by itself (started
// from the desktop menu, nobody would read a line on a terminal): says so, and
// creates one in that folder as `vastrel-admin init` does, with its first user.
// Accepted once the installation exists.
class FrmFirstRun : public QDialog {
    Q_OBJECT
public:
    explicit FrmFirstRun(const QString& folder, QWidget* parent = nullptr);

    // Checks the entries and creates the installation; every refusal is a message
    // with the focus on the box to mend.
    void CmdCreate_Click();

private:
    bool entriesComplete();
    // Creates the installation with the packs when asked for, showing their progress.
    void create();

    QString m_folder;
    QLineEdit* m_dbPassword;
    QLineEdit* m_dbPasswordAgain;
    QRadioButton* m_laut;
    QLineEdit* m_user;
    QLineEdit* m_userPassword;
    QLineEdit* m_userPasswordAgain;
    QCheckBox* m_demo;
    QCheckBox* m_reference;
};

} // namespace vastrel
