#pragma once

#include "actions/program_actions.h"
#include "actions/session_actions.h"
#include "data/settings/settings.h"
#include "data/settings/settings_keys.h"
#include "data/task_store.h"
#include "hotkeys/hotkey_tasks.h"
#include "i18n/lang_mgr.h"
#include "platform/fake/fake_alert_sound.h"
#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_keep_awake.h"
#include "platform/fake/fake_locale_info.h"
#include "platform/fake/fake_memory_trim.h"
#include "platform/fake/fake_power_status.h"
#include "platform/fake/fake_process_control.h"
#include "platform/fake/fake_program_launcher.h"
#include "platform/fake/fake_resume_monitor.h"
#include "platform/fake/fake_session_power.h"
#include "platform/fake/fake_single_instance.h"
#include "platform/fake/fake_system_paths.h"
#include "platform/fake/fake_tray_host_watch.h"
#include "platform/fake/fake_user_registry.h"
#include "platform/fake/fake_wake_timer.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/recording_ports.h"
#include "ui/main_form.h"
#include "ui/message_dialog.h"
#include "ui/task_list_view.h"
#include "ui/tray.h"

#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>

namespace orvanta::test {

// Answers the next question box of the window with the given button and keeps what it asked.
class QuestionAnswerer {
  public:
    QuestionAnswerer(ui::TMainForm& form, int button) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this, &form, button] {
            ui::MessageDialog* dialog = form.suiMessageDialog1();
            if (!dialog || !dialog->isVisible()) return;
            questions << dialog->text();
            captions = dialog->buttonCaptions();
            title = dialog->windowTitle();
            dialog->PressButton(button);
        });
        timer_.start();
    }
    QStringList questions;
    QStringList captions;
    QString title;

  private:
    QTimer timer_;
};

// A main window on the fake platform with a temporary data folder, created by Start() once the test has
// prepared the files it needs.
class MainFormTest : public ::testing::Test {
  protected:
    TempFolder folder;
    std::string binFolder = folder.path() + "/bin";
    std::string dataFolder = folder.path() + "/data/Orvanta";
    platform::fake::FakeClock clock{{2025, 3, 7, 9, 0, 0, 0}};
    platform::fake::FakeSystemPaths paths{folder.path() + "/data", binFolder + "/orvanta"};
    platform::fake::FakeUserRegistry registry;
    platform::fake::FakePowerStatus power;
    platform::fake::FakeWakeTimerFactory wakeTimers;
    platform::fake::FakeKeepAwake keepAwake;
    platform::fake::FakeResumeMonitor resumeMonitor;
    platform::fake::FakeSingleInstance instance{folder.path() + "/instance"};
    platform::fake::FakeMemoryTrim memoryTrim;
    platform::fake::FakeLocaleInfo locale;
    data::Settings settings{dataFolder + "/wake.ini"};
    data::TaskStore store{dataFolder + "/task.db", clock};
    RecordingActions actions;
    platform::fake::FakeSessionPower sessionPower;
    actions::SessionActions session{sessionPower, [](const std::string&) {}};
    platform::fake::FakeProgramLauncher launcher;
    platform::fake::FakeProcessControl processes;
    platform::fake::FakeAlertSound sound;
    std::ostringstream printed;
    actions::PrintingMessageWindow printedMessages{printed};
    actions::ProgramActions programs{{launcher, processes, sound, printedMessages, clock, paths}, {}};
    RecordingErrorBox errors;
    // A panel with an embedding tray from the start; a case sets other hosts before Start().
    platform::fake::FakeTrayHostWatch trayHosts{{true, false}};
    ui::DesktopNotices* notices = nullptr;
    int quits = 0;
    std::vector<QString> editorOpenings;
    std::function<void(ui::TMainForm&, const QString&)> openTaskEditor =
        [this](ui::TMainForm&, const QString& mode) { editorOpenings.push_back(mode); };
    std::function<bool()> passwordRequiredOnResume;
    hotkeys::HotkeyTasks* hotkeyList = nullptr;
    int tablesRead = 0; // the window's report of each rebuild that read the task file
    const platform::DesktopFeatures* features = nullptr;

    // The core each window drives, made before it as the program makes it.
    struct WindowCore {
        ui::MainTimerSet timers;
        scheduler::CloseAllowanceFlag closeAllowance;
        ui::MainWindowRequests requests;
        scheduler::ResumeHandling resumeHandling;
        scheduler::NoRunEvents noHistory;
        scheduler::Scheduler scheduler;
        scheduler::PowerOnTest powerOnTest;

