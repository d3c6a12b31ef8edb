// The program: this system's backends, the core objects and the windows, wired together.
#include "actions/desktop_actions.h"
#include "app/command_line.h"
#include "app/platform_backends.h"
#include "data/settings/data_folder.h"
#include "data/settings/settings.h"
#include "data/task_store.h"
#include "hotkeys/hotkey_registrar.h"
#include "hotkeys/hotkey_tasks.h"
#include "i18n/lang_mgr.h"
#include "macros/macro_player.h"
#include "macros/task_macro_starter.h"
#include "platform/api/program_files.h"
#include "scheduler/open_confirmation.h"
#include "scheduler/run_history_sink.h"
#include "scheduler/run_now.h"
#include "ui/data_folder_watch.h"
#include "ui/desktop_notices.h"
#include "ui/error_box.h"
#include "ui/gui_clipboard.h"
#include "ui/hotkey_page.h"
#include "ui/macro_form_opener.h"
#include "ui/main_form.h"
#include "ui/message_window_port.h"
#include "ui/program_bus_service.h"
#include "ui/reminder.h"
#include "ui/task_form.h"
#include "ui/task_form_opener.h"

#include <QApplication>
#include <QCursor>
#include <atomic>
#include <chrono>
#include <exception>
#include <iostream>
#include <memory>
#include <optional>
#include <orvanta_app_id.h>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace orvanta;

// A move to the corner and back: the desktop sees input and counts the user as present.
void NudgePointer() {
    const QPoint where = QCursor::pos();
    QCursor::setPos(0, 0);
    QCursor::setPos(where);
}

// The task editor is open: it holds the table until it is closed.
bool TaskEditorOpen() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (qobject_cast<ui::TTaskForm*>(window) && window->isVisible()) return true;
    return false;
}

// Help and the version need no display: they are answered before the toolkit starts, which would end
// the program without one. nullopt: go on.
std::optional<int> AnswerWithoutDisplay(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const app::CommandLine line = app::ParseCommandLine(arguments);
    if (line.outcome == app::CommandLine::Outcome::help) {
        std::cout << app::UsageText(argc > 0 ? argv[0] : "orvanta");
        return 0;
    }
    if (line.outcome == app::CommandLine::Outcome::version) {
        std::cout << "Orvanta " ORVANTA_DISPLAY_VERSION "\n";
        return 0;
    }
    return std::nullopt;
}

