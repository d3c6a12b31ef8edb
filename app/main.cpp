// The program: this system's backends, the core objects and the windows, wired together.
#include "actions/desktop_actions.h"
#include "app/platform_backends.h"
#include "data/settings/data_folder.h"
#include "data/settings/settings.h"
#include "data/task_store.h"
#include "hotkeys/hotkey_registrar.h"
#include "hotkeys/hotkey_tasks.h"
#include "i18n/lang_mgr.h"
#include "macros/macro_player.h"
#include "macros/task_macro_starter.h"
#include "ui/desktop_notices.h"
#include "ui/error_box.h"
#include "ui/gui_clipboard.h"
#include "ui/hotkey_page.h"
#include "ui/macro_form_opener.h"
#include "ui/main_form.h"
#include "ui/message_form.h"
#include "ui/message_window_port.h"
#include "ui/reminder.h"
#include "ui/task_form.h"
#include "ui/task_form_opener.h"

#include <QApplication>
#include <QCursor>
#include <atomic>
#include <iostream>
#include <memory>

namespace {

using namespace orvanta;

// A move to the corner and back: the desktop sees input and counts the user as present.
void NudgePointer() {
    const QPoint where = QCursor::pos();
    QCursor::setPos(0, 0);
    QCursor::setPos(where);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvanta"));
    // The program lives on in the notification area when its windows close; only Exit ends it.
    QApplication::setQuitOnLastWindowClosed(false);

    const std::unique_ptr<app::PlatformBackends> backends = app::MakePlatformBackends();
    app::PlatformBackends& os = *backends;

    const std::string dataFolder = data::ResolveDataFolder(*os.paths);
    data::Settings settings(data::SettingsFilePath(dataFolder, os.paths->pathSeparator()));
    data::TaskStore store(data::TaskDatabasePath(dataFolder, os.paths->pathSeparator()), *os.clock);
    const char separator = os.paths->pathSeparator();
    i18n::TLangMgr languages(os.paths->executableFolder(), separator, settings, *os.locale);

    int status = 0;
    // Kept to the end: the program's last moments still answer a termination signal.
    std::shared_ptr<void> terminationWatch;
    {
        i18n::CurrentLanguageLookup listTexts(languages);
        ui::MessageBoxErrorBox errors;
        // Made before the main window, which the actions it is given already write to.
        ui::TMessageForm messages(languages);
        ui::MessageWindowPort messagePort(messages);

        // Hotkeys and macros: Alt+F12 stops a playing macro through this flag.
        std::atomic<bool> macroStopRequested{false};
        hotkeys::HotkeyRegistrar registrar(*os.globalHotkeys);
        macros::MacroStopKey stopKey(registrar);
        ui::GuiClipboard clipboard;
        macros::SteadyMacroWaiter waiter(os.playbackThreadTuning, os.playbackSleepMargin);
        // A task macro waits, two seconds at most, until the keys of the hotkey that started it are up.
        macros::DoDo2 taskMacros({*os.syntheticInput, clipboard, waiter, macroStopRequested,
                                  [&] { stopKey.Release(); }, std::chrono::seconds(2)});
        macros::TaskMacroStarter macroStarter(taskMacros, stopKey, macroStopRequested);
        actions::DesktopActions::Options actionOptions;
        actionOptions.startMacro = [&](const std::string& path) { return macroStarter.StartTaskMacro(path); };
        actions::DesktopActions actions(
            {*os.sessionPower, *os.launcher, *os.processes, *os.sound, messagePort, *os.clock, *os.paths},
            actionOptions);
        // The main window's core, made before the window that drives it.
        ui::MainTimerSet timers;
        scheduler::CloseAllowanceFlag closeAllowance;
        ui::MainWindowRequests requests;
        ui::DesktopNotices notices(*os.notifications);
        ui::ReminderWindowPresenter reminders({languages, *os.clock, store, actions, closeAllowance, errors,
                                               [&] { requests.RebuildRunTable(); }, [&] { os.sound->beep(); },
                                               &notices});
        scheduler::ResumeHandling resumeHandling(
            {*os.keepAwake, settings, NudgePointer, [&] { actions.LockComputer(); }});
        scheduler::Scheduler scheduler(
            {store, *os.clock, listTexts, *os.wakeTimers, timers, actions, reminders, closeAllowance,
             [&] { return static_cast<int>(os.power->acLineStatus()); }, [&] { requests.WarnOnBattery(); },
             [&] { return resumeHandling.ResumedAutomaticallyJustNow(); },
             // Until there is a history of runs, a moment that was handed over and not run is told on stderr.
             [](const std::string& key, const std::string& why) {
                 qWarning("Orvanta: the tasks due at %s were not run (%s)", key.c_str(), why.c_str());
             }});
        scheduler::PowerOnTest powerOnTest({settings, *os.power, *os.wakeTimers, timers,
                                            [&](bool hibernate) { actions.Suspend(hibernate); }});
        hotkeys::HotkeyTasks hotkeyTasks(
            registrar,
            [&](const std::string& id, const std::vector<scheduler::TaskRow>& rows) {
                scheduler.DispatchHotkeyTask(id, rows);
            },
            macroStopRequested);
        // Presses arrive on the grab thread; the task runs on the GUI thread.
        os.globalHotkeys->setOnPressed([&](int, unsigned modifiers, unsigned key) {
            QMetaObject::invokeMethod(
                qApp,
                [&, modifiers, key] {
                    ui::RunGuarded(errors, [&] { hotkeyTasks.OnHotkeyPressed(modifiers, key); });
                },
                Qt::QueuedConnection);
        });
        // The macro recorder's playback plays like a task macro, with Alt+F12 taken for its length.
        auto recorderPorts = [&](const QString& ownerTitle) -> ui::MacroFormPorts {
            return {languages,
                    errors,
                    settings,
                    *os.macroHooks,
                    {*os.syntheticInput, clipboard, waiter, macroStopRequested, [&] { stopKey.Release(); },
                     std::chrono::milliseconds(0)},
                    [&] { stopKey.Take(); },
                    ui::RunMacroFileDialog,
                    ui::MinimizeApplication,
                    ui::RestoreApplication,
                    ui::SteadyTickCount,
                    ownerTitle};
        };
        auto openTaskEditor = [&](ui::TMainForm& owner, const QString& mode) {
            const ui::TaskEditorServices services{
                languages,
                *os.clock,
                *os.power,
                store,
                errors,
                [&](const std::string& value) { actions.LaunchProgram(value); },
                [&](QWidget* editor) { ui::OpenMacroRecorder(recorderPorts(owner.windowTitle()), editor); }};
            ui::TaskEditorHost host = ui::MakeTaskEditorHost(owner, services);
            if (owner.hotkeyPage())
                ui::ConnectEditorToHotkeyPage(host, *owner.hotkeyPage(), *owner.PageControl1());
            ui::TTaskForm::Open(std::move(host), mode, &owner);
        };

        ui::MainFormPorts ports{languages,
                                listTexts,
                                *os.clock,
                                *os.paths,
                                *os.registry,
                                *os.resumeMonitor,
                                *os.instance,
                                *os.memoryTrim,
                                settings,
                                store,
                                actions,
                                actions.session(),
                                actions.programs(),
                                reminders,
                                errors,
                                timers,
                                closeAllowance,
                                requests,
                                scheduler,
                                resumeHandling,
                                powerOnTest,
                                *os.trayHosts,
                                [] { QApplication::quit(); }};
        ports.hotkeyTasks = &hotkeyTasks;
        ports.notices = &notices;
        ports.openTaskEditor = openTaskEditor;
        ports.passwordRequiredOnResume = [&] { return os.resumePassword->passwordRequired(); };
        ui::TMainForm form(std::move(ports));
        // A termination signal ends the program as Exit does: every loop ends, modal windows included,
        // and the playbacks are stopped and let go of their keys as the objects below end.
        terminationWatch = os.watchTermination([] {
            QMetaObject::invokeMethod(
                qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        });
        reminders.setOwner(&form);
        if (!form.StartRefusal().isEmpty()) {
            status = 1;
        } else if (!form.HandedOver()) {
            errors.setOwner(&form);
            form.ShowAtStart();
            status = QApplication::exec();
        }
        // The grab thread outlives this block; no press may reach the objects ending with it.
        os.globalHotkeys->setOnPressed({});
    }
    try {
        languages.CheckNoListeners();
    } catch (const std::exception& e) {
        std::cerr << "orvanta: " << e.what() << std::endl;
    }
    return status;
}
