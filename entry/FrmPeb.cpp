#include "FrmPeb.h"

#include "EntryRules.h"
#include "FormHelpers.h"
#include "FrmFind.h"
#include "InputHelpers.h"
#include "KeyGuard.h"
#include "Lookups.h"
#include "Messages.h"
#include "Numbering.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace vastrel {

namespace {

const QString kInvalidKpbc = QStringLiteral("Kode KPBC tidak valid");

// The shown text of a stored kind; "" for a code that is no kind.
QString GetNmJenis(const QString& code) {
    for (const DocumentKind& kind : kDocumentKinds) {
        if (code.toUpper() == QLatin1String(kind.code))
            return kind.text;
    }
    return QString();
}

bool isWholeNumber(const QString& text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

PosLineDialog::Layout documentLayout() {
    return {
        .caption = "Dokumen",
        .table = "tblpeb",
        .listName = "LvPeb",
        .columns = {{"No", 700},
                    {"Jenis Dok", 1000},
                    {"KPBC", 900},
                    {"Nama KPBC", 2500},
                    {"No Dokumen", 1200},
                    {"Tanggal PEB", 1300}},
        // A document whose office is not in tblkpbc is not listed.
        .listSql = "SELECT a.noseq,a.jenispeb,a.kpbc,b.nama,a.pebno,a.pebtgl "
                   "FROM tblpeb a, tblkpbc b WHERE a.kpbc = b.kode AND a.nodaftar = ? "
                   "AND a.nopos = ? ORDER BY a.noseq",
        .deleteQuestion = "Apakah Anda akan menghapus Peb ini?",
        .updatesReadiness = true,
        .nextLine = &GetNextSeqPeb,
    };
}

} // namespace

FrmPeb::FrmPeb(AppState& state, const PosKey& key, QWidget* parent)
    : PosLineDialog(state, key, documentLayout(), parent) {
    CmbJenis = new QComboBox;
    CmbJenis->setObjectName("CmbJenis");
    addField("Jenis Dok", CmbJenis);

    TxtKPBCKd = newLineEdit("TxtKPBCKd", EntryMaxLength("kpbc"));
    CmdKpbc = newLookupButton("CmdKpbc", "kpbc1");
    addField("KPBC", TxtKPBCKd, CmdKpbc);
    TxtKPBCNm = newLineEdit("TxtKPBCNm", 255);
    KeyGuard::setLocked(TxtKPBCNm, true);
    addField(QString(), TxtKPBCNm);

    TxtPEBNo = newLineEdit("TxtPEBNo", EntryMaxLength("pebno"));
    addField("No Dok", TxtPEBNo);
    TxtPEBTgl = newLineEdit("TxtPEBTgl", 10);
    addField("(dd-mm-yyyy)", TxtPEBTgl);
    DateField::attach(TxtPEBTgl);

    FillJenis();
    // Leaving the office code shows the office's name, or says the code is unknown.
    checkOnLeaving(TxtKPBCKd, [this] {
        runGuarded(this, [this] { showKpbcName(); });
        return true;
    });
    connect(TxtPEBNo, &QLineEdit::textChanged, this, [this] { CheckChar(TxtPEBNo, "No PEB"); });
    connect(CmdKpbc, &QPushButton::clicked, this,
            [this, &state] { ShowFind(state, this, "kpbc1"); });
    openForPos();
}

void FrmPeb::FillJenis() {
    for (int i = 0; i < kOfferedDocumentKinds; ++i)
        CmbJenis->addItem(kDocumentKinds[i].text);
    CmbJenis->setCurrentIndex(0);
}

void FrmPeb::BlankForm() {
    for (QLineEdit* box : {TxtKPBCKd, TxtKPBCNm, TxtPEBNo, TxtPEBTgl})
        box->clear();
}

void FrmPeb::EnableControl(bool enable) {
    for (QWidget* field :
         QList<QWidget*>{CmbJenis, CmdKpbc, TxtKPBCKd, TxtKPBCNm, TxtPEBNo, TxtPEBTgl})
        field->setEnabled(enable);
}

QWidget* FrmPeb::newLineFocus() const {
    return CmdKpbc;
}

void FrmPeb::showKpbcName() {
    const QString name = GetNmKpbc(db(), TxtKPBCKd->text());
    if (name == kNotFound) {
        Messages::show(this, kInvalidKpbc);
        TxtKPBCNm->clear();
        return;
    }
    TxtKPBCNm->setText(name);
}

bool FrmPeb::checkFields() {
    if (TxtKPBCKd->text().isEmpty())
        refuse("Silahkan Anda is KPBC", TxtKPBCKd);
    else if (TxtKPBCNm->text().isEmpty())
        refuse("Silahkan Anda isi nama KPBC", TxtKPBCNm);
    else if (DisplayToStoredDate(TxtPEBTgl->text()).isEmpty())
        refuse("Tanggal PEB tidak valid", TxtPEBTgl);
    else
        return true;
    return false;
}

void FrmPeb::SaveLine() {
    const QString typedNumber = TxtPEBNo->text().trimmed();
    if (!isWholeNumber(typedNumber)) {
        Messages::show(this, "No Dokumen tidak valid", Messages::kInformation,
                       Messages::Icon::Information);
        TxtPEBNo->setFocus();
        return;
    }
    TxtPEBNo->setText(typedNumber.rightJustified(kDocumentNumberDigits, u'0'));
    if (GetNmKpbc(db(), TxtKPBCKd->text()) == kNotFound) {
        Messages::show(this, kInvalidKpbc);
        return;
    }
    TxtKPBCKd->setText(TxtKPBCKd->text().toUpper());
    if (!checkFields())
        return;
    const QString kind = CmbJenis->currentText().left(3);
    const QString office = TxtKPBCKd->text();
    const QString number = TxtPEBNo->text();
    const QString date = DisplayToStoredDate(TxtPEBTgl->text());
    const bool written =
        writeLine({"jenispeb", "kpbc", "pebno", "pebtgl"}, {kind, office, number, date});
    if (written)
        finishSave();
}

// A picked row can be changed and saved at once.
void FrmPeb::showRow(const QStringList& cells) {
    // A kind outside the table is shown as its code, so saving keeps it.
    const QString kind = GetNmJenis(cells.value(1));
    showComboText(CmbJenis, kind.isEmpty() ? cells.value(1) : kind, kOfferedDocumentKinds);
    TxtKPBCKd->setText(cells.value(2));
    TxtKPBCNm->setText(cells.value(3));
    TxtPEBNo->setText(cells.value(4));
    TxtPEBTgl->setText(cells.value(5));
    EnableControl(true);
    setCommands(true, true);
}

} // namespace vastrel
