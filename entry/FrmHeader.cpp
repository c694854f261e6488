#include "FrmHeader.h"

#include "EntryRules.h"
#include "FormHelpers.h"
#include "FrmFind.h"
#include "FrmRiwayat.h"
#include "History.h"
#include "InputHelpers.h"
#include "KeyGuard.h"
#include "Lookups.h"
#include "MissingReference.h"
#include "Numbering.h"
#include "Readiness.h"
#include "RowSetModel.h"
#include "Schema.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace vastrel {

namespace {

using Icon = Messages::Icon;

const QColor kKeyBoxColour(255, 255, 192);

// 1-based position of the row whose `column` holds `value`; 0 when there is none.
int positionOf(const RowSet& rs, const QString& column, const QString& value) {
    for (int field = 0; field < rs.fieldCount(); ++field) {
        if (rs.fieldName(field).compare(column, Qt::CaseInsensitive) != 0)
            continue;
        for (int row = 0; row < rs.recordCount(); ++row) {
            if (rs.row(row).at(field).toString() == value)
                return row + 1;
        }
    }
    return 0;
}

QLabel* readinessImage(QWidget* parent, const QString& name, QStyle::StandardPixmap pixmap) {
    auto* image = new QLabel(parent);
    image->setObjectName(name);
    image->setPixmap(parent->style()->standardIcon(pixmap).pixmap(16, 16));
    image->hide();
    return image;
}

} // namespace

bool FrmHeader::normaliseDate(QLineEdit* box) {
    const DateCheck check = CheckDate(box->text());
    if (!check.accepted || check.text.isEmpty())
        return false;
    box->setText(check.text);
    return true;
}

FrmHeader::FrmHeader(AppState& state, CommandHost& host, QWidget* parent)
    : QWidget(parent), m_state(state), m_host(host), m_shownPos(shownPosRow()) {
    setObjectName(QStringLiteral("FrmHeader"));
    setWindowTitle(QStringLiteral("Entry Manifest"));
    setFont(QFont(QStringLiteral("Verdana"), 8));

    auto* top = new QGridLayout;
    buildTop(top);
    FrameHeader = buildHeaderFrame();
    FrameDetail = buildDetailFrame();
    FrameDetail->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(FrameHeader);
    layout->addWidget(FrameDetail);
    layout->addStretch();

    setTabOrders();
    connectHeaderEvents();
    connectDetailEvents();
    runGuarded(this, [this] { ViewGroup(QStringLiteral("1")); });
    ValueManisfest();
    LabelJenis();
    KeyGuard::install(this);
}

// ---- building ----

QLineEdit* FrmHeader::addBox(const QString& name, int maxLength) {
    auto* box = new QLineEdit(this);
    box->setObjectName(name);
    if (maxLength > 0)
        box->setMaxLength(maxLength);
    return box;
}

QLineEdit* FrmHeader::addKeyBox(const QString& name) {
    QLineEdit* box = addBox(name, 0);
    KeyGuard::setLocked(box, true);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, kKeyBoxColour);
    box->setPalette(palette);
    box->setFocusPolicy(Qt::ClickFocus);
    return box;
}

QPushButton* FrmHeader::addButton(const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    return button;
}

QPushButton* FrmHeader::addLookup(const QString& name, const QString& moduleName) {
    QPushButton* button = addButton(name, QStringLiteral("..."));
    button->setFocusPolicy(Qt::ClickFocus);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 16);
    connect(button, &QPushButton::clicked, this,
            [this, moduleName] { ShowFind(m_state, this, moduleName); });
    bindLookupKey(button, moduleName);
    return button;
}

QLabel* FrmHeader::addLabel(const QString& name, const QString& caption) {
    auto* label = new QLabel(caption, this);
    label->setObjectName(name);
    return label;
}

