#include "FrmUraianBarang.h"

#include "EntryRules.h"
#include "FormHelpers.h"
#include "FrmFind.h"
#include "Numbering.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace vastrel {

namespace {

const QString kHsLabel = QStringLiteral("Kode HS");
const QString kDescriptionLabel = QStringLiteral("Keterangan");

PosLineDialog::Layout goodsLayout() {
    return {
        .caption = "Barang",
        .table = "tblhs",
        .listName = "LvHs",
        .columns = {{"noseq", 800}, {"Kode HS", 1500}, {"Keterangan", 6000}},
        .listSql = "SELECT noseq,hs,uraian FROM tblhs WHERE nodaftar = ? AND nopos = ? "
                   "ORDER BY noseq",
        .deleteQuestion = "Apakah Anda akan menghapus HS ini?",
        .updatesReadiness = true,
        .nextLine = &GetNextSeqHs,
    };
}

} // namespace

FrmUraianBarang::FrmUraianBarang(AppState& state, const PosKey& key, QWidget* parent)
    : PosLineDialog(state, key, goodsLayout(), parent) {
    TxtHs = newLineEdit("TxtHs", EntryMaxLength("hs"));
    CmdFind = newLookupButton("CmdFind", "hs");
    addField(kHsLabel, TxtHs, CmdFind);

    TxtKeterangan = multiLineBox("TxtKeterangan", EntryMaxLength("uraian"), 0, nullptr);
    addField(kDescriptionLabel, TxtKeterangan);

    // Typing shows at once which characters cannot be stored.
    connect(TxtHs, &QLineEdit::textChanged, this, [this] { CheckChar(TxtHs, kHsLabel); });
    connect(TxtKeterangan, &QPlainTextEdit::textChanged, this,
            [this] { CheckChar(TxtKeterangan, kDescriptionLabel); });
    connect(CmdFind, &QPushButton::clicked, this, &FrmUraianBarang::findHs);
    openForPos();
}

void FrmUraianBarang::BlankForm() {
    TxtHs->clear();
    TxtKeterangan->clear();
}

void FrmUraianBarang::EnableControl(bool enable) {
    TxtHs->setEnabled(enable);
    TxtKeterangan->setEnabled(enable);
}

QWidget* FrmUraianBarang::newLineFocus() const {
    return TxtHs;
}

void FrmUraianBarang::SaveLine() {
    if (TxtKeterangan->toPlainText().isEmpty()) {
        refuse("Silahkan isi field Keterangan", TxtKeterangan);
        return;
    }
    // Read after the check, which may have written accented letters plain.
    if (!CheckChar(TxtHs, kHsLabel) || !CheckChar(TxtKeterangan, kDescriptionLabel))
        return;
    const bool written = writeLine({"hs", "uraian"}, {TxtHs->text(), TxtKeterangan->toPlainText()});
    if (written)
        finishSave();
}

void FrmUraianBarang::showRow(const QStringList& cells) {
    EnableControl(true);
    TxtHs->setText(cells.value(1));
    TxtKeterangan->setPlainText(cells.value(2));
}

// The lookup fills TxtHs and TxtKeterangan; the line number stays, so the
// pick is saved under it.
void FrmUraianBarang::findHs() {
    setCommands(false, true);
    EnableControl(true);
    ShowFind(state(), this, "hs");
}

} // namespace vastrel
