// The detail (POS) half of the entry screen.

#include "FrmHeader.h"

#include "EntryRules.h"
#include "FormHelpers.h"
#include "FrmKontainer.h"
#include "FrmPeb.h"
#include "FrmUraianBarang.h"
#include "History.h"
#include "InputHelpers.h"
#include "KeyGuard.h"
#include "Lookups.h"
#include "Numbering.h"
#include "Readiness.h"
#include "Schema.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace vastrel {

namespace {

using Icon = Messages::Icon;

QString insertPosSql() {
    return "INSERT INTO tbldetail (nodaftar, nopos, " + kPosColumns.join(", ") + ") VALUES (?, ?" +
           QString(", ?").repeated(kPosColumns.size()) + ")";
}

QString updatePosSql() {
    return "UPDATE tbldetail SET " + kPosColumns.join(" = ?, ") +
           " = ? WHERE nodaftar = ? AND nopos = ?";
}

bool isNumeric(const QString& text) {
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok && std::isfinite(value);
}

double number(const QLineEdit* box) {
    return QLocale::c().toDouble(box->text().trimmed());
}

// A numeric box as a whole number, a half going to the even number.
qlonglong wholeNumber(const QLineEdit* box) {
    return static_cast<qlonglong>(std::nearbyint(number(box)));
}

// A package count: the flat file writes it whole, so 12.5 would silently become 13.
bool isCount(const QLineEdit* box) {
    return isNumeric(box->text()) && number(box) >= 0 && std::floor(number(box)) == number(box);
}

bool holdsWholeNumber(const QLineEdit* box) {
    bool ok = false;
    box->text().trimmed().toLongLong(&ok);
    return ok;
}

QString plainText(const QPlainTextEdit* box) {
    return box->toPlainText();
}

} // namespace

// ---- building ----

// Key, ports and quantities on the left, parties and marks on the right.
QGroupBox* FrmHeader::buildDetailFrame() {
    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("FrameDetail"));
    auto* markFrame = new QGroupBox(QStringLiteral("Mark"), this);
    markFrame->setObjectName(QStringLiteral("Frame3"));
    TxtMark = multiLineBox(QStringLiteral("TxtMark"), EntryMaxLength("mark"), 3, this);
    (new QVBoxLayout(markFrame))->addWidget(TxtMark);

    auto* grid = new QGridLayout(frame);
    grid->addWidget(buildPosKeyFields(), 0, 0);
    grid->addWidget(buildPorts(), 1, 0);
    grid->addWidget(buildQuantities(), 2, 0, 2, 1);
    grid->addWidget(buildParties(), 0, 1, 3, 1);
    grid->addWidget(markFrame, 3, 1);
    grid->addWidget(buildPosButtons(), 4, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    return frame;
}

QWidget* FrmHeader::buildPosKeyFields() {
    auto* fields = new QWidget(this);
    TextPos = addKeyBox(QStringLiteral("TextPos"));
    Label6 = addLabel(QStringLiteral("Label6"), QStringLiteral("No B/L"));
    TxtNoBL1 = addBox(QStringLiteral("TxtNoBL1"), EntryMaxLength("nobl"));
    TxtNoBL2 = addBox(QStringLiteral("TxtNoBL2"), 10);
    Label9 = addLabel(QStringLiteral("Label9"), QStringLiteral("Mother Vessel"));
    TxtMotherVessel = addBox(QStringLiteral("TxtMotherVessel"), EntryMaxLength("mot_vessel"));

    auto* grid = new QGridLayout(fields);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("No Pos"), this), 0, 0);
    grid->addWidget(TextPos, 0, 1);
    grid->addWidget(Label6, 1, 0);
    grid->addWidget(TxtNoBL1, 1, 1);
    grid->addWidget(TxtNoBL2, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("(dd-mm-yyyy)"), this), 1, 3);
    grid->addWidget(Label9, 2, 0);
    grid->addWidget(TxtMotherVessel, 2, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    return fields;
}

