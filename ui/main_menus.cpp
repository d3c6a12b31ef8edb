#include "ui/main_menus.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace orvanta::ui {
namespace {

QAction* Item(QMenu* menu, const char* name, const char* caption) {
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(name);
    return action;
}

QAction* CheckItem(QMenu* menu, const char* name, const char* caption) {
    QAction* action = Item(menu, name, caption);
    action->setCheckable(true);
    return action;
}

QMenu* Popup(QWidget* owner, const char* name) {
    auto* menu = new QMenu(owner);
    menu->setObjectName(name);
    return menu;
}

QMenu* SubMenu(QMenu* parent, const char* name, const char* caption) {
    QMenu* menu = parent->addMenu(QString::fromUtf8(caption));
    menu->setObjectName(name);
    return menu;
}

} // namespace

MainMenus BuildMainMenus(QMainWindow* window) {
    MainMenus m{};
    QMenuBar* bar = window->menuBar();

    m.File1 = bar->addMenu(QStringLiteral("File"));
    m.File1->setObjectName("File1");
    m.Shutoff2 = Item(m.File1, "Shutoff2", "Shut Down");
    m.Reboot2 = Item(m.File1, "Reboot2", "Restart");
    m.Logoff2 = Item(m.File1, "Logoff2", "Log Off");
    m.Standby2 = Item(m.File1, "Standby2", "Sleep");
    m.Hibernate2 = Item(m.File1, "Hibernate2", "Hibernate");
    m.LockSystem2 = Item(m.File1, "LockSystem2", "Lock Desktop");
    m.CloseMo2 = Item(m.File1, "CloseMo2", "Close Monitor");
    m.File1->addSeparator();
    m.Exit1 = Item(m.File1, "Exit1", "Exit");

    m.Tools1 = bar->addMenu(QStringLiteral("Tools"));
    m.Tools1->setObjectName("Tools1");
    m.AtomicClock2 = Item(m.Tools1, "AtomicClock2", "Atomic Clock");
    m.PowerManagement2 = Item(m.Tools1, "PowerManagement2", "Power Management");
    m.RunHistory2 = Item(m.Tools1, "RunHistory2", "Run History");
    m.Tools1->addSeparator();
    m.Import1 = Item(m.Tools1, "Import1", "Import Tasks File");
    m.Export1 = Item(m.Tools1, "Export1", "Export Tasks File");
    m.Tools1->addSeparator();
    m.Uninstall2 = Item(m.Tools1, "Uninstall2", "Uninstall");
    m.Language1 = SubMenu(m.Tools1, "Language1", "Language");
    m.Language1->menuAction()->setVisible(false);

    m.Help1 = bar->addMenu(QStringLiteral("Help"));
    m.Help1->setObjectName("Help1");
    m.UserManual1 = Item(m.Help1, "UserManual1", "User Manual");
    m.UserManual1->setShortcut(QKeySequence(Qt::Key_F1));
    m.Visitwebsite1 = Item(m.Help1, "Visitwebsite1", "Visit website");
    m.About1 = Item(m.Help1, "About1", "About...");

    m.PopupMenu1 = Popup(window, "PopupMenu1");
    m.AdvancedOptions1 = Item(m.PopupMenu1, "AdvancedOptions1", "Advanced Options");
    m.PowerManagement1 = Item(m.PopupMenu1, "PowerManagement1", "Power Management");
    m.PopupMenu1->addSeparator();
    m.NewScheduledTask1 = Item(m.PopupMenu1, "NewScheduledTask1", "New Scheduled Task");
    m.Showlist1 = Item(m.PopupMenu1, "Showlist1", "Show task list...");
    m.AtomicClock1 = Item(m.PopupMenu1, "AtomicClock1", "Atomic Clock");
    m.QuickLau1 = SubMenu(m.PopupMenu1, "QuickLau1", "Quick Launch");
    m.Shutoff1 = Item(m.QuickLau1, "Shutoff1", "Shut Down");
    m.Reboot1 = Item(m.QuickLau1, "Reboot1", "Restart");
    m.Logoff1 = Item(m.QuickLau1, "Logoff1", "Log Off");
    m.Standby1 = Item(m.QuickLau1, "Standby1", "Sleep");
    m.Hibernate1 = Item(m.QuickLau1, "Hibernate1", "Hibernate");
    m.Locksystem1 = Item(m.QuickLau1, "Locksystem1", "Lock Desktop");
    m.CloseMo1 = Item(m.QuickLau1, "CloseMo1", "Close Monitor");
    m.PopupMenu1->addSeparator();
    m.RunatWin1 = CheckItem(m.PopupMenu1, "RunatWin1", "Run at Windows Startup");
    m.PopupMenu1->addSeparator();
    m.Help2 = Item(m.PopupMenu1, "Help2", "Help");
    m.Help2->setShortcut(QKeySequence(Qt::Key_F1));
    m.About2 = Item(m.PopupMenu1, "About2", "About...");
    m.PopupMenu1->addSeparator();
    m.Exit2 = Item(m.PopupMenu1, "Exit2", "Exit");

    m.PopupMenu2 = Popup(window, "PopupMenu2");
    m.Enabled1 = Item(m.PopupMenu2, "Enabled1", "Enable");
    m.Disabled1 = Item(m.PopupMenu2, "Disabled1", "Disable");
    m.PopupMenu2->addSeparator();
    m.HideLater = CheckItem(m.PopupMenu2, "HideLater", "Hide pending days > 30");
    m.HidePassed = CheckItem(m.PopupMenu2, "HidePassed", "Hide Passed");
    m.HideDisabled = CheckItem(m.PopupMenu2, "HideDisabled", "Hide Disabled");

    m.delPopupMenu = Popup(window, "delPopupMenu");
    m.Delete1 = Item(m.delPopupMenu, "Delete1", "Delete");
    m.Delete1->setVisible(false);
    m.DeletePassed1 = Item(m.delPopupMenu, "DeletePassed1", "Clear Passed");
    m.DeleteDisabled1 = Item(m.delPopupMenu, "DeleteDisabled1", "Clear Disabled");

    m.PopupMenu3 = Popup(window, "PopupMenu3");
    m.Minimize1 = Item(m.PopupMenu3, "Minimize1", "Minimize");
    m.MaximizeRestore1 = Item(m.PopupMenu3, "MaximizeRestore1", "Maximize/Restore");
    m.PopupMenu3->addSeparator();
    m.Close1 = Item(m.PopupMenu3, "Close1", "Close");
    return m;
}

} // namespace orvanta::ui
