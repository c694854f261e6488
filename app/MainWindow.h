#pragma once

#include "CommandHost.h"

#include <QHash>
#include <QMainWindow>
#include <QStyle>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QToolBar;

namespace vastrel {

struct AppState;
class FrmHeader;
class RowSet;

// The multiple-document frame: menus, the command toolbar TB1, the navigation
// toolbar TB2 and the status bar. Its commands act on the entry screen and
// keep the command state.
class MainWindow : public QMainWindow, public CommandHost {
    Q_OBJECT
public:
    explicit MainWindow(AppState& state, QWidget* parent = nullptr);

    void ControlToolBar(const QString& state) override;
    void NavigateHeader(const QString& key) override;
    void showNavigation(bool visible) override;

    void RunCommand(const QString& key);
    void setUserName(const QString& userName);
    // Window caption and vessel menu caption from the kind setting.
    void SetCaption();

    QAction* command(const QString& key) const { return m_commands.value(key); }
    FrmHeader* entryScreen() const { return m_entry; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildMenus();
    void buildToolBars();
    QAction* addCommand(QMenu* menu, const QString& key, const QString& name, const QString& text,
                        const QKeySequence& shortcut, const QString& toolTip);

    bool entryActive() const;
    bool inDetail() const;
    FrmHeader* openEntryScreen();
    void closeEntryScreen();
    RowSet* navigationList() const;
    void returnTo(int position);

    void commandNew();
    void commandSave();
    void commandDelete();
    void commandEdit();
    void commandOpen();
    void undoEntry();
    void onNavigationClicked(const QString& key);
    void openGenerate(bool searchMode);
    void openFromSearch(const QString& nodaftar);
    void openProfile();
    void backupDatabase();
    QIcon commandIcon(QStyle::StandardPixmap which, const QSize& size) const;
    void CloseAllChild();
    bool confirmExit();

    AppState& m_state;
    QMdiArea* m_mdi;
    QToolBar* m_tb1 = nullptr;
    QToolBar* m_tb2 = nullptr;
    QLabel* m_userPanel;
    QAction* m_kapalMenu = nullptr;
    // The shown manifest's history, while the entry screen is open.
    QAction* m_historyMenu = nullptr;
    QHash<QString, QAction*> m_commands;
    FrmHeader* m_entry = nullptr;
    QMdiSubWindow* m_entryWindow = nullptr;
    bool m_exiting = false;
};

} // namespace vastrel
