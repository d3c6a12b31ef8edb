#pragma once

#include "data/settings/settings.h"
#include "data/task_store.h"
#include "i18n/lang_mgr.h"
#include "i18n/text_lookup.h"
#include "platform/api/clock.h"
#include "platform/api/desktop_features.h"
#include "platform/api/memory_trim.h"
#include "platform/api/resume_monitor.h"
#include "platform/api/run_history.h"
#include "platform/api/single_instance.h"
#include "platform/api/system_paths.h"
#include "platform/api/tray_hosts.h"
#include "platform/api/user_registry.h"
#include "scheduler/dispatch_ports.h"
#include "scheduler/power_on_test.h"
#include "scheduler/resume_handling.h"
#include "scheduler/scheduler.h"
#include "ui/about_form.h"
#include "ui/backup_commands.h"
#include "ui/main_timers.h"

#include <QString>
#include <QWidget>
#include <functional>

namespace orvanta::actions {
class ProgramActions;
class SessionActions;
} // namespace orvanta::actions

namespace orvanta::hotkeys {
class HotkeyTasks;
} // namespace orvanta::hotkeys

namespace orvanta::ui {

class DesktopNotices;
class ErrorBox;
class TMainForm;

// What the scheduler and the confirmation windows ask of the main window. Made before the window, which
// answers from its construction to its end; outside that time a request does nothing.
struct MainWindowRequests {
    std::function<void()> warnOnBattery;
    // Rebuilds the run table and shows it in the list; raises what the rebuild raises.
    std::function<void()> rebuildRunTable;

    void WarnOnBattery() const {
        if (warnOnBattery) warnOnBattery();
    }
    void RebuildRunTable() const {
        if (rebuildRunTable) rebuildRunTable();
    }
};

// Everything the main window works with and does not own.
struct MainFormPorts {
    i18n::TLangMgr& languages;
    // The lookup the list rows and the hint are built with: the current language, main window's section.
    const i18n::TextLookup& listTexts;
    const platform::Clock& clock;
    const platform::SystemPaths& paths;
    platform::UserRegistry& registry;
    platform::ResumeMonitor& resumeMonitor;
    platform::SingleInstance& instance;
    platform::MemoryTrim& memoryTrim;
    data::Settings& settings;
    const data::TaskStore& store;
    scheduler::TaskActions& actions;
    // The quick-launch power commands and the Tools commands that start outside programs.
    actions::SessionActions& session;
    actions::ProgramActions& programs;
    scheduler::ReminderPresenter& reminders;
    ErrorBox& errors;
    // The core the window drives, made before it: its timers, the scheduler over them, what a resume does
    // and the first-run power test.
    MainTimerSet& timers;
    scheduler::CloseAllowanceFlag& closeAllowance;
    MainWindowRequests& requests;
    scheduler::Scheduler& scheduler;
    scheduler::ResumeHandling& resumeHandling;
    scheduler::PowerOnTest& powerOnTest;
    // The notification-area hosts, which may come and go while the program runs.
    platform::TrayHostWatch& trayHosts;
    // Ends the program's message loop.
    std::function<void()> quitApplication;
    // The export and import file dialogs; each one left empty is the desktop's own.
    BackupFileDialogs backupDialogs = {};
    // The support and web-site addresses of the about box and the Help menu.
    AboutInfo about = BuiltInAboutInfo();
    // The hotkey tasks the hotkey tab lists and registers; without them the tab stays empty.
    hotkeys::HotkeyTasks* hotkeyTasks = nullptr;
    // Opens the task editor over the window, modally, in the given mode ("New Scheduled Task", "Edit
    // Scheduled Task", or a hotkey editor's); empty keeps the commands that open it disabled.
    std::function<void(TMainForm& owner, const QString& editorMode)> openTaskEditor = {};
    // Whether the desktop asks for a password on resume from sleep; empty greys the option.
    std::function<bool()> passwordRequiredOnResume = {};
    // This start asks for a new task: a copy that hands over asks the running one to open the editor.
    bool handOverNewTask = false;
    // Asks the running copy for this data folder over the session bus (with the editor for a new task);
    // false when no such copy could be asked there, and the instance's own address is tried instead.
    // Empty: that address only.
    std::function<bool(bool newTask)> handOverOnBus = {};
    // The desktop's notification server for the balloons; nullptr leaves them to the icon.
    DesktopNotices* notices = nullptr;
    // Told after every rebuild of the run table the window made.
    std::function<void()> tableRebuilt = {};
    // What this desktop lets the program do; nullptr: everything.
    const platform::DesktopFeatures* features = nullptr;
    // What ran and what did not, for Tools > Run History; nullptr greys the item.
    const platform::RunHistory* runHistory = nullptr;
};

} // namespace orvanta::ui
