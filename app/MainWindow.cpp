#include "MainWindow.h"

#include "AppState.h"
#include "BusyCursor.h"
#include "CommandKeys.h"
#include "DatabaseBackup.h"
#include "FlatFileImportCommand.h"
#include "FormHelpers.h"
#include "FrmAbout.h"
#include "FrmGenerate.h"
#include "FrmHeader.h"
#include "FrmKapal.h"
#include "FrmParties.h"
#include "FrmProfile.h"
#include "FrmSetting.h"
#include "InputHelpers.h"
#include "Messages.h"
#include "PortCodeLoad.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOption>
#include <QToolBar>

namespace vastrel {

namespace {

const QString kExitQuestion = QStringLiteral("Apakah Anda akan keluar dari aplikasi ini?");
const QString kDeleteTitle = QStringLiteral("Informtion");

// Enabled state of New, Edit, Open, Save, Delete, Undo, Generate per command state.
struct CommandStates {
    const char* state;
    bool enabled[7];
};

constexpr CommandStates kStates[] = {
    {"awal", {true, false, true, false, false, false, true}},
    {"new", {false, false, false, true, false, true, true}},
    {"edit", {false, false, false, true, false, true, true}},
    {"open", {true, true, false, false, true, false, true}},
    {"save", {true, true, false, false, true, false, true}},
    {"delete", {true, true, false, false, true, false, true}},
    {"undo after new", {true, false, true, false, false, false, true}},
    {"undo after edit", {true, true, false, false, true, false, true}},
};

constexpr QSize kEntryScreenSize(1120, 680);

const char* kCommandKeys[] = {"new", "edit", "open", "save", "delete", "undo", "generate"};

} // namespace

MainWindow::MainWindow(AppState& state, QWidget* parent)
    : QMainWindow(parent), m_state(state), m_mdi(new QMdiArea(this)), m_userPanel(new QLabel) {
    setObjectName("MDI");
    setCentralWidget(m_mdi);
    m_mdi->setBackground(QColor("#7f9db9"));
    buildMenus();
    buildToolBars();
    statusBar()->setObjectName("StBar");
    statusBar()->addWidget(m_userPanel, 1);
    m_userPanel->setObjectName("StBarPanel1");
    SetCaption();
    ControlToolBar("awal");
    showNavigation(false);
    resize(1180, 820);
}

QAction* MainWindow::addCommand(QMenu* menu, const QString& key, const QString& name,
                                const QString& text, const QKeySequence& shortcut,
                                const QString& toolTip) {
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    action->setToolTip(toolTip);
    connect(action, &QAction::triggered, this, [this, key] { RunCommand(key); });
    m_commands.insert(key, action);
    return action;
}

void MainWindow::buildMenus() {
    // The mnemonics open the menus with Alt+F, Alt+R and Alt+A; each item has its own letter.
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("mnFile");
    addCommand(file, "new", "mnNew", "&New", QKeySequence("Ctrl+N"), "New");
    addCommand(file, "save", "mnSave", "&Save", QKeySequence("Ctrl+S"), "Save");
    addCommand(file, "edit", "mnEdit", "&Edit", QKeySequence("Ctrl+E"), "Edit");
    addCommand(file, "open", "mnopen", "&Open", QKeySequence("Ctrl+O"), "Open");
    addCommand(file, "delete", "mnDelete", "&Delete", QKeySequence("Ctrl+D"), "Delete");
    addCommand(file, "undo", "mnUndo", "&Undo", QKeySequence("Ctrl+U"), "Undo");
    file->addSeparator()->setObjectName("mnsep1");
    QAction* search = file->addAction("Sea&rch Dokumen", this, [this] { openGenerate(true); });
    search->setObjectName("mnSearch");
    search->setShortcut(QKeySequence("Ctrl+F"));
    addCommand(file, "generate", "mnGenerate", "&Generate", QKeySequence("Ctrl+G"),
               "Generate Flat File");
    m_historyMenu = file->addAction("Ri&wayat", this, [this] {
        if (m_entry)
            m_entry->showHistory();
    });
    m_historyMenu->setObjectName("mnRiwayat");
    m_historyMenu->setShortcut(QKeySequence("Ctrl+H"));
    m_historyMenu->setEnabled(false);
    file->addAction("&Profile Perusahaan", this, &MainWindow::openProfile)
        ->setObjectName("mnprofile");
    file->addAction("Se&tting Aplikasi", this,
                    [this] { FrmSetting(m_state.iniPath(), this).exec(); })
        ->setObjectName("mnSetting");
    // An imported manifest is shown as if it had been searched for.
    const auto importing = [this](QString (*import)(AppState&, QWidget*)) {
        return [this, import] {
            const QString key = import(m_state, this);
            if (!key.isEmpty())
                openFromSearch(key);
        };
    };
    file->addAction("&Import Flat File...", this, importing(ImportFlatFile))
        ->setObjectName("mnImportFlatFile");
    file->addAction("I&mport Spreadsheet...", this, importing(ImportSpreadsheet))
        ->setObjectName("mnImportSpreadsheet");
    file->addAction("&Backup Database...", this, &MainWindow::backupDatabase)
        ->setObjectName("mnBackup");
    addCommand(file, "exit", "mnExit", "E&xit", QKeySequence("Ctrl+Q"), "Exit");

    QMenu* ref = menuBar()->addMenu("&Referensi");
    ref->setObjectName("mnRef");
    m_kapalMenu = ref->addAction("&Kapal", this, [this] { FrmKapal(m_state, this).exec(); });
    m_kapalMenu->setObjectName("mnKapal");
    ref->addAction("&Parties", this, [this] { FrmParties(m_state, this).exec(); })
        ->setObjectName("mnParties");
    ref->addAction("Muat Kode Pelabuhan...", this, [this] { LoadPortCodes(m_state, this); })
        ->setObjectName("mnLoadPorts");

    QAction* about = menuBar()->addAction("&About");
    about->setObjectName("mnAboutParent");
    connect(about, &QAction::triggered, this,
            [this] { FrmAbout(m_state.programFolder, this).exec(); });

    // F10 opens the menu bar, as on other desktop programs.
    auto* menuKey = new QAction(this);
    menuKey->setObjectName("mnBarKey");
    menuKey->setShortcut(Qt::Key_F10);
    connect(menuKey, &QAction::triggered, this,
            [this, file] { menuBar()->setActiveAction(file->menuAction()); });
    addAction(menuKey);

    QList<QKeySequence> keys;
    for (const QAction* action : file->actions()) {
        if (!action->shortcut().isEmpty())
            keys << action->shortcut();
    }
    new CommandKeys(this, keys);
}

void MainWindow::backupDatabase() {
    const QString proposed = QDir::home().filePath(
        "manifest-backup-" + QDate::currentDate().toString("yyyyMMdd") + ".db");
    try {
        refuseServerBackup(m_state.Conn); // before the clerk picks a file for nothing
        const QString path = Messages::saveFileName(this, "Backup Database", proposed,
                                                    "Database (*.db);;All Files (*)");
        if (path.isEmpty())
            return;
        const BusyCursor busy;
        vastrel::backupDatabase(m_state.Conn, m_state.StrDbPassword, path);
    } catch (const std::runtime_error& e) { // refused, or nothing was written
        Messages::showError(this, e);
        return;
    }
    Messages::show(this, "Backup database telah dibuat", Messages::kInformation,
                   Messages::Icon::Information);
}

// Some standard icons are grey already, so the style's greying leaves them looking enabled;
// a disabled command's icon is faded as well.
QIcon MainWindow::commandIcon(QStyle::StandardPixmap which, const QSize& size) const {
    const QPixmap normal = style()->standardIcon(which).pixmap(size);
    QStyleOption option;
    option.initFrom(this);
    QPixmap faded(normal.size());
    faded.setDevicePixelRatio(normal.devicePixelRatio());
    faded.fill(Qt::transparent);
    QPainter painter(&faded);
    painter.setOpacity(0.35);
    painter.drawPixmap(0, 0, style()->generatedIconPixmap(QIcon::Disabled, normal, &option));
    painter.end();
    QIcon icon(normal);
    icon.addPixmap(faded, QIcon::Disabled);
    return icon;
}

void MainWindow::buildToolBars() {
    m_tb1 = addToolBar("TB1");
    m_tb1->setObjectName("TB1");
    m_tb1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    const QStyle::StandardPixmap icons[] = {
        QStyle::SP_FileIcon,          QStyle::SP_FileDialogDetailedView,
        QStyle::SP_DirOpenIcon,       QStyle::SP_DialogSaveButton,
        QStyle::SP_TrashIcon,         QStyle::SP_ArrowBack,
        QStyle::SP_DialogApplyButton, QStyle::SP_DialogCloseButton};
    const char* keys[] = {"new", "edit", "open", "save", "delete", "undo", "generate", "exit"};
    for (int i = 0; i < 8; ++i) {
        QAction* action = m_commands.value(keys[i]);
        action->setIcon(commandIcon(icons[i], m_tb1->iconSize()));
        m_tb1->addAction(action);
    }

    m_tb2 = addToolBar("TB2");
    m_tb2->setObjectName("TB2");
    // Alt with Home, PgUp, PgDn or End means nothing to a text box, so it moves from any field.
    const struct {
        const char* key;
        const char* tip;
        QStyle::StandardPixmap icon;
        Qt::Key shortcut;
    } moves[] = {{"first", "First Record", QStyle::SP_MediaSkipBackward, Qt::Key_Home},
                 {"prev", "Previous Record", QStyle::SP_MediaSeekBackward, Qt::Key_PageUp},
                 {"next", "Next Record", QStyle::SP_MediaSeekForward, Qt::Key_PageDown},
                 {"last", "Last Record", QStyle::SP_MediaSkipForward, Qt::Key_End}};
    for (const auto& move : moves) {
        QAction* action = m_tb2->addAction(style()->standardIcon(move.icon), move.tip);
        action->setObjectName(move.key);
        setKeys(action, {QKeySequence(Qt::AltModifier | move.shortcut)});
        const QString key = QString::fromLatin1(move.key);
        connect(action, &QAction::triggered, this, [this, key] { onNavigationClicked(key); });
    }
}

void MainWindow::SetCaption() {
    setWindowTitle(CaptionText(m_state.StrJenis, m_state.StrVersion));
    m_kapalMenu->setText(m_state.StrJenis == "1" ? "&Airlines" : "&Kapal");
}

void MainWindow::setUserName(const QString& userName) {
    m_userPanel->setText("User Name : " + userName.toUpper());
}

void MainWindow::showNavigation(bool visible) {
    m_tb2->setVisible(visible);
}

void MainWindow::ControlToolBar(const QString& state) {
    QString row = state;
    if (state == "undo") {
        if (m_state.entry.StrMode != "new" && m_state.entry.StrMode != "edit")
            return;
        row = "undo after " + m_state.entry.StrMode;
    }
    for (const CommandStates& s : kStates) {
        if (row != QLatin1String(s.state))
            continue;
        for (int i = 0; i < 7; ++i)
            m_commands.value(kCommandKeys[i])->setEnabled(s.enabled[i]);
        if (state == "undo")
            undoEntry();
        return;
    }
}

bool MainWindow::entryActive() const {
    return m_entry && m_mdi->currentSubWindow() == m_entryWindow;
}

bool MainWindow::inDetail() const {
    return m_state.entry.StrPart == "detail";
}

FrmHeader* MainWindow::openEntryScreen() {
    if (!m_entry) {
        m_entry = new FrmHeader(m_state, *this);
        m_historyMenu->setEnabled(true);
        m_entryWindow = m_mdi->addSubWindow(m_entry);
        m_entryWindow->setAttribute(Qt::WA_DeleteOnClose);
        // Room for the larger of the two halves, whichever is shown first.
        m_entryWindow->resize(m_entryWindow->sizeHint().expandedTo(kEntryScreenSize));
        connect(m_entry, &QObject::destroyed, this, [this] {
            m_entry = nullptr;
            m_entryWindow = nullptr;
            m_historyMenu->setEnabled(false);
        });
    }
    return m_entry;
}

void MainWindow::closeEntryScreen() {
    if (m_entryWindow)
        m_entryWindow->close();
}

RowSet* MainWindow::navigationList() const {
    if (!m_entry)
        return nullptr;
    return inDetail() ? &m_entry->RsDetail() : &m_entry->RsHeader();
}

void MainWindow::RunCommand(const QString& key) {
    const QString command = key.toLower();
    if (command == "new")
        commandNew();
    else if (command == "save")
        commandSave();
    else if (command == "delete")
        commandDelete();
    else if (command == "edit")
        commandEdit();
    else if (command == "open")
        commandOpen();
    else if (command == "undo")
        ControlToolBar("undo");
    else if (command == "generate")
        openGenerate(false);
    else if (command == "exit" && confirmExit()) {
        m_exiting = true;
        QApplication::quit();
    }
}

void MainWindow::commandNew() {
    EntryState& entry = m_state.entry;
    entry.StrMode = "new";
    showNavigation(false);
    if (!entry.VarHeaderOpen) {
        entry.StrPart = "header";
        openEntryScreen()->prepareNewManifest();
        command("save")->setEnabled(true);
        entry.VarHeaderOpen = true;
        m_entryWindow->show();
        m_entry->focusFirstField();
    } else if (entryActive()) {
        if (inDetail())
            m_entry->prepareNewDetail();
        else
            m_entry->prepareNewHeader();
    }
    ControlToolBar("new");
}

// Brings the list back from its last row to the row at `position` (1-based).
void MainWindow::returnTo(int position) {
    RowSet* list = navigationList();
    if (!list || list->bof() || list->eof())
        return;
    const int steps = list->recordCount() - position;
    if (steps <= 0)
        return;
    list->setAbsolutePosition(std::max(1, position));
    m_entry->showCurrent("prev");
}

void MainWindow::commandSave() {
    EntryState& entry = m_state.entry;
    if (!entry.VarHeaderOpen || !entryActive())
        return;
    const bool detail = inDetail();
    if (!(detail ? m_entry->SaveToDetail() : m_entry->SaveToHeader()))
        return;
    if (detail)
        m_entry->afterSaveDetail();
    else
        m_entry->afterSaveHeader();
    ControlToolBar("save");
    entry.StrMode = "save";
    // The list now holds what was saved, also when it was begun with New from the start:
    // navigation works at once, as after Open.
    entry.VarNavigate = true;
    showNavigation(true);
    returnTo(detail ? entry.DetailPosition : entry.HeaderPosition);
}

void MainWindow::commandDelete() {
    if (!m_state.entry.VarHeaderOpen || !entryActive())
        return;
    const bool detail = inDetail();
    if (!Messages::ask(this,
                       detail ? "Apakah Anda akan menghapus No Pos/BL?"
                              : "Apakah Anda akan menghapus Header ini?",
                       kDeleteTitle))
        return;
    if (!(detail ? m_entry->DeleteToDetail() : m_entry->DeleteToHeader())) {
        Messages::show(this, "Data gagal dihapus");
        return;
    }
    ControlToolBar("delete");
    m_state.entry.StrMode = "delete";
    Messages::show(this, "Data berhasil dihapus", Messages::kInformation,
                   Messages::Icon::Information);
    if (detail)
        m_entry->afterDeleteDetail();
    else
        m_entry->afterDeleteHeader();
}

void MainWindow::commandEdit() {
    m_state.entry.StrMode = "edit";
    if (m_state.entry.VarHeaderOpen && entryActive())
        m_entry->beginEdit();
    ControlToolBar("edit");
}

void MainWindow::commandOpen() {
    EntryState& entry = m_state.entry;
    showNavigation(true);
    entry.StrMode = "open";
    if (!entry.VarHeaderOpen) {
        entry.VarHeaderOpen = true;
        entry.VarNavigate = true;
        openEntryScreen()->openFirst();
        m_entryWindow->show();
    } else if (entryActive()) {
        m_entry->reopen();
        ControlToolBar("open");
    }
}

void MainWindow::undoEntry() {
    if (!m_entry)
        return;
    if (m_state.entry.StrMode == "new") {
        if (inDetail()) {
            m_entry->undoNew();
            showNavigation(true);
        } else {
            closeEntryScreen();
        }
    } else if (m_state.entry.StrMode == "edit") {
        m_entry->undoEdit();
    }
}

void MainWindow::NavigateHeader(const QString& key) {
    RowSet* list = navigationList();
    if (!list || list->bof() || list->eof())
        return;
    if (key == "first") {
        list->moveFirst();
    } else if (key == "last") {
        list->moveLast();
    } else if (key == "next") {
        list->moveNext();
        if (list->eof())
            list->moveLast();
    } else if (key == "prev") {
        list->movePrevious();
        if (list->bof())
            list->moveFirst();
    } else {
        return;
    }
    m_entry->showCurrent(key);
}

void MainWindow::onNavigationClicked(const QString& key) {
    if (m_state.entry.VarNavigate && entryActive())
        NavigateHeader(key);
}

void MainWindow::openGenerate(bool searchMode) {
    FrmGenerate generate(m_state, this);
    if (searchMode) {
        generate.setSearchMode();
        connect(&generate, &FrmGenerate::manifestChosen, this, &MainWindow::openFromSearch);
    }
    generate.exec();
}

void MainWindow::openFromSearch(const QString& nodaftar) {
    EntryState& entry = m_state.entry;
    openEntryScreen();
    entry.VarHeaderOpen = true;
    entry.VarNavigate = true;
    entry.StrMode = "open";
    m_entry->openManifest(nodaftar);
    m_entryWindow->show();
    showNavigation(true);
    ControlToolBar("open");
}

void MainWindow::CloseAllChild() {
    m_mdi->closeAllSubWindows();
}

void MainWindow::openProfile() {
    CloseAllChild();
    FrmProfile profile(m_state, this);
    connect(&profile, &FrmProfile::profileSaved, this, &MainWindow::SetCaption);
    profile.exec();
}

bool MainWindow::confirmExit() {
    return Messages::ask(this, kExitQuestion);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_exiting || confirmExit()) {
        m_exiting = true;
        event->accept();
        QApplication::quit();
    } else {
        event->ignore();
    }
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() &&
        m_mdi->subWindowList().isEmpty()) {
        for (const char* key : {"edit", "save", "delete", "undo"})
            command(key)->setEnabled(false);
    }
}

} // namespace vastrel
