#pragma once

#include "AppState.h"
#include "CommandHost.h"
#include "Database.h"
#include "Messages.h"
#include "PosKey.h"
#include "ShownRow.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace vastrel {

class RowSetModel;

// The entry screen of a manifest. Its header half keeps the tblheader row, its
// detail half the POS (tbldetail rows) of that header; one half is visible at a
// time. The screen has no Save/New/Delete buttons: the main window's commands
// drive it through the public procedures below and keep the command state in
// AppState::entry.
class FrmHeader : public QWidget {
    Q_OBJECT
public:
    FrmHeader(AppState& state, CommandHost& host, QWidget* parent = nullptr);

    // The lists the main window's navigation moves through.
    RowSet& RsHeader() { return m_rsHeader; }
    RowSet& RsDetail() { return m_rsDetail; }

    // ---- header half ----
    // Reopens the header list at its last header, or starts a new one when there is none.
    void ViewHeader();
    // Shows the current row of RsHeader.
    void ValueHeader();
    void BlankHeader();
    // Checks and stores the header; false (nothing written) when a check or the database refuses.
    bool SaveToHeader();
    // Deletes the manifest with all its rows.
    bool DeleteToHeader();
    void LabelInOutward(bool inward);
    void ValueManisfest();
    void ViewBLMaster(const QString& nodaftar);

    // ---- detail half ----
    // Reopens the POS list of the manifest at its last POS, or starts a new POS when there is none.
    void ViewDetail();
    // Shows the current row of RsDetail.
    void ValueDetail();
    void BlankDetail();
    bool SaveToDetail();
    bool DeleteToDetail();
    bool CheckDetail(const QString& nodaftar, const QString& nopos) const;

    // ---- count captions and readiness ----
    void RefreshBarang();
    void RefreshDokumen();
    void RefreshKontainer();
    void RefreshDetail();
    void RefreshReady();
    void ShowReady(bool isReady);

    // ---- what the main window's commands do to this screen ----
    // "new" while no manifest is open: a blank header with the next registration number.
    void prepareNewManifest();
    // "new" in the header half, respectively the detail half.
    // Puts the cursor in the first field of the active half.
    void focusFirstField();
    void prepareNewHeader();
    void prepareNewDetail();
    // After a successful save, before the main window returns to the saved row.
    void afterSaveHeader();
    void afterSaveDetail();
    // After a successful delete.
    void afterDeleteHeader();
    void afterDeleteDetail();
    // "edit": unlocks the fields and remembers the row to return to.
    void beginEdit();
    // "open" while no manifest is open, respectively while the screen is active.
    void openFirst();
    void reopen();
    // "undo" after New in the detail half: back to the POS list. (After New in the
    // header half the main window closes the screen.)
    void undoNew();
    // "undo" after Edit: the edits are discarded and the stored row shown again.
    void undoEdit();
    // Shows the row the navigation moved to ("first", "prev", "next", "last").
    void showCurrent(const QString& navigateKey);
    // Opens the screen on one chosen manifest (the generate screen's search).
    void openManifest(const QString& nodaftar);
    // The history of the shown manifest, or in the detail half of the shown POS.
    void showHistory();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // ---- building ----
    void buildTop(QGridLayout* grid);
    QGroupBox* buildHeaderFrame();
    QGroupBox* buildDetailFrame();
    QWidget* buildPosKeyFields();
    QGroupBox* buildPorts();
    QGroupBox* buildParties();
    QWidget* buildQuantities();
    QWidget* buildPosButtons();
    void setTabOrders();
    void connectHeaderEvents();
    void connectDetailEvents();
    QLineEdit* addBox(const QString& name, int maxLength);
    QLineEdit* addKeyBox(const QString& name);
    QPushButton* addButton(const QString& name, const QString& caption);
    QPushButton* addLookup(const QString& name, const QString& moduleName);
    QLabel* addLabel(const QString& name, const QString& caption);

    // ---- header half ----
    void LabelJenis();
    void ViewGroup(const QString& inward);
    void showGroup(const QString& kdgrup, const QString& direction);
    QString groupCode() const;
    void startNewHeader();
    bool checkHeader();
    bool checkMaster();
    bool checkArrival();
    bool checkGroupAndKey();
    bool writeHeader();
    void storeHeader(const QString& key, const QString& group, const Params& values);
    bool checkNewKey();
    void SaveToKapal(const QString& name);
    void CmdDetail_Click();
    void CmdHeader_Click();
    void CmbManifest_Click();