void FrmHeader::buildTop(QGridLayout* grid) {
    LblTitle = addLabel(QStringLiteral("LblTitle"), QStringLiteral("Header"));
    LblTitle->setFont(QFont(QStringLiteral("Arial"), 14, QFont::Bold));
    TextTglDok = addKeyBox(QStringLiteral("TextTglDok"));
    TextNoDaftar = addKeyBox(QStringLiteral("TextNoDaftar"));
    LblStatus = addLabel(QStringLiteral("LblStatus"), QString());
    ImgReady = readinessImage(this, QStringLiteral("ImgReady"), QStyle::SP_DialogApplyButton);
    ImgNotReady =
        readinessImage(this, QStringLiteral("ImgNotReady"), QStyle::SP_MessageBoxCritical);

    grid->addWidget(LblTitle, 0, 0, 1, 2);
    auto* status = new QHBoxLayout;
    status->addStretch();
    status->addWidget(ImgReady);
    status->addWidget(ImgNotReady);
    status->addWidget(LblStatus);
    grid->addLayout(status, 0, 2, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Tanggal"), this), 1, 0);
    grid->addWidget(TextTglDok, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("No  Dokumen"), this), 1, 2);
    grid->addWidget(TextNoDaftar, 1, 3);
}

QGroupBox* FrmHeader::buildHeaderFrame() {
    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("FrameHeader"));
    CmbManifest = new QComboBox(this);
    CmbManifest->setObjectName(QStringLiteral("CmbManifest"));
    CmbGroup = new QComboBox(this);
    CmbGroup->setObjectName(QStringLiteral("CmbGroup"));
    CmbGroup->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    LblGroupEmpty = new QLabel(emptyGroupMessage(), this);
    LblGroupEmpty->setObjectName(QStringLiteral("LblGroupEmpty"));
    LblGroupEmpty->setWordWrap(true);
    LblGroupEmpty->hide();
    Label2 = addLabel(QStringLiteral("Label2"), QStringLiteral("Kapal"));
    TxtKapal = addBox(QStringLiteral("TxtKapal"), EntryMaxLength("vessel"));
    CmdKapal = addLookup(QStringLiteral("CmdKapal"), QStringLiteral("kapal"));
    Label4 = addLabel(QStringLiteral("Label4"), QStringLiteral("No Voyage"));
    TxtNoVoy = addBox(QStringLiteral("TxtNoVoy"), EntryMaxLength("voyage"));
    Label3 = addLabel(QStringLiteral("Label3"), QStringLiteral("Tanggal Tiba"));
    TxtDate = addBox(QStringLiteral("TxtDate"), 10);
    Label25 = addLabel(QStringLiteral("Label25"), QStringLiteral("Jam Tiba"));
    TxtTime = addBox(QStringLiteral("TxtTime"), 5);
    Label32 = addLabel(QStringLiteral("Label32"), QStringLiteral("No Master B/L"));
    TxtMasterNoBL = addBox(QStringLiteral("TxtMasterNoBL"), EntryMaxLength("no_master"));
    Label33 = addLabel(QStringLiteral("Label33"), QStringLiteral("Tanggal Master B/L"));
    TxtMasterTglBL = addBox(QStringLiteral("TxtMasterTglBL"), 10);
    CmdDetail = addButton(QStringLiteral("CmdDetail"), QStringLiteral("&Detail >>"));

    m_masterModel = new RowSetModel(this);
    m_masterModel->setColumns(
        {{QStringLiteral("Nomor POS"), 2500}, {QStringLiteral("Tanggal"), 1500}});
    LvMaster = new QTableView(this);
    LvMaster->setObjectName(QStringLiteral("LvMaster"));
    showAsReportList(LvMaster, m_masterModel);
    LvMaster->setMinimumWidth(LvMaster->logicalDpiX() * 4200 / 1440);

    auto* grid = new QGridLayout(frame);
    const auto addRow = [grid](QWidget* label, QWidget* field, QWidget* extra = nullptr) {
        const int row = grid->rowCount();
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
        if (extra)
            grid->addWidget(extra, row, 2);
    };
    addRow(new QLabel(QStringLiteral("Manifest"), this), CmbManifest);
    addRow(new QLabel(QStringLiteral("Group"), this), CmbGroup, LblGroupEmpty);
    addRow(Label2, TxtKapal, CmdKapal);
    addRow(Label4, TxtNoVoy);
    addRow(Label3, TxtDate, new QLabel(QStringLiteral("(dd-mm-yyyy)"), this));
    addRow(Label25, TxtTime, new QLabel(QStringLiteral("(hh:mm) 24 Hour"), this));
    addRow(Label32, TxtMasterNoBL);
    addRow(Label33, TxtMasterTglBL, new QLabel(QStringLiteral("(dd-mm-yyyy)"), this));
    grid->addWidget(LvMaster, 0, 3, grid->rowCount(), 1);
    grid->addWidget(CmdDetail, grid->rowCount(), 3, Qt::AlignRight);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return frame;
}