// The program's own options, once the toolkit has taken its own (-platform, -display, ...) away.
app::CommandLine ReadCommandLine() {
    std::vector<std::string> arguments;
    const QStringList all = QCoreApplication::arguments();
    for (qsizetype i = 1; i < all.size(); ++i)
        arguments.push_back(all[i].toStdString());
    return app::ParseCommandLine(arguments);
}

} // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> answered = AnswerWithoutDisplay(argc, argv)) return *answered;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvanta"));
    // The desktop matches the windows to the desktop entry, its icon and its actions by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral(ORVANTA_APP_ID));
    const app::CommandLine commandLine = ReadCommandLine();
    if (commandLine.outcome == app::CommandLine::Outcome::error) {
        std::cerr << "orvanta: " << commandLine.error << "\nTry 'orvanta --help' for the options.\n";
        return app::kUsageExitStatus;
    }
    // The program lives on in the notification area when its windows close; only Exit ends it.
    QApplication::setQuitOnLastWindowClosed(false);

    // Failures nobody sees as they happen go to stderr, which the journal keeps.
    platform::StderrLog log("orvanta");
    const std::unique_ptr<app::PlatformBackends> backends = app::MakePlatformBackends(log);
    app::PlatformBackends& os = *backends;

    const std::string dataFolder = data::ResolveDataFolder(*os.paths);
    data::Settings settings(data::SettingsFilePath(dataFolder, os.paths->pathSeparator()));
    // Another program's write (orvantactl, a second tool) holds the file for milliseconds; waiting for it
    // keeps a toggle or a pass from failing. Each statement waits on the window's thread, so the wait is
    // short: a file held for long (sqlite3 in a transaction) fails as locked, not later.
    constexpr int kWindowLockWaitMs = 500;
    data::TaskStore store(data::TaskDatabasePath(dataFolder, os.paths->pathSeparator()), *os.clock,
                          kWindowLockWaitMs);
    const char separator = os.paths->pathSeparator();
    i18n::TLangMgr languages(platform::ProgramFiles(*os.paths).languageRoot(), separator, settings,
                             *os.locale);

    int status = 0;
    // Kept to the end: the program's last moments still answer a termination signal.
    std::shared_ptr<void> terminationWatch;
    {
        i18n::CurrentLanguageLookup listTexts(languages);
        ui::MessageBoxErrorBox errors;
        // The reminder-message window, made by the first message.
        ui::MessageWindowPort messagePort(languages);

        // Hotkeys and macros: Alt+F12 stops a playing macro through this flag.
        std::atomic<bool> macroStopRequested{false};
        hotkeys::HotkeyRegistrar registrar(*os.globalHotkeys);
        macros::MacroStopKey stopKey(registrar);
        ui::GuiClipboard clipboard;
        macros::SteadyMacroWaiter waiter(os.playbackThreadTuning, os.playbackSleepMargin);
        // A task macro waits, two seconds at most, until the keys of the hotkey that started it are up.
        macros::MacroPorts taskPorts{
            *os.syntheticInput,     clipboard, waiter, macroStopRequested, [&] { stopKey.Release(); },
            std::chrono::seconds(2)};
        // Where no one waits for a playback's begin (below), its refusal goes to the history on its own,
        // without a task. The journal takes entries from any thread.
        taskPorts.refused = [&](const std::string& why) {
            log.warn("a task macro was not played: " + why);
            os.runHistory->write({0,
                                  {},
                                  {},
                                  {},
                                  "Macro",
                                  scheduler::OutcomeWord(scheduler::RunOutcome::kFailed),
                                  "the macro was not played: " + why});
        };
        macros::DoDo2 taskMacros(taskPorts);
        // Where the desktop may ask before a playback begins, the task waits a moment for its answer, so
        // that a refusal keeps the task's later actions from running. Without taking events meanwhile: a
        // pass, a hotkey or a confirmation's buttons must not run again inside it. A user who takes longer
        // to answer gets the task's later actions at once, and the refusal goes to the history alone.
        macros::TaskMacroStarter::AwaitBegin awaitBegin;
        if (os.syntheticInput->asksBeforePlayback())
            awaitBegin = [](const std::function<bool()>& settled) {
                const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
                while (!settled() && std::chrono::steady_clock::now() < until)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
            };
        macros::TaskMacroStarter macroStarter(
            taskMacros, stopKey, macroStopRequested, os.features.get(),
            [&](const std::string& path, const std::string& why) {
                log.warn("the macro " + path + " was not played: " + why);
            },
            std::move(awaitBegin));
        actions::DesktopActions::Options actionOptions;
        actionOptions.startMacro = [&](const std::string& path, std::string& why) {
            return macroStarter.StartTaskMacro(path, &why);
        };
        actions::DesktopActions actions(
            {*os.sessionPower, *os.launcher, *os.processes, *os.sound, messagePort, *os.clock, *os.paths},
            actionOptions);
        // What ran and what did not goes to the run history, and each occurrence not run also to the log.
        scheduler::RunHistorySink historySink(*os.runHistory);
        scheduler::NotRunLog notRunLog(log);
        scheduler::RunEventFanOut runEvents;
        runEvents.Add(historySink);
        runEvents.Add(notRunLog);
        // The main window's core, made before the window that drives it.
        ui::MainTimerSet timers;
        scheduler::CloseAllowanceFlag closeAllowance;
        ui::MainWindowRequests requests;
        ui::DesktopNotices notices(*os.notifications);
        ui::ReminderWindowPresenter reminderWindows(
            {languages, *os.clock, store, actions, closeAllowance, errors,
             [&] { requests.RebuildRunTable(); }, [&] { os.sound->beep(); }, &notices, nullptr, &runEvents});
        // Which confirmation is open, for the bus's answers to it.
        scheduler::OpenConfirmationTracker reminders(reminderWindows);
        scheduler::ResumeHandling resumeHandling(
            {*os.keepAwake, settings, NudgePointer, [&] { actions.LockComputer(); }});
        scheduler::Scheduler scheduler(
            {store, *os.clock, listTexts, *os.wakeTimers, timers, actions, reminders, closeAllowance,
             [&] { return static_cast<int>(os.power->acLineStatus()); }, [&] { requests.WarnOnBattery(); },
             [&] { return resumeHandling.ResumedAutomaticallyJustNow(); }, runEvents});
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
        // A desktop that asks the user before it binds the shortcuts answers long after the list was
        // loaded; its refusals come on the backend's thread and mark the list on the GUI thread. Set before
        // the window exists, so no answer to its first load goes by unheard.
        ui::TMainForm* hotkeyListOwner = nullptr;
        os.globalHotkeys->setOnBound([&](std::vector<platform::HotkeyRefusal> refused) {
            if (refused.empty()) return;
            QMetaObject::invokeMethod(
                qApp,
                [&, refused = std::move(refused)] {
                    ui::RunGuarded(errors, [&] {
                        if (hotkeyListOwner && hotkeyListOwner->hotkeyPage())
                            hotkeyListOwner->hotkeyPage()->ShowLateRefusals(refused);
                    });
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
                    ownerTitle,
                    os.features.get()};
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
        ports.features = os.features.get();
        ports.runHistory = os.runHistory.get();
        ports.openTaskEditor = openTaskEditor;
        ports.passwordRequiredOnResume = [&] { return os.resumePassword->passwordRequired(); };
        ports.handOverNewTask = commandLine.newTask;
        // True once the copy for this data folder was found and asked, whatever it answered: a copy that
        // was asked may act on it late, and asking again another way could open a second editor.
        ports.handOverOnBus = [&](bool newTask) {
            platform::RunningProgram& first = *os.runningProgram;
            if (!first.reachCopyOf(dataFolder)) return false;
            const platform::RunningProgram::Reply reply = newTask ? first.newTask() : first.showWindow();
            if (!reply.done() && !reply.message.empty())
                std::cerr << "orvanta: the running copy answered: " << reply.message << '\n';
            return true;
        };
        // Told after each rebuild of the window's, so the watch below knows the file as read.
        std::function<void()> tableRebuilt;
        ports.tableRebuilt = [&] {
            if (tableRebuilt) tableRebuilt();
        };
        ui::TMainForm form(std::move(ports));
        hotkeyListOwner = &form;
        // A termination signal ends the program as Exit does: every loop ends, modal windows included,
        // and the playbacks are stopped and let go of their keys as the objects below end.
        terminationWatch = os.watchTermination([] {
            QMetaObject::invokeMethod(
                qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        });
        reminderWindows.setOwner(&form);
        // Taken in from outside: the command line's changes (told over the bus) and anyone else's (seen in
        // the data folder). Neither while a pass or the editor holds the table; that waits until it is free.
        // The window's own in-place toggles wait for their delayed rebuild too: a rebuild before it would
        // re-sort the list under the user's next click.
        auto tableHeld = [&] {
            return scheduler.PassRunning() || scheduler.state().dispatchBusy || TaskEditorOpen() ||
                   timers.reGet.isActive() || (form.hotkeyPage() && form.hotkeyPage()->reGet_hk().isActive());
        };
        // The hotkeys are reloaded also when the rebuild reports tasks it could not schedule.
        auto rebuildAll = [&] {
            std::exception_ptr failure;
            try {
                form.RebuildRunTable();
            } catch (...) {
                failure = std::current_exception();
            }
            if (form.hotkeyPage()) form.hotkeyPage()->LoadHotkeyTasks();
            if (failure) std::rethrow_exception(failure);
        };
        std::unique_ptr<ui::DataFolderWatch> folderWatch;
        std::unique_ptr<ui::ProgramBusService> bus;
        if (form.StartRefusal().isEmpty() && !form.HandedOver()) {
            folderWatch = std::make_unique<ui::DataFolderWatch>(ui::DataFolderWatch::Ports{
                QString::fromStdString(dataFolder), QString::fromStdString(store.path()), errors, tableHeld,
                [&] {
                    log.warn("the task file was changed by another program; its tasks were read again");
                    ui::RunGuarded(errors, rebuildAll);
                }});
            tableRebuilt = [&] { folderWatch->NoteRebuilt(); };
            bus = std::make_unique<ui::ProgramBusService>(ui::ProgramBusPorts{
                QString::fromStdString(dataFolder), [&] { return form.settingsLocked(); },
                [&](bool newTask) { form.ComeForward(newTask); },
                [&] {
                    if (tableHeld()) {
                        folderWatch->TakeInLater();
                        return false;
                    }
                    try {
                        rebuildAll();
                    } catch (const orvanta::Error&) {
                        // Tasks the rebuild left out are the window's to tell, as for its own rebuilds;
                        // the change itself was taken in, and the caller must not think otherwise.
                        // The box comes after the answer, so the caller is not kept waiting on the user.
                        if (!form.LastRebuildReadTheTable()) throw;
                        QMetaObject::invokeMethod(
                            qApp,
                            [&errors, e = std::current_exception()] {
                                ui::RunGuarded(errors, [&] { std::rethrow_exception(e); });
                            },
                            Qt::QueuedConnection);
                    }
                    return true;
                },
                [&]() -> const scheduler::RunTableBuild& { return scheduler.current(); },
                [&](const std::string& id) {
                    std::vector<std::string> started;
                    scheduler::RunTaskNow(store, id, actions, closeAllowance, *os.clock,
                                          [&](const std::string& action) { started.push_back(action); });
                    return started;
                },
                [&] { return reminders.open(); }});
            if (bus->Publish(QStringLiteral(ORVANTA_APP_ID))) runEvents.Add(*bus);
            // The desktop's portal came back after hotkeys were turned away for want of it: the list is
            // loaded again, so those are registered and their "Register failed" goes.
            os.globalHotkeys->setOnAvailableAgain([&] {
                QMetaObject::invokeMethod(
                    qApp,
                    [&] {
                        ui::RunGuarded(errors, [&] {
                            if (tableHeld())
                                folderWatch->TakeInLater();
                            else if (form.hotkeyPage())
                                form.hotkeyPage()->LoadHotkeyTasks();
                        });
                    },
                    Qt::QueuedConnection);
            });
        }
        if (!form.StartRefusal().isEmpty()) {
            status = 1;
        } else if (!form.HandedOver()) {
            errors.setOwner(&form);
            if (commandLine.show)
                form.ComeForward(commandLine.newTask);
            else
                form.ShowAtStart();
            status = QApplication::exec();
        }
        // The grab thread outlives this block; no press may reach the objects ending with it.
        os.globalHotkeys->setOnPressed({});
        os.globalHotkeys->setOnBound({});
        os.globalHotkeys->setOnAvailableAgain({});
    }
    try {
        languages.CheckNoListeners();
    } catch (const std::exception& e) {
        std::cerr << "orvanta: " << e.what() << std::endl;
    }
    return status;
}