    // ---- detail half ----
    bool checkPos();
    bool checkBlNumber();
    bool checkBlDate();
    bool checkMotherVessel();
    bool checkPorts();
    bool checkPartyText();
    bool checkQuantities();
    bool checkPackageUnit();
    bool checkPartialShipment();
    bool checkNewPos();
    Params posValues() const;
    bool writePos(const Params& values);
    static ShownRow shownPosRow();
    void enablePosButtons();
    void enableUnitFields();
    void refreshPosCounts();
    template <typename Screen> void openPosScreen();
    void enablePartialBoxes(bool enabled);
    void leavePort(QLineEdit* code, QLineEdit* name);
    void leaveSatuanKemasan();
    bool leaveTime();
    void warnPartialPackages();
    void warnPartialContainers();
    bool group08X() const;

    // ---- shared ----
    const QString& rebuildKey();
    PosKey currentPos() const;
    void showHalf(const QString& part);
    void lockControls(bool locked);
    // Shows a refusal and puts the focus into the offending field (if any); false.
    bool refuse(const QString& message, QWidget* field,
                Messages::Icon icon = Messages::Icon::Exclamation,
                const QString& title = Messages::kInformation);
    bool isSea() const;
    // Rewrites a typed date as dd-mm-yyyy; true when the box then holds a valid date.
    static bool normaliseDate(QLineEdit* box);

    AppState& m_state;
    CommandHost& m_host;
    RowSet m_rsHeader;
    RowSet m_rsDetail;
    // The POS on screen as shown or last saved, to tell whether another clerk changed it.
    ShownRow m_shownPos;
    ShownRow m_shownHeader{QStringLiteral("tblheader"),
                           {"jnsmanifest", "vessel", "voyage", "kdgrup", "arrivingdate",
                            "arrivingtime", "no_master", "tgl_master"},
                           QStringLiteral("nodaftar = ?")};
    QString StrJnsHeader;  // lower-cased direction of the header whose POS are shown
    QString StrGrupHeader; // group of that header

    // Outside the frames
    QLabel* LblTitle;
    QLineEdit* TextTglDok;
    QLineEdit* TextNoDaftar;
    QLabel* LblStatus;
    QLabel* ImgReady;
    QLabel* ImgNotReady;

    // Header frame
    QGroupBox* FrameHeader;
    QComboBox* CmbManifest;
    QComboBox* CmbGroup;
    // Said beside the group box while no group is offered, with how to fill the list.
    QLabel* LblGroupEmpty;
    QLabel* Label2;
    QLineEdit* TxtKapal;
    QPushButton* CmdKapal;
    QLabel* Label4;
    QLineEdit* TxtNoVoy;
    QLabel* Label3;
    QLineEdit* TxtDate;
    QLabel* Label25;
    QLineEdit* TxtTime;
    QLabel* Label32;
    QLineEdit* TxtMasterNoBL;
    QLabel* Label33;
    QLineEdit* TxtMasterTglBL;
    QTableView* LvMaster;
    RowSetModel* m_masterModel;
    QPushButton* CmdDetail;

    // Detail frame
    QGroupBox* FrameDetail;
    QLineEdit* TextPos;
    QLabel* Label6;
    QLineEdit* TxtNoBL1;
    QLineEdit* TxtNoBL2;
    QLabel* Label9;
    QLineEdit* TxtMotherVessel;
    QGroupBox* Frame2;
    QLineEdit* TxtAsal;
    QLineEdit* TextAsalNm;
    QLineEdit* TxtMuat;
    QLineEdit* TextMuatNm;
    QLineEdit* TxtBongkar;
    QLineEdit* TextBongkarNm;
    QLineEdit* TxtAkhir;
    QLineEdit* TextAkhirNm;
    QPlainTextEdit* TxtShipperNm;
    QPlainTextEdit* TxtShipperAddr;
    QPlainTextEdit* TxtConsigneeNm;
    QPlainTextEdit* TxtConsigneeAddr;
    QPlainTextEdit* TxtNotifyNm;
    QPlainTextEdit* TxtNotifyAddr;
    QPlainTextEdit* TxtMark;
    QLineEdit* TxtJmlKemasan;
    QLineEdit* TextSatuanKemasan;
    QPushButton* CmdSatuanKemasan;
    QLineEdit* TextUraian;
    QLineEdit* TxtBerat;
    QLineEdit* TxtVolume;
    QCheckBox* ChkConsildate;
    QCheckBox* ChkPartialShipment;
    QLineEdit* TxtNoPackage;
    QLabel* Label30;
    QLineEdit* TxtNoContainer;
    QLabel* Label35;
    QLineEdit* TextTotContainer;
    QPushButton* CmdBarang;
    QPushButton* CmdKontainer;
    QPushButton* CmdPeb;
    QPushButton* CmdConsolidate;
    QPushButton* CmdHeader;
};

} // namespace vastrel