void FrmHeader::setTabOrders() {
    const QList<QWidget*> header = {CmbManifest, CmbGroup,      TxtKapal,       TxtNoVoy, TxtDate,
                                    TxtTime,     TxtMasterNoBL, TxtMasterTglBL, CmdDetail};
    const QList<QWidget*> detail = {
        TxtNoBL1,          TxtNoBL2,     TxtMotherVessel, TxtAsal,        TxtMuat,
        TxtBongkar,        TxtAkhir,     TxtShipperNm,    TxtShipperAddr, TxtConsigneeNm,
        TxtConsigneeAddr,  TxtNotifyNm,  TxtNotifyAddr,   TxtMark,        TxtJmlKemasan,
        TextSatuanKemasan, TxtNoPackage, TxtNoContainer,  TxtVolume,      TxtBerat};
    for (const QList<QWidget*>& order : {header, detail}) {
        for (int i = 1; i < order.size(); ++i)
            setTabOrder(order[i - 1], order[i]);
    }
}

void FrmHeader::connectHeaderEvents() {
    refuseTyping(CmbManifest);
    refuseTyping(CmbGroup);
    connect(CmbManifest, &QComboBox::activated, this,
            [this] { runGuarded(this, [this] { CmbManifest_Click(); }); });
    connect(TxtKapal, &QLineEdit::textChanged, this,
            [this] { CheckChar(TxtKapal, QStringLiteral("Kapal")); });
    connect(TxtNoVoy, &QLineEdit::textChanged, this,
            [this] { CheckChar(TxtNoVoy, QStringLiteral("No Voyage")); });
    checkOnLeaving(TxtKapal, [this] { return CheckChar(TxtKapal, QStringLiteral("Kapal")); });
    checkOnLeaving(TxtNoVoy, [this] { return CheckChar(TxtNoVoy, QStringLiteral("No Voyage")); });
    checkOnLeaving(TxtTime, [this] { return leaveTime(); });
    DateField::attach(TxtDate);
    DateField::attach(TxtMasterTglBL);
    connect(CmdDetail, &QPushButton::clicked, this,
            [this] { runGuarded(this, [this] { CmdDetail_Click(); }); });
}

// ---- shared ----

bool FrmHeader::isSea() const {
    return m_state.StrJenis == QLatin1String("0");
}

void FrmHeader::showHistory() {
    const PosKey pos = currentPos();
    const bool detail = m_state.entry.StrPart == QLatin1String("detail");
    FrmRiwayat(m_state.Conn, pos.nodaftar(), detail ? pos.nopos : QString(), this).exec();
}

const QString& FrmHeader::rebuildKey() {
    m_state.entry.StrNoDaftar = DateKey(TextTglDok->text()) + TextNoDaftar->text();
    return m_state.entry.StrNoDaftar;
}

PosKey FrmHeader::currentPos() const {
    return {TextTglDok->text(), TextNoDaftar->text(), TextPos->text()};
}

void FrmHeader::showHalf(const QString& part) {
    const bool detail = part == QLatin1String("detail");
    FrameHeader->setVisible(!detail);
    FrameDetail->setVisible(detail);
    LblTitle->setText(detail ? QStringLiteral("Detail") : QStringLiteral("Header"));
    m_state.entry.StrPart = part;
}

void FrmHeader::lockControls(bool locked) {
    KeyGuard::LockControls(this, locked);
    // The package unit is typed like the other fields although its name says otherwise.
    KeyGuard::setLocked(TextSatuanKemasan, locked);
}

bool FrmHeader::refuse(const QString& message, QWidget* field, Messages::Icon icon,
                       const QString& title) {
    Messages::show(this, message, title, icon);
    if (field)
        field->setFocus();
    return false;
}