        explicit WindowCore(MainFormTest& t)
            : resumeHandling({t.keepAwake, t.settings, {}, [&t] { t.actions.LockComputer(); }}),
              scheduler({t.store, t.clock, *t.listTexts, t.wakeTimers, timers, t.actions, t.actions,
                         closeAllowance, [&t] { return static_cast<int>(t.power.acLineStatus()); },
                         [this] { requests.WarnOnBattery(); },
                         [this] { return resumeHandling.ResumedAutomaticallyJustNow(); }, noHistory}),
              powerOnTest({t.settings, t.power, t.wakeTimers, timers,
                           [&t](bool hibernate) { t.actions.Suspend(hibernate); }}) {}
    };

    std::unique_ptr<i18n::TLangMgr> languages;
    std::unique_ptr<i18n::CurrentLanguageLookup> listTexts;
    std::vector<std::unique_ptr<WindowCore>> cores; // outlive every window made over them
    std::unique_ptr<ui::TMainForm> form;

    MainFormTest() {
        std::filesystem::create_directories(dataFolder);
        std::filesystem::create_directories(binFolder + "/Language");
        // The first-run power test question is a case of its own.
        settings.write(data::settings_keys::kFirstRun, false);
    }
    ~MainFormTest() override {
        form.reset();
        cores.clear();
        listTexts.reset();
    }

    // The language files as they ship, beside the executable where the program looks for them.
    void CopyShippedLanguages() {
        for (const auto& file :
             std::filesystem::directory_iterator(std::string(ORVANTA_SOURCE_DIR) + "/Language"))
            if (file.path().filename().string().starts_with("Orvanta."))
                std::filesystem::copy_file(file.path(),
                                           binFolder + "/Language/" + file.path().filename().string());
    }

    ui::MainFormPorts Ports(platform::SingleInstance& claim) {
        if (!languages) {
            languages = std::make_unique<i18n::TLangMgr>(binFolder, '/', settings, locale);
            listTexts = std::make_unique<i18n::CurrentLanguageLookup>(*languages);
        }
        WindowCore& core = *cores.emplace_back(std::make_unique<WindowCore>(*this));
        ui::MainFormPorts ports{*languages,
                                *listTexts,
                                clock,
                                paths,
                                registry,
                                resumeMonitor,
                                claim,
                                memoryTrim,
                                settings,
                                store,
                                actions,
                                session,
                                programs,
                                actions,
                                errors,
                                core.timers,
                                core.closeAllowance,
                                core.requests,
                                core.scheduler,
                                core.resumeHandling,
                                core.powerOnTest,
                                trayHosts,
                                [this] { ++quits; }};
        ports.hotkeyTasks = hotkeyList;
        ports.openTaskEditor = openTaskEditor;
        ports.passwordRequiredOnResume = passwordRequiredOnResume;
        ports.notices = notices;
        ports.features = features;
        ports.tableRebuilt = [this] { ++tablesRead; };
        return ports;
    }

    void Start() {
        form = std::make_unique<ui::TMainForm>(Ports(instance));
        // The fake clock stands still, which the poll would take for a clock set back on every tick.
        form->timers().tmr302.stop();
    }

    std::string AddTask(const std::string& title, const std::string& time, int dateMode = data::kDaily,
                        bool enabled = true, int month = 3, int day = 7) {
        data::TaskRecord t;
        t.title = title;
        t.dateMode = dateMode;
        t.year = 2025, t.month = month, t.day = day;
        t.time = time;
        t.endTime = "23:59:59";
        t.launch = "/bin/" + title;
        t.enabled = enabled ? 1 : 0;
        if (!std::filesystem::exists(store.path())) data::SeedTaskDatabase(store.path());
        return store.InsertTask(t);
    }

    // Rebuilds so far, counted by the re-arming of the no-wake timer each rebuild ends with.
    int Rebuilds() const {
        const auto timer = wakeTimers.timer("nowake2");
        if (!timer) return 0;
        int cancels = 0;
        for (const auto& request : timer->history())
            cancels += request.kind == platform::fake::FakeArming::Kind::Cancel;
        return cancels;
    }

    const scheduler::DisplayRows& ListRows() const { return form->TaskList()->model().rows(); }
    std::vector<std::string> ListTitles() const {
        std::vector<std::string> titles;
        for (const auto row : ListRows())
            titles.emplace_back(row[scheduler::kDispText].substr(row[scheduler::kDispText].rfind(' ') + 1));
        return titles;
    }
    int RowOf(const std::string& id) const {
        for (std::size_t i = 0; i < ListRows().size(); ++i)
            if (ListRows()[i][scheduler::kDispId] == id) return static_cast<int>(i);
        return -1;
    }
    void Select(const std::string& id) { form->TaskList()->selectRow(RowOf(id)); }
};

} // namespace orvanta::test
