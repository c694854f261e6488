#include "FrmKontainer.h"

#include "ContainerCheck.h"
#include "EntryRules.h"
#include "FormHelpers.h"
#include "Messages.h"
#include "Numbering.h"

#include <QComboBox>
#include <QLineEdit>

namespace vastrel {

namespace {

const QStringList kSizes = ContainerSizes();
const QStringList kTypes = ContainerTypes();

// The shown type of a stored code ("F", "L", "E"), -1 for any other code.
int typeIndex(const QString& code) {
    for (int i = 0; i < kTypes.size(); ++i) {
        if (code.size() == 1 && kTypes[i].startsWith(code))
            return i;
    }
    return -1;
}

PosLineDialog::Layout containerLayout() {
    return {
        .caption = "Kontainer",
        .table = "tblcontainer",
        .listName = "LvKontainer",
        .columns =
            {{"No", 700}, {"No Kontainer", 2200}, {"Ukuran", 900}, {"Tipe", 700}, {"Seal", 1800}},
        .listSql = "SELECT noseq,nocountener,ukuran,tipe,seal FROM tblcontainer "
                   "WHERE nodaftar = ? AND nopos = ? ORDER BY noseq",
        .deleteQuestion = "Apakah Anda akan menghapus Kontainer ini?",
        .updatesReadiness = false,
        .nextLine = &GetNextSeqContainer,
    };
}

// Only the listed items can be chosen.
QComboBox* listOnlyCombo(const QString& name, const QStringList& items) {
    auto* combo = new QComboBox;
    combo->setObjectName(name);
    combo->addItems(items);
    return combo;
}

} // namespace

FrmKontainer::FrmKontainer(AppState& state, const PosKey& key, QWidget* parent)
    : PosLineDialog(state, key, containerLayout(), parent) {
    TxtNoCountainer1 = newLineEdit("TxtNoCountainer1", EntryMaxLength("nocountener"));
    addField("No Kontainer", TxtNoCountainer1);
    CmbUkuran = listOnlyCombo("CmbUkuran", kSizes);
    addField("Ukuran", CmbUkuran);
    CmbTipe = listOnlyCombo("CmbTipe", kTypes);
    addField("Tipe", CmbTipe);
    txtseal = newLineEdit("txtseal", EntryMaxLength("seal"));
    addField("Seal", txtseal);
    openForPos();
}

void FrmKontainer::BlankForm() {
    TxtNoCountainer1->clear();
    showComboText(CmbUkuran, QString(), kSizes.size());
    txtseal->clear();
}

void FrmKontainer::EnableControl(bool enable) {
    for (QWidget* field : QList<QWidget*>{TxtNoCountainer1, CmbUkuran, CmbTipe, txtseal})
        field->setEnabled(enable);
}

QWidget* FrmKontainer::newLineFocus() const {
    return TxtNoCountainer1;
}

bool FrmKontainer::checkFields() {
    if (TxtNoCountainer1->text().isEmpty())
        refuse("Silahkan isi no Kontainer", TxtNoCountainer1);
    else if (CmbUkuran->currentText().isEmpty())
        refuse("Silahkan Anda isi Ukuran", CmbUkuran);
    else if (CmbUkuran->currentText().size() != 2)
        refuse("Kolom ukuran tidak valid", CmbUkuran);
    else if (txtseal->text().isEmpty())
        refuse("Silahkan isi seal number", txtseal);
    else // the flat file writes both as stored
        return CheckChar(TxtNoCountainer1, "No Kontainer") && CheckChar(txtseal, "Seal");
    return false;
}

void FrmKontainer::SaveLine() {
    const QString number = TxtNoCountainer1->text();
    // Only a warning: numbers outside ISO 6346 exist and are stored as given.
    if (!CekContainer(number))
        Messages::show(this, "Invalid No Kontainer", "Infomration");
    if (!checkFields())
        return;
    const QString size = CmbUkuran->currentText();
    const QString type = CmbTipe->currentText().left(1);
    const QString seal = txtseal->text();
    const bool written =
        writeLine({"nocountener", "ukuran", "tipe", "seal"}, {number, size, type, seal});
    if (written)
        finishSave();
}

void FrmKontainer::showRow(const QStringList& cells) {
    TxtNoCountainer1->setText(cells.value(1));
    showComboText(CmbUkuran, cells.value(2), kSizes.size());
    txtseal->setText(cells.value(4));
    // An unknown stored code leaves the type as it was.
    const int type = typeIndex(cells.value(3).toUpper());
    if (type >= 0)
        CmbTipe->setCurrentIndex(type);
}

} // namespace vastrel