void FrmHeader::closeEvent(QCloseEvent* event) {
    m_state.entry.VarHeaderOpen = false;
    m_state.entry.VarNavigate = false;
    m_host.ControlToolBar(QStringLiteral("awal"));
    event->accept();
}

// ---- kind and direction ----

void FrmHeader::LabelJenis() {
    if (m_state.StrJenis != QLatin1String("0") && m_state.StrJenis != QLatin1String("1"))
        return;
    const bool sea = isSea();
    Label2->setText(sea ? QStringLiteral("Kapal") : QStringLiteral("Airlines"));
    Label4->setText(sea ? QStringLiteral("No Voyage") : QStringLiteral("No Flight"));
    Label6->setText(sea ? QStringLiteral("No B/L") : QStringLiteral("No AWB"));
    Frame2->setTitle(sea ? QStringLiteral("Pelabuhan") : QStringLiteral("Airport"));
    TextSatuanKemasan->setText(sea ? QString() : QStringLiteral("PK"));
    CmdSatuanKemasan->setEnabled(sea);
    for (QWidget* seaOnly : {static_cast<QWidget*>(Label9), static_cast<QWidget*>(TxtMotherVessel),
                             static_cast<QWidget*>(CmdKontainer), static_cast<QWidget*>(Label30),
                             static_cast<QWidget*>(TxtNoContainer), static_cast<QWidget*>(Label35),
                             static_cast<QWidget*>(TextTotContainer)})
        seaOnly->setVisible(sea);
    const QString document = sea ? QStringLiteral("B/L") : QStringLiteral("AWB");
    m_masterModel->setColumns({{"No " + document, 2500}, {"Tanggal " + document, 1500}});
    Label32->setText("No Master " + document);
    Label33->setText("Tanggal Master " + document);
}

void FrmHeader::LabelInOutward(bool inward) {
    Label3->setText(inward ? QStringLiteral("Tanggal Tiba") : QStringLiteral("Tanggal Berangkat"));
    Label25->setText(inward ? QStringLiteral("Jam Tiba") : QStringLiteral("Jam Berangkat"));
}

void FrmHeader::ValueManisfest() {
    CmbManifest->clear();
    CmbManifest->addItems({QStringLiteral("Inward"), QStringLiteral("Outward")});
    CmbManifest->setCurrentIndex(0);
}

void FrmHeader::CmbManifest_Click() {
    const QString direction = CmbManifest->currentText();
    if (direction == QLatin1String("Inward")) {
        ViewGroup(QStringLiteral("1"));
        LabelInOutward(true);
    } else if (direction == QLatin1String("Outward")) {
        ViewGroup(QStringLiteral("0"));
        LabelInOutward(false);
    }
}

// Lists the groups offered for inward ("1") or outward ("0") manifests.
void FrmHeader::ViewGroup(const QString& inward) {
    CmbGroup->clear();
    const QString offered = inward == QLatin1String("1") ? "inward" : "outward";
    const RowSet groups = m_state.Conn.query("SELECT kdgrup, urkdgrup FROM tblGrup WHERE " +
                                             offered + " = -1 ORDER BY adadetil");
    for (int row = 0; row < groups.recordCount(); ++row)
        CmbGroup->addItem(groups.row(row).at(0).toString() + " - " +
                          groups.row(row).at(1).toString());
    LblGroupEmpty->setVisible(groups.recordCount() == 0);
}

// Lists the groups of the header's direction and shows the header's group among
// them; a group the direction does not offer is shown as an extra item.
void FrmHeader::showGroup(const QString& kdgrup, const QString& direction) {
    ViewGroup(direction.toLower() == QLatin1String("inward") ? QStringLiteral("1")
                                                             : QStringLiteral("0"));
    const QString text = kdgrup + " - " + GetNmGrup(m_state.Conn, kdgrup, direction);
    int index = CmbGroup->findText(text);
    if (index < 0) {
        CmbGroup->addItem(text);
        index = CmbGroup->count() - 1;
    }
    CmbGroup->setCurrentIndex(index);
}

QString FrmHeader::groupCode() const {
    return CmbGroup->currentText().section('-', 0, 0).trimmed();
}

