#pragma once

class QAction;
class QMainWindow;
class QMenu;

namespace orvanta::ui {

// The main window's menus; every item carries the name the language files address it by. Building
// them connects nothing: the window wires the items to its handlers.
struct MainMenus {
    // Main menu.
    QMenu* File1;
    QAction *Shutoff2, *Reboot2, *Logoff2, *Standby2, *Hibernate2, *LockSystem2, *CloseMo2, *Exit1;
    QMenu* Tools1;
    QAction *AtomicClock2, *PowerManagement2, *RunHistory2, *Import1, *Export1, *Uninstall2;
    QMenu* Language1; // holds the languages where the options page lists them; never shown
    QMenu* Help1;
    QAction *UserManual1, *Visitwebsite1, *About1;

    // Notification-area menu.
    QMenu* PopupMenu1;
    QAction *AdvancedOptions1, *PowerManagement1, *NewScheduledTask1, *Showlist1, *AtomicClock1;
    QMenu* QuickLau1;
    QAction *Shutoff1, *Reboot1, *Logoff1, *Standby1, *Hibernate1, *Locksystem1, *CloseMo1;
    QAction *RunatWin1, *Help2, *About2, *Exit2;

    // The task list's context menu.
    QMenu* PopupMenu2;
    QAction *Enabled1, *Disabled1, *HideLater, *HidePassed, *HideDisabled;

    // The Delete button's drop-down.
    QMenu* delPopupMenu;
    QAction *Delete1, *DeletePassed1, *DeleteDisabled1;

    // The window's control menu.
    QMenu* PopupMenu3;
    QAction *Minimize1, *MaximizeRestore1, *Close1;
};

// Builds every menu, the main menu into the window's menu bar, the others as popups of the window.
MainMenus BuildMainMenus(QMainWindow* window);

} // namespace orvanta::ui
