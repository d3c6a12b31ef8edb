#pragma once

#include "data/settings/settings.h"
#include "data/task_store.h"
#include "i18n/lang_mgr.h"
#include "i18n/text_lookup.h"
#include "platform/api/clock.h"
#include "platform/api/keep_awake.h"
#include "platform/api/memory_trim.h"
#include "platform/api/power_status.h"
#include "platform/api/resume_monitor.h"
#include "platform/api/single_instance.h"
#include "platform/api/system_paths.h"
#include "platform/api/user_registry.h"
#include "platform/api/wake_timer.h"
#include "scheduler/dispatch_ports.h"
#include "ui/about_form.h"
#include "ui/backup_commands.h"

#include <QString>
#include <QWidget>
#include <functional>

namespace orvanta::actions {
class ProgramActions;
class SessionActions;
} // namespace orvanta::actions

namespace orvanta::ui {

class ErrorBox;

// Everything the main window works with and does not own.
struct MainFormPorts {
    i18n::TLangMgr& languages;
    // The lookup the list rows and the hint are built with: the current language, main window's section.
    const i18n::TextLookup& listTexts;
    const platform::Clock& clock;
    const platform::SystemPaths& paths;
    platform::UserRegistry& registry;
    const platform::PowerStatus& power;
    platform::WakeTimerFactory& wakeTimers;
    platform::KeepAwake& keepAwake;
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
    // Whether the desktop hosts notification-area icons.
    bool trayAvailable;
    // Ends the program's message loop.
    std::function<void()> quitApplication;
    // A synthetic pointer move, so the desktop treats the user as present after a wake-up.
    std::function<void()> nudgePointer;
    // The export and import file dialogs; each one left empty is the desktop's own.
    BackupFileDialogs backupDialogs = {};
    // The support and web-site addresses of the about box and the Help menu.
    AboutInfo about = BuiltInAboutInfo();
};

// The windows and steps later work brings. Each one left empty keeps the commands that need it
// disabled; a command that reaches it indirectly does nothing.
struct LaterFeatures {
    // Opens the task editor modally in the given mode ("New Scheduled Task", "Edit Scheduled Task").
    std::function<void(const QString& editorMode)> openTaskEditor;
    // Builds the hotkey list and registers the hotkeys.
    std::function<void()> loadHotkeys;
    // Fills the hotkey tab's page with its list and commands, as the window is built.
    std::function<void(QWidget* tabSheet3)> buildHotkeyPage;
    // Whether the desktop asks for a password on resume from sleep; empty greys the option.
    std::function<bool()> passwordRequiredOnResume;
};

} // namespace orvanta::ui