// ---- header list ----

void FrmHeader::ViewHeader() {
    m_rsHeader = m_state.Conn.query(QStringLiteral("SELECT * FROM tblheader ORDER BY nodaftar"));
    if (m_rsHeader.eof()) {
        m_state.entry.StrMode = QStringLiteral("new");
        showHalf(QStringLiteral("header"));
        startNewHeader();
        CmdDetail->setEnabled(false);
        lockControls(false);
        m_host.ControlToolBar(QStringLiteral("new"));
    } else {
        m_rsHeader.moveLast();
        ValueHeader();
        RefreshDetail();
        m_host.ControlToolBar(QStringLiteral("open"));
    }
    RefreshBarang();
}

void FrmHeader::ValueHeader() {
    if (m_rsHeader.bof() || m_rsHeader.eof())
        return;
    const RowSet& rs = m_rsHeader;
    const QString key = rs.text(QStringLiteral("nodaftar"));
    m_shownHeader.remember({key}, rs);
    TextNoDaftar->setText(key.mid(8, 6));
    TextTglDok->setText(key.mid(6, 2) + "-" + key.mid(4, 2) + "-" + key.left(4));
    const QString direction = rs.text(QStringLiteral("jnsmanifest"));
    CmbManifest->setCurrentIndex(CmbManifest->findText(direction, Qt::MatchFixedString));
    LabelInOutward(direction.toLower() == QLatin1String("inward"));
    TxtKapal->setText(rs.text(QStringLiteral("vessel")));
    TxtNoVoy->setText(rs.text(QStringLiteral("voyage")));
    TxtDate->setText(StoredToDisplayDate(rs.text(QStringLiteral("arrivingdate"))));
    TxtTime->setText(rs.text(QStringLiteral("arrivingtime")).left(5));
    showGroup(rs.text(QStringLiteral("kdgrup")), direction);
    TxtMasterNoBL->setText(rs.text(QStringLiteral("no_master")));
    TxtMasterTglBL->setText(StoredToDisplayDate(rs.text(QStringLiteral("tgl_master"))));
    ViewBLMaster(rebuildKey());
}

void FrmHeader::BlankHeader() {
    for (QLineEdit* box : {TxtKapal, TxtNoVoy, TxtDate, TxtTime, TxtMasterNoBL, TxtMasterTglBL})
        box->clear();
    m_masterModel->clear();
    ViewGroup(QStringLiteral("1"));
}

// A blank header with the next registration number, dated today.
void FrmHeader::startNewHeader() {
    BlankHeader();
    TextNoDaftar->setText(GetNoDaftarAuto(m_state.Conn));
    TextTglDok->setText(QDate::currentDate().toString(QStringLiteral("dd-MM-yyyy")));
}

void FrmHeader::ViewBLMaster(const QString& nodaftar) {
    m_masterModel->refill(m_state.Conn,
                          QStringLiteral("SELECT nobl, tglbl FROM tbldetail WHERE nodaftar = ? "
                                         "ORDER BY nopos"),
                          {nodaftar});
}

// ---- saving and deleting a header ----

bool FrmHeader::SaveToHeader() {
    bool saved = false;
    runGuarded(this, [&] {
        if (!checkHeader() || !writeHeader())
            return;
        saved = true;
        RefreshReady();
        const QString key = rebuildKey();
        ViewHeader();
        // The list shown before may have held this manifest alone (a search); the
        // main window returns to the saved header by its place in the full list.
        m_state.entry.HeaderPosition = positionOf(m_rsHeader, QStringLiteral("nodaftar"), key);
    });
    return saved;
}

// The checks of a header save, in the order the user is told about them.
bool FrmHeader::checkHeader() {
    return CheckChar(TxtKapal, QStringLiteral("Kapal")) &&
           CheckChar(TxtNoVoy, QStringLiteral("No Voyage")) && checkMaster() && checkArrival() &&
           checkGroupAndKey();
}