QGroupBox* FrmHeader::buildPorts() {
    Frame2 = new QGroupBox(QStringLiteral("Pelabuhan"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    auto* grid = new QGridLayout(Frame2);
    const auto addPort = [&](const QString& caption, const QString& code, const QString& name,
                             const QString& button, const QString& moduleName) {
        QLineEdit* codeBox = addBox(code, EntryMaxLength("pasalcd"));
        QLineEdit* nameBox = addKeyBox(name);
        const int row = grid->rowCount();
        grid->addWidget(new QLabel(caption, this), row, 0);
        grid->addWidget(codeBox, row, 1);
        grid->addWidget(addLookup(button, moduleName), row, 2);
        grid->addWidget(nameBox, row, 3);
        checkOnLeaving(codeBox, [this, codeBox, nameBox] {
            runGuarded(this, [&] { leavePort(codeBox, nameBox); });
            return true;
        });
        return std::pair{codeBox, nameBox};
    };
    std::tie(TxtAsal, TextAsalNm) =
        addPort(QStringLiteral("Asal"), QStringLiteral("TxtAsal"), QStringLiteral("TextAsalNm"),
                QStringLiteral("CmdAsal"), QStringLiteral("pelabuhanasal"));
    std::tie(TxtMuat, TextMuatNm) =
        addPort(QStringLiteral("Sebelumnya (Muat)"), QStringLiteral("TxtMuat"),
                QStringLiteral("TextMuatNm"), QStringLiteral("CmdMuat"),
                QStringLiteral("pelabuhansebelumnya"));
    std::tie(TxtBongkar, TextBongkarNm) = addPort(
        QStringLiteral("Bongkar"), QStringLiteral("TxtBongkar"), QStringLiteral("TextBongkarNm"),
        QStringLiteral("CmdBongkar"), QStringLiteral("pelabuhanbongkar"));
    std::tie(TxtAkhir, TextAkhirNm) =
        addPort(QStringLiteral("Akhir"), QStringLiteral("TxtAkhir"), QStringLiteral("TextAkhirNm"),
                QStringLiteral("CmdAkhir"), QStringLiteral("pelabuhanakhir"));
    grid->setColumnStretch(3, 1);
    return Frame2;
}

QGroupBox* FrmHeader::buildParties() {
    auto* frame = new QGroupBox(QStringLiteral("Parties"), this);
    frame->setObjectName(QStringLiteral("Frame4"));
    auto* grid = new QGridLayout(frame);
    grid->addWidget(new QLabel(QStringLiteral("Nama"), this), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Alamat"), this), 0, 2);
    const auto addParty = [&](const QString& caption, const QString& party,
                              const QString& moduleName) {
        QPlainTextEdit* name = multiLineBox("Txt" + party + "Nm", EntryMaxLength("snm"), 3, this);
        QPlainTextEdit* address =
            multiLineBox("Txt" + party + "Addr", EntryMaxLength("sna"), 3, this);
        name->setMinimumWidth(fontMetrics().horizontalAdvance(QString(20, 'M')));
        address->setMinimumWidth(name->minimumWidth());
        const int row = grid->rowCount();
        grid->addWidget(new QLabel(caption, this), row, 0);
        grid->addWidget(name, row, 1);
        grid->addWidget(address, row, 2);
        grid->addWidget(addLookup("Cmd" + party, moduleName), row, 3);
        return std::pair{name, address};
    };
    std::tie(TxtShipperNm, TxtShipperAddr) = addParty(
        QStringLiteral("Shipper"), QStringLiteral("Shipper"), QStringLiteral("partiesshiper"));
    std::tie(TxtConsigneeNm, TxtConsigneeAddr) =
        addParty(QStringLiteral("Consignee"), QStringLiteral("Consignee"),
                 QStringLiteral("partiesconsignee"));
    std::tie(TxtNotifyNm, TxtNotifyAddr) = addParty(
        QStringLiteral("Notify"), QStringLiteral("Notify"), QStringLiteral("partiesnotify"));
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 2);
    return frame;
}

QWidget* FrmHeader::buildQuantities() {
    auto* fields = new QWidget(this);
    TxtJmlKemasan = addBox(QStringLiteral("TxtJmlKemasan"), EntryMaxLength("jmlkemasan"));
    TextSatuanKemasan =
        addBox(QStringLiteral("TextSatuanKemasan"), EntryMaxLength("satuankemasan"));
    CmdSatuanKemasan =
        addLookup(QStringLiteral("CmdSatuanKemasan"), QStringLiteral("satuankemasan"));
    TextUraian = addKeyBox(QStringLiteral("TextUraian"));
    TextUraian->setMaxLength(45);
    TxtBerat = addBox(QStringLiteral("TxtBerat"), EntryMaxLength("bruto"));
    TxtVolume = addBox(QStringLiteral("TxtVolume"), EntryMaxLength("volume"));
    ChkConsildate = new QCheckBox(QStringLiteral("Consolidate"), this);
    ChkConsildate->setObjectName(QStringLiteral("ChkConsildate"));
    ChkPartialShipment = new QCheckBox(QStringLiteral("Part Shipment"), this);
    ChkPartialShipment->setObjectName(QStringLiteral("ChkPartialShipment"));
    TxtNoPackage = addBox(QStringLiteral("TxtNoPackage"), EntryMaxLength("grandpackage"));
    Label30 = addLabel(QStringLiteral("Label30"), QStringLiteral("Part Kontainer"));
    TxtNoContainer = addBox(QStringLiteral("TxtNoContainer"), EntryMaxLength("grandcontainer"));
    Label35 = addLabel(QStringLiteral("Label35"), QStringLiteral("Total Kontainer"));
    TextTotContainer = addKeyBox(QStringLiteral("TextTotContainer"));
    TextTotContainer->setMaxLength(8);

    const int numberWidth = fontMetrics().horizontalAdvance(QString(12, '0'));
    for (QLineEdit* box : {TxtJmlKemasan, TxtBerat, TxtVolume, TxtNoPackage, TxtNoContainer})
        box->setMinimumWidth(numberWidth);

    auto* grid = new QGridLayout(fields);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Jml Kemasan"), this), 0, 0);
    grid->addWidget(TxtJmlKemasan, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Satuan"), this), 0, 2);
    grid->addWidget(TextSatuanKemasan, 0, 3);
    grid->addWidget(CmdSatuanKemasan, 0, 4);
    grid->addWidget(TextUraian, 0, 5, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Brutto"), this), 1, 0);
    grid->addWidget(TxtBerat, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("KGM"), this), 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Volume"), this), 2, 0);
    grid->addWidget(TxtVolume, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("M3"), this), 2, 2);
    grid->addWidget(ChkConsildate, 1, 3, 1, 2);
    grid->addWidget(ChkPartialShipment, 2, 3, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Total Kemasan"), this), 3, 0);
    grid->addWidget(TxtNoPackage, 3, 1);
    grid->addWidget(Label30, 3, 2);
    grid->addWidget(TxtNoContainer, 3, 3);
    grid->addWidget(Label35, 3, 5);
    grid->addWidget(TextTotContainer, 3, 6);
    grid->setColumnStretch(5, 1);
    return fields;
}

QWidget* FrmHeader::buildPosButtons() {
    auto* buttons = new QWidget(this);
    CmdBarang = addButton(QStringLiteral("CmdBarang"), QStringLiteral("&Barang"));
    CmdKontainer = addButton(QStringLiteral("CmdKontainer"), QStringLiteral("&Kontainer"));
    CmdPeb = addButton(QStringLiteral("CmdPeb"), QStringLiteral("&Dokumen"));
    CmdConsolidate =
        addButton(QStringLiteral("CmdConsolidate"), QStringLiteral("&Entry Consolidate"));
    CmdHeader = addButton(QStringLiteral("CmdHeader"), QStringLiteral("<< &Header"));
    auto* row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    for (QPushButton* button : {CmdBarang, CmdKontainer, CmdPeb, CmdConsolidate})
        row->addWidget(button);
    row->addStretch();
    row->addWidget(CmdHeader);
    return buttons;
}

void FrmHeader::connectDetailEvents() {
    const QList<std::pair<QWidget*, QString>> checkedWhileTyping = {
        {TxtNoBL1, "No B/L"},
        {TxtMotherVessel, "Mother Vessel"},
        {TxtShipperNm, "Nama Shipper"},
        {TxtShipperAddr, "Alamat Shipper"},
        {TxtConsigneeNm, "Nama Consignee"},
        {TxtConsigneeAddr, "Alamat Consignee"},
        {TxtNotifyNm, "Nama Notify"},
        {TxtNotifyAddr, "Alamat Notify"},
        {TxtMark, "Mark"}};
    for (const auto& [box, label] : checkedWhileTyping) {
        const auto check = [box = box, label = label] { CheckChar(box, label); };
        if (auto* line = qobject_cast<QLineEdit*>(box))
            connect(line, &QLineEdit::textChanged, this, check);
        else
            connect(static_cast<QPlainTextEdit*>(box), &QPlainTextEdit::textChanged, this, check);
    }
    DateField::attach(TxtNoBL2);
    for (QLineEdit* box : {TxtJmlKemasan, TxtBerat, TxtVolume, TxtNoPackage, TxtNoContainer}) {
        checkOnLeaving(box, [this, box] {
            if (box->text().isEmpty())
                box->setText(QStringLiteral("0"));
            if (box == TxtNoPackage)
                warnPartialPackages();
            else if (box == TxtNoContainer)
                warnPartialContainers();
            return true;
        });
    }
    checkOnLeaving(TextSatuanKemasan, [this] {
        runGuarded(this, [this] { leaveSatuanKemasan(); });
        return true;
    });
    connect(ChkPartialShipment, &QCheckBox::toggled, this, &FrmHeader::enablePartialBoxes);
    connect(CmdBarang, &QPushButton::clicked, this, &FrmHeader::openPosScreen<FrmUraianBarang>);
    connect(CmdKontainer, &QPushButton::clicked, this, &FrmHeader::openPosScreen<FrmKontainer>);
    connect(CmdPeb, &QPushButton::clicked, this, &FrmHeader::openPosScreen<FrmPeb>);
    connect(CmdHeader, &QPushButton::clicked, this,
            [this] { runGuarded(this, [this] { CmdHeader_Click(); }); });
}

// ---- events ----

void FrmHeader::enablePartialBoxes(bool enabled) {
    TxtNoPackage->setEnabled(enabled);
    TxtNoContainer->setEnabled(enabled);
}

void FrmHeader::leavePort(QLineEdit* code, QLineEdit* name) {
    if (code->text().isEmpty())
        return;
    const QString found = GetNmPort(m_state.Conn, code->text());
    if (found == kNotFound) {
        name->clear();
        Messages::show(this, isSea() ? QStringLiteral("Kode pelabuhan tidak valid")
                                     : QStringLiteral("Kode airport tidak valid"));
        return;
    }
    code->setText(code->text().toUpper());
    name->setText(found);
}

void FrmHeader::leaveSatuanKemasan() {
    if (TextSatuanKemasan->text().isEmpty())
        return;
    const QString found = GetNmKemasan(m_state.Conn, TextSatuanKemasan->text());
    if (found == kNotFound) {
        TextUraian->clear();
        Messages::show(this, QStringLiteral("Silahkan isi kode kemasan"));
        return;
    }
    TextUraian->setText(found);
}

// Leaving the total boxes only warns; the save refuses.
void FrmHeader::warnPartialPackages() {
    if (ChkPartialShipment->isChecked() && holdsWholeNumber(TxtNoPackage) &&
        holdsWholeNumber(TxtJmlKemasan) && wholeNumber(TxtNoPackage) < wholeNumber(TxtJmlKemasan))
        Messages::show(this, QStringLiteral("Total kemasan harus lebih besar dari jumlah kemasan"));
}

void FrmHeader::warnPartialContainers() {
    if (holdsWholeNumber(TextTotContainer) && holdsWholeNumber(TxtNoContainer) &&
        wholeNumber(TextTotContainer) < wholeNumber(TxtNoContainer))
        Messages::show(this,
                       QStringLiteral("Total kontainer harus lebih besar dari part kontainer"));
}

template <typename Screen> void FrmHeader::openPosScreen() {
    runGuarded(this, [this] {
        Screen screen(m_state, currentPos(), this);
        connect(&screen, &Screen::changed, this, &FrmHeader::refreshPosCounts);
        screen.exec();
    });
    refreshPosCounts();
}

// The goods, container and document screens change what the POS counts.
void FrmHeader::refreshPosCounts() {
    runGuarded(this, [this] {
        RefreshBarang();
        RefreshKontainer();
        RefreshDokumen();
    });
    CmdKontainer->setEnabled(true);
    CmdConsolidate->setEnabled(true);
}

// ---- the POS list ----

bool FrmHeader::group08X() const {
    return StrGrupHeader.toUpper() == QLatin1String("08X");
}

void FrmHeader::ViewDetail() {
    const QString key = rebuildKey();
    m_rsDetail = m_state.Conn.query(
        QStringLiteral("SELECT * FROM tbldetail WHERE nodaftar = ? ORDER BY nopos"), {key});
    if (m_rsDetail.eof()) {
        m_host.ControlToolBar(QStringLiteral("new"));
        m_state.entry.StrMode = QStringLiteral("new");
        BlankDetail();
        TextPos->setText(GetNextPos(m_state.Conn, key));
        // The count captions belong to the POS proposed, not to the one shown before.
        RefreshBarang();
        RefreshDokumen();
        RefreshKontainer();
        lockControls(false);
        for (QPushButton* button : {CmdHeader, CmdBarang, CmdPeb, CmdKontainer, CmdConsolidate})
            button->setEnabled(false);
        ShowReady(false);
        return;
    }
    m_host.ControlToolBar(QStringLiteral("open"));
    m_state.entry.StrMode = QStringLiteral("open");
    m_rsDetail.moveLast();
    ValueDetail();
    RefreshKontainer();
    RefreshBarang();
    RefreshDokumen();
    CmdKontainer->setEnabled(true);
    enablePosButtons();
    CmdHeader->setEnabled(true);
}

// Goods belong to every POS except those of group 08X; documents only to outward ones.
void FrmHeader::enablePosButtons() {
    const bool carriesGoods = !group08X();
    CmdBarang->setEnabled(carriesGoods);
    CmdPeb->setEnabled(carriesGoods && StrJnsHeader != QLatin1String("inward"));
}

// A manifest of group 08X carries no package units.
void FrmHeader::enableUnitFields() {
    const bool carriesUnits = !group08X();
    if (!carriesUnits) {
        TextSatuanKemasan->clear();
        TextUraian->clear();
    }
    TextSatuanKemasan->setEnabled(carriesUnits);
    TextUraian->setEnabled(carriesUnits);
    CmdSatuanKemasan->setEnabled(carriesUnits);
}

void FrmHeader::ValueDetail() {
    if (m_rsDetail.bof() || m_rsDetail.eof())
        return;
    const RowSet& rs = m_rsDetail;
    const auto field = [&rs](const char* column) { return rs.text(QLatin1String(column)); };
    TextPos->setText(field("nopos"));
    TxtMotherVessel->setText(field("mot_vessel"));
    TxtNoBL1->setText(field("nobl"));
    TxtNoBL2->setText(StoredToDisplayDate(field("tglbl")));
    const QList<std::tuple<QLineEdit*, QLineEdit*, const char*>> ports = {
        {TxtAsal, TextAsalNm, "pasalcd"},
        {TxtMuat, TextMuatNm, "pmuatcd"},
        {TxtBongkar, TextBongkarNm, "pbongkarcd"},
        {TxtAkhir, TextAkhirNm, "pakhircd"}};
    for (const auto& [code, name, column] : ports) {
        code->setText(field(column));
        name->setText(GetPortName(m_state.Conn, code->text()));
    }
    TxtShipperNm->setPlainText(field("snm"));
    TxtShipperAddr->setPlainText(field("sna"));
    TxtConsigneeNm->setPlainText(field("cnm"));
    TxtConsigneeAddr->setPlainText(field("cna"));
    TxtNotifyNm->setPlainText(field("nnm"));
    TxtNotifyAddr->setPlainText(field("nna"));
    TxtJmlKemasan->setText(field("jmlkemasan"));
    TxtBerat->setText(field("bruto"));
    TxtVolume->setText(field("volume"));
    TextSatuanKemasan->setText(field("satuankemasan"));
    TextUraian->setText(GetNmSatuan(m_state.Conn, TextSatuanKemasan->text()));
    TxtMark->setPlainText(field("mark"));
    ChkConsildate->setChecked(field("flagconsolidate") == QLatin1String("C"));
    CmdConsolidate->setEnabled(true);
    const bool partial = field("flagpartial") == QLatin1String("E");
    ChkPartialShipment->setChecked(partial);
    enablePartialBoxes(partial);
    TxtNoPackage->setText(field("grandpackage"));
    TxtNoContainer->setText(field("grandcontainer"));
    TextTotContainer->setText(
        QString::number(CountKontainer(m_state.Conn, rebuildKey(), TextPos->text())));
    m_shownPos.remember({rebuildKey(), field("nopos")}, rs);
}

ShownRow FrmHeader::shownPosRow() {
    return {QStringLiteral("tbldetail"), kPosColumns, QStringLiteral("nodaftar = ? AND nopos = ?")};
}

void FrmHeader::BlankDetail() {
    for (QLineEdit* box : {TextPos, TxtMotherVessel, TxtNoBL1, TxtNoBL2, TxtAsal, TextAsalNm,
                           TxtMuat, TextMuatNm, TxtBongkar, TextBongkarNm, TxtAkhir, TextAkhirNm})
        box->clear();
    for (QPlainTextEdit* box : {TxtShipperNm, TxtShipperAddr, TxtConsigneeNm, TxtConsigneeAddr,
                                TxtNotifyNm, TxtNotifyAddr, TxtMark})
        box->clear();
    for (QLineEdit* box : {TxtJmlKemasan, TxtBerat, TxtVolume})
        box->setText(QStringLiteral("0"));
    // An air POS is packed in "PK" unless its manifest carries no package units.
    const bool packageDefault = m_state.isAir() && !group08X();
    TextSatuanKemasan->setText(packageDefault ? QStringLiteral("PK") : QString());
    TextUraian->setText(packageDefault ? QStringLiteral("Package") : QString());
    // The partial totals are typed only while Part Shipment is ticked, and it is cleared here.
    ChkPartialShipment->setChecked(false);
    enablePartialBoxes(false);
}

bool FrmHeader::CheckDetail(const QString& nodaftar, const QString& nopos) const {
    return PosExists(m_state.Conn, nodaftar, nopos);
}

// ---- saving and deleting a POS ----

bool FrmHeader::SaveToDetail() {
    bool saved = false;
    runGuarded(this, [&] {
        rebuildKey();
        if (!checkPos())
            return;
        if (!writePos(posValues()))
            return;
        saved = true;
        RefreshBarang();
        Messages::show(this, QStringLiteral("Data berhasil disimpan"), Messages::kInformation,
                       Icon::Information);
        ViewDetail();
        m_host.showNavigation(true);
    });
    return saved;
}

// The checks of a POS save, in the order the user is told about them.
bool FrmHeader::checkPos() {
    return checkBlNumber() && checkBlDate() && checkMotherVessel() && checkPorts() &&
           checkPartyText() && checkQuantities() && checkPackageUnit() && checkPartialShipment() &&
           checkNewPos();
}

bool FrmHeader::checkBlNumber() {
    if (TxtNoBL1->text().trimmed().isEmpty())
        return refuse(isSea() ? QStringLiteral("Silahkan isi No B/L")
                              : QStringLiteral("Silahkan isi No AWB"),
                      TxtNoBL1);
    return CheckChar(TxtNoBL1, QStringLiteral("No B/L"));
}

bool FrmHeader::checkBlDate() {
    if (normaliseDate(TxtNoBL2))
        return true;
    return refuse(QStringLiteral("Invalid format tanggal (dd-mm-yyyy)"), TxtNoBL2, Icon::None,
                  Messages::kDefaultTitle);
}

bool FrmHeader::checkMotherVessel() {
    if (!isSea())
        return true;
    if (TxtMotherVessel->text().trimmed().isEmpty())
        return refuse(QStringLiteral("Silahkan isi Mother Vessel"), TxtMotherVessel);
    return CheckChar(TxtMotherVessel, QStringLiteral("Mother Vessel"));
}

bool FrmHeader::checkPorts() {
    const QList<std::pair<QLineEdit*, QString>> ports = {
        {TxtAsal, "asal"}, {TxtMuat, "muat"}, {TxtBongkar, "bongkar"}, {TxtAkhir, "akhir"}};
    const QString kind = isSea() ? QStringLiteral("pelabuhan") : QStringLiteral("airport");
    for (const auto& [box, role] : ports) {
        if (GetNmPort(m_state.Conn, box->text()) == kNotFound)
            return refuse("Kode " + kind + " " + role + " tidak valid", box);
    }
    return true;
}

bool FrmHeader::checkPartyText() {
    const QList<std::pair<QWidget*, QString>> boxes = {{TxtShipperNm, "Nama Shipper"},
                                                       {TxtConsigneeNm, "Nama Consignee"},
                                                       {TxtNotifyNm, "Nama Notify"},
                                                       {TxtShipperAddr, "Alamat Shipper"},
                                                       {TxtConsigneeAddr, "Alamat Consignee"},
                                                       {TxtNotifyAddr, "Alamat Notify"},
                                                       {TxtMark, "Mark"}};
    for (const auto& [box, label] : boxes) {
        if (!CheckChar(box, label))
            return false;
    }
    return true;
}

bool FrmHeader::checkQuantities() {
    if (!isCount(TxtJmlKemasan))
        return refuse(QStringLiteral("Data jumlah kemasan tidak valid"), TxtJmlKemasan);
    const QList<std::pair<QLineEdit*, QString>> numbers = {{TxtBerat, "Data bruto tidak valid"},
                                                           {TxtVolume, "Data volume tidak valid"}};
    // A negative quantity would only be refused later, by the flat file.
    for (const auto& [box, message] : numbers) {
        if (!isNumeric(box->text()) || number(box) < 0)
            return refuse(message, box);
    }
    return true;
}

bool FrmHeader::checkPackageUnit() {
    if (group08X() || GetNmKemasan(m_state.Conn, TextSatuanKemasan->text()) != kNotFound)
        return true;
    return refuse(QStringLiteral("Kode satuan kemasan"), TextSatuanKemasan);
}

bool FrmHeader::checkPartialShipment() {
    if (!ChkPartialShipment->isChecked())
        return true;
    if (!isCount(TxtNoPackage))
        return refuse(QStringLiteral("Data total kemasan tidak valid"), TxtNoPackage,
                      Icon::Information);
    if (isSea() && !isNumeric(TxtNoContainer->text()))
        return refuse(QStringLiteral("Data total kontainer tidak valid"), TxtNoContainer);
    if (wholeNumber(TxtNoPackage) < wholeNumber(TxtJmlKemasan))
        return refuse(QStringLiteral("Total kemasan harus lebih besar dari jumlah kemasan"),
                      TxtJmlKemasan);
    if (isSea() && wholeNumber(TextTotContainer) < wholeNumber(TxtNoContainer))
        return refuse(QStringLiteral("Total kontainer harus lebih besar dari part kontainer"),
                      TxtNoContainer);
    return true;
}

// A New must not take the number of a stored POS (POS numbers start again at
// 0001 after 9998, and another clerk may have saved one meanwhile): the next free number
// is offered instead, and the typed values stay.
bool FrmHeader::checkNewPos() {
    const QString pos = TextPos->text().trimmed();
    if (m_state.entry.StrMode != QLatin1String("new") ||
        !CheckDetail(m_state.entry.StrNoDaftar, pos))
        return true;
    const QString key = m_state.entry.StrNoDaftar;
    const QString next =
        nextFreeNumber(pos, 4, [&](const QString& number) { return !CheckDetail(key, number); });
    TextPos->setText(next.isEmpty() ? pos : next);
    return refuse("No Pos " + pos + " sudah ada; nomor berikutnya " + TextPos->text() +
                      ", silahkan simpan lagi",
                  nullptr);
}

// The values of the POS on screen, in the order of kPosColumns.
Params FrmHeader::posValues() const {
    const bool partial = ChkPartialShipment->isChecked();
    return {isSea() ? TxtMotherVessel->text() : QString(),
            TxtNoBL1->text(),
            DisplayToStoredDate(TxtNoBL2->text()),
            TxtAsal->text(),
            TxtMuat->text(),
            TxtBongkar->text(),
            TxtAkhir->text(),
            plainText(TxtShipperNm),
            plainText(TxtShipperAddr),
            plainText(TxtConsigneeNm),
            plainText(TxtConsigneeAddr),
            plainText(TxtNotifyNm),
            plainText(TxtNotifyAddr),
            plainText(TxtMark),
            RoundToFourDecimals(number(TxtBerat)),
            RoundToFourDecimals(number(TxtVolume)),
            number(TxtJmlKemasan),
            group08X() ? QString() : TextSatuanKemasan->text(),
            ChkConsildate->isChecked() ? QStringLiteral("C") : QString(),
            partial ? QStringLiteral("E") : QString(),
            partial && isSea() ? wholeNumber(TxtNoContainer) : qlonglong{0},
            partial ? wholeNumber(TxtNoPackage) : qlonglong{0}};
}

// Stores the POS with its new parties and the manifest's readiness, as one unit; false
// when a new POS's number was taken since the check.
bool FrmHeader::writePos(const Params& values) {
    Database& db = m_state.Conn;
    const QString key = m_state.entry.StrNoDaftar;
    const QString pos = TextPos->text().trimmed();
    const bool isNew = m_state.entry.StrMode == QLatin1String("new");
    QString conflict;
    {
        Transaction tx(db);
        // Clerks saving POS of one manifest take turns, so a number is never taken twice.
        db.lockRows(QStringLiteral("tblheader"), QStringLiteral("nodaftar = ?"), {key});
        const bool stored = CheckDetail(key, pos);
        if (!isNew)
            conflict = m_shownPos.changedSince(db, {key, pos});
        if (conflict.isEmpty() && !(isNew && stored)) {
            AddParties(db, plainText(TxtShipperNm), plainText(TxtShipperAddr), QStringLiteral("1"));
            AddParties(db, plainText(TxtConsigneeNm), plainText(TxtConsigneeAddr),
                       QStringLiteral("2"));
            AddParties(db, plainText(TxtNotifyNm), plainText(TxtNotifyAddr), QStringLiteral("3"));
            RowChange change(db, QStringLiteral("tbldetail"), {key, pos});
            db.exec(stored ? updatePosSql() : insertPosSql(),
                    stored ? values + Params{key, pos} : Params{key, pos} + values);
            change.record();
            UpdateStatus(db, key);
            tx.commit();
            m_shownPos.remember(db, {key, pos});
            return true;
        }
    }
    // Said once the lock is given back; the typed values stay on screen.
    if (!conflict.isEmpty())
        return refuse(conflict, nullptr);
    checkNewPos(); // another clerk saved this number meanwhile
    return false;
}

bool FrmHeader::DeleteToDetail() {
    bool deleted = false;
    runGuarded(this, [&] {
        const QString key = rebuildKey();
        deletePos(m_state.Conn, key, TextPos->text());
        deleted = true;
        UpdateStatus(m_state.Conn, key);
        ViewDetail();
        RefreshBarang();
    });
    return deleted;
}

// ---- what the main window's commands do ----

void FrmHeader::prepareNewDetail() {
    for (QPushButton* button : {CmdBarang, CmdKontainer, CmdHeader, CmdPeb, CmdConsolidate})
        button->setEnabled(false);
    CmdConsolidate->setText(QStringLiteral("&Entry Consolidate"));
    ChkConsildate->setChecked(false);
    ChkPartialShipment->setChecked(false);
    for (QLineEdit* box : {TxtNoPackage, TxtNoContainer}) {
        box->setText(QStringLiteral("0"));
        box->setEnabled(false);
    }
    BlankDetail();
    runGuarded(this, [this] {
        TextPos->setText(GetNextPos(m_state.Conn, rebuildKey()));
        TextPos->setEnabled(true);
        RefreshDokumen();
        RefreshBarang();
        RefreshKontainer();
    });
    lockControls(false);
    m_state.entry.DetailPosition = m_rsDetail.recordCount() + 1;
    focusFirstField();
}

void FrmHeader::afterSaveDetail() {
    CmdHeader->setEnabled(true);
    lockControls(true);
    runGuarded(this, [this] { RefreshBarang(); });
    CmdKontainer->setEnabled(true);
    CmdConsolidate->setEnabled(true);
}

void FrmHeader::afterDeleteDetail() {
    showHalf(QStringLiteral("detail"));
    runGuarded(this, [this] {
        ViewDetail();
        TxtNoBL1->setFocus();
        RefreshBarang();
    });
}

} // namespace vastrel