bool FrmHeader::checkMaster() {
    const QString document = isSea() ? QStringLiteral("B/L") : QStringLiteral("AWB");
    if (TxtMasterNoBL->text().trimmed().isEmpty())
        return refuse("Silahkan isi No Master " + document, TxtMasterNoBL, Icon::Information);
    // The flat file writes it as stored: it takes only what the file can hold.
    if (!CheckChar(TxtMasterNoBL, "No Master " + document))
        return false;
    if (TxtMasterTglBL->text().trimmed().isEmpty())
        return refuse("Silahkan isi Tanggal Master " + document, TxtMasterTglBL, Icon::Information);
    if (!normaliseDate(TxtMasterTglBL))
        return refuse("Tanggal Master " + document + " tidak valid", TxtMasterTglBL,
                      Icon::Information);
    return true;
}

bool FrmHeader::checkArrival() {
    if (!TxtTime->text().isEmpty() && !leaveTime()) {
        TxtTime->setFocus();
        return false;
    }
    if (TxtDate->text().isEmpty())
        return refuse(QStringLiteral("Silahkan isi Tanggal Tiba (dd-mm-yyyy)"), TxtDate);
    if (!normaliseDate(TxtDate))
        return refuse(QStringLiteral("Invalid Date (dd-mm-yyyy)"), TxtDate);
    if (TxtTime->text().isEmpty())
        return refuse(QStringLiteral("Silahkan isi Jam Tiba (HH:mm)"), TxtTime);
    return true;
}

// A header needs a group; a New must not take the key of a stored manifest
// (the registration number starts again at 000001 after 999998, and another clerk may have
// saved one meanwhile): the next registration number is offered instead.
bool FrmHeader::checkGroupAndKey() {
    if (groupCode().isEmpty())
        return refuse(CmbGroup->count() == 0 ? emptyGroupMessage()
                                             : QStringLiteral("Silahkan isi Group"),
                      CmbGroup);
    return checkNewKey();
}

bool FrmHeader::checkNewKey() {
    if (m_state.entry.StrMode != QLatin1String("new") || !HeaderExists(m_state.Conn, rebuildKey()))
        return true;
    const QString taken = TextNoDaftar->text();
    const QString date = DateKey(TextTglDok->text());
    const QString next = nextFreeNumber(taken, 6, [&](const QString& number) {
        return !HeaderExists(m_state.Conn, date + number);
    });
    TextNoDaftar->setText(next.isEmpty() ? taken : next);
    rebuildKey();
    return refuse("No Dokumen " + taken + " sudah ada; nomor berikutnya " + TextNoDaftar->text() +
                      ", silahkan simpan lagi",
                  nullptr);
}

// The arrival time: "0830" becomes "08:30"; anything else must already be HH:mm.
bool FrmHeader::leaveTime() {
    if (TxtTime->text().isEmpty())
        return true;
    const QString time = NormaliseTime(TxtTime->text());
    if (time.isEmpty()) {
        Messages::show(this, QStringLiteral("Format Waktu HH:mm"));
        return false;
    }
    TxtTime->setText(time);
    return true;
}

// Inserts or updates the header with everything that goes with it, as one unit; false when
// a new manifest's number was taken since the check.
bool FrmHeader::writeHeader() {
    Database& db = m_state.Conn;
    const QString key = rebuildKey();
    const QString group = groupCode();
    const Params values = {CmbManifest->currentText(),
                           TxtKapal->text(),
                           TxtNoVoy->text(),
                           group,
                           DisplayToStoredDate(TxtDate->text()),
                           TxtTime->text() + ":00",
                           TxtMasterNoBL->text(),
                           DisplayToStoredDate(TxtMasterTglBL->text())};
    const bool isNew = m_state.entry.StrMode == QLatin1String("new");
    QString conflict;
    {
        Transaction tx(db);
        // New manifests take their registration numbers in turns.
        db.lockRows(QStringLiteral("tblsetting"), QStringLiteral("1 = 1"), {});
        db.lockRows(QStringLiteral("tblheader"), QStringLiteral("nodaftar = ?"), {key});
        if (!isNew)
            conflict = m_shownHeader.changedSince(db, {key});
        if (conflict.isEmpty() && !(isNew && HeaderExists(db, key))) {
            storeHeader(key, group, values);
            tx.commit();
            m_shownHeader.remember(db, {key});
            return true;
        }
    }
    // Said once the lock is given back; the typed values stay on screen.
    if (!conflict.isEmpty())
        return refuse(conflict, nullptr);
    checkNewKey(); // another clerk saved this number meanwhile
    return false;
}

// Inside writeHeader's transaction: the header row and what goes with it.
void FrmHeader::storeHeader(const QString& key, const QString& group, const Params& values) {
    Database& db = m_state.Conn;
    RowChange change(db, QStringLiteral("tblheader"), {key});
    if (HeaderExists(db, key)) {
        db.exec(QStringLiteral("UPDATE tblheader SET jnsmanifest = ?, vessel = ?, voyage = ?, "
                               "kdgrup = ?, arrivingdate = ?, arrivingtime = ?, no_master = ?, "
                               "tgl_master = ? WHERE nodaftar = ?"),
                values + Params{key});
        if (group == QLatin1String("08X"))
            clearDocumentsAndUnits(db, key);
        SaveToKapal(TxtKapal->text());
    } else {
        db.exec(QStringLiteral("INSERT INTO tblheader (nodaftar, jnsmanifest, vessel, voyage, "
                               "kdgrup, arrivingdate, arrivingtime, status, no_master, "
                               "tgl_master) VALUES (?, ?, ?, ?, ?, ?, ?, 'N', ?, ?)"),
                Params{key} + values);
        SaveToKapal(TxtKapal->text());
        SaveNoDaftarAuto(db, TextNoDaftar->text());
    }
    change.record();
    UpdateStatus(db, key);
}

// The vessel list grows with every vessel name a header uses.
void FrmHeader::SaveToKapal(const QString& name) {
    AddKapal(m_state.Conn, name);
}

bool FrmHeader::DeleteToHeader() {
    bool deleted = false;
    runGuarded(this, [&] {
        deleteManifest(m_state.Conn, rebuildKey());
        deleted = true;
        ViewHeader();
    });
    return deleted;
}

// ---- switching halves ----

void FrmHeader::CmdDetail_Click() {
    StrJnsHeader = m_rsHeader.text(QStringLiteral("jnsmanifest")).toLower();
    StrGrupHeader = m_rsHeader.text(QStringLiteral("kdgrup"));
    m_state.entry.HeaderPosition = m_rsHeader.absolutePosition();
    showHalf(QStringLiteral("detail"));
    ViewDetail();
    enableUnitFields();
    m_rsHeader = RowSet();
    TxtNoBL1->setFocus();
}

// Back to the header list, at the header whose POS were shown.
void FrmHeader::CmdHeader_Click() {
    const QString key = rebuildKey();
    showHalf(QStringLiteral("header"));
    ViewHeader();
    m_rsDetail = RowSet();
    lockControls(true);
    const int position = positionOf(m_rsHeader, QStringLiteral("nodaftar"), key);
    if (position > 0 && position != m_rsHeader.absolutePosition()) {
        m_rsHeader.setAbsolutePosition(position);
        ValueHeader();
        RefreshDetail();
    }
    RefreshBarang();
}

// ---- count captions and readiness ----

void FrmHeader::RefreshBarang() {
    const int count = CountHs(m_state.Conn, rebuildKey(), TextPos->text());
    CmdBarang->setText(QStringLiteral("Barang (%1)").arg(count));
    RefreshReady();
}

void FrmHeader::RefreshDokumen() {
    const int count = CountPeb(m_state.Conn, rebuildKey(), TextPos->text());
    CmdPeb->setText(QStringLiteral("Dokumen (%1)").arg(count));
    RefreshReady();
}

void FrmHeader::RefreshKontainer() {
    const int count = CountKontainer(m_state.Conn, rebuildKey(), TextPos->text());
    CmdKontainer->setText(QStringLiteral("Kontainer (%1)").arg(count));
    TextTotContainer->setText(QString::number(count));
    CmdKontainer->setEnabled(count != 0);
}

void FrmHeader::RefreshDetail() {
    CmdDetail->setText(
        QStringLiteral("&Detail (%1) >>").arg(CountDetail(m_state.Conn, rebuildKey())));
}

void FrmHeader::RefreshReady() {
    ShowReady(GetStatus(m_state.Conn, rebuildKey()) != QLatin1String("N"));
}

void FrmHeader::ShowReady(bool isReady) {
    LblStatus->setText(isReady ? QStringLiteral("Ready") : QStringLiteral("Not Ready"));
    ImgReady->setVisible(isReady);
    ImgNotReady->setVisible(!isReady);
}

// ---- what the main window's commands do ----

void FrmHeader::prepareNewManifest() {
    showHalf(QStringLiteral("header"));
    prepareNewHeader();
}

void FrmHeader::prepareNewHeader() {
    runGuarded(this, [this] {
        startNewHeader();
        LabelInOutward(true);
        CmdDetail->setEnabled(false);
        lockControls(false);
        ShowReady(false);
        RefreshBarang();
        RefreshDetail();
        ValueManisfest();
    });
    focusFirstField();
}

void FrmHeader::focusFirstField() {
    QWidget* first = m_state.entry.StrPart == QLatin1String("header")
                         ? static_cast<QWidget*>(CmbManifest)
                         : static_cast<QWidget*>(TxtNoBL1);
    first->setFocus(Qt::TabFocusReason);
}

void FrmHeader::afterSaveHeader() {
    CmdDetail->setEnabled(true);
    lockControls(true);
    runGuarded(this, [this] { RefreshBarang(); });
}

void FrmHeader::afterDeleteHeader() {
    showHalf(QStringLiteral("header"));
    runGuarded(this, [this] { ViewHeader(); });
}

void FrmHeader::beginEdit() {
    lockControls(false);
    focusFirstField();
    if (m_state.entry.StrPart == QLatin1String("header"))
        return;
    CmdHeader->setEnabled(false);
    CmdKontainer->setEnabled(true);
    CmdConsolidate->setEnabled(true);
    m_state.entry.DetailPosition = m_rsDetail.absolutePosition();
}

void FrmHeader::openFirst() {
    lockControls(true);
    showHalf(QStringLiteral("header"));
    CmdDetail->setEnabled(true);
    runGuarded(this, [this] { ViewHeader(); });
}

void FrmHeader::reopen() {
    lockControls(true);
    if (m_state.entry.StrPart == QLatin1String("header"))
        runGuarded(this, [this] {
            ValueHeader();
            RefreshBarang();
        });
}

void FrmHeader::undoNew() {
    if (m_state.entry.StrPart != QLatin1String("detail"))
        return;
    showHalf(QStringLiteral("detail"));
    runGuarded(this, [this] { ViewDetail(); });
    CmdHeader->setEnabled(true);
}

void FrmHeader::undoEdit() {
    lockControls(true);
    runGuarded(this, [this] {
        const QString key = rebuildKey();
        CmdBarang->setEnabled(CountDetail(m_state.Conn, key) != 0 && !group08X());
        CmdKontainer->setEnabled(CountKontainer(m_state.Conn, key, TextPos->text()) != 0);
        CmdHeader->setEnabled(true);
        if (m_state.entry.StrPart == QLatin1String("header"))
            ValueHeader();
        else
            ValueDetail();
    });
}

// Every move refreshes all the counts, whichever way it went.
void FrmHeader::showCurrent(const QString& /*navigateKey*/) {
    runGuarded(this, [this] {
        if (m_state.entry.StrPart == QLatin1String("header")) {
            ValueHeader();
            RefreshDetail();
        } else {
            ValueDetail();
            RefreshKontainer();
            CmdKontainer->setEnabled(true);
        }
        RefreshBarang();
        RefreshDokumen();
    });
}

void FrmHeader::openManifest(const QString& nodaftar) {
    lockControls(true);
    showHalf(QStringLiteral("header"));
    CmdDetail->setEnabled(true);
    runGuarded(this, [&] {
        m_rsHeader = m_state.Conn.query(
            QStringLiteral("SELECT * FROM tblheader WHERE nodaftar = ? ORDER BY nodaftar"),
            {nodaftar});
        if (m_rsHeader.eof())
            return;
        m_rsHeader.moveLast();
        ValueHeader();
        RefreshDetail();
        RefreshBarang();
    });
}

} // namespace vastrel
