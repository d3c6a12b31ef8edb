#include "actions/desktop_actions.h"
#include "platform/fake/fake_alert_sound.h"
#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_process_control.h"
#include "platform/fake/fake_program_launcher.h"
#include "platform/fake/fake_session_power.h"
#include "platform/fake/fake_system_paths.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <sstream>

namespace orvanta::actions {
namespace {

using Calls = std::vector<std::string>;
using Request = platform::fake::FakeProgramLauncher::Request;

class RecordingWindow : public MessageWindow {
  public:
    std::string text() const override { return text_; }
    void setText(const std::string& text) override { text_ = text; }
    void showModeless() override { ++shown; }
    void clear() { text_.clear(); }
    int shown = 0;

  private:
    std::string text_;
};

class DesktopActionsTest : public ::testing::Test {
  protected:
    platform::fake::FakeSessionPower power;
    platform::fake::FakeProgramLauncher launcher;
    platform::fake::FakeProcessControl processes;
    platform::fake::FakeAlertSound sound;
    platform::fake::FakeClock clock{{2025, 3, 7, 9, 5, 0, 500}};
    test::TempFolder folder;
    platform::fake::FakeSystemPaths paths{folder.path(), folder.file("orvanta")};
    RecordingWindow window;
    std::vector<std::string> reports;

    DesktopActions make(DesktopActions::MacroStarter startMacro = {}) {
        DesktopActions::Options options;
        options.startMacro = std::move(startMacro);
        options.privilegeReports = [this](const std::string& line) { reports.push_back(line); };
        return DesktopActions({power, launcher, processes, sound, window, clock, paths}, std::move(options));
    }
};

TEST_F(DesktopActionsTest, PowerAndSessionActionsReachThePlatform) {
    DesktopActions actions = make();
    scheduler::TaskActions& task = actions;
    task.TurnMonitorOff();
    task.LogOff();
    task.LockComputer();
    task.ForcedRestart();
    task.ForcedShutDown();
    task.Suspend(false);
    task.Suspend(true);
    EXPECT_EQ(power.calls(),
              (Calls{"turnMonitorOff", "enableShutdownPrivilege", "logOffPolitely", "lockSession",
                     "enableShutdownPrivilege", "reboot force", "enableShutdownPrivilege", "powerOff force",
                     "enableShutdownPrivilege", "suspend", "enableShutdownPrivilege", "hibernate"}));
}

TEST_F(DesktopActionsTest, WhatDidNotGoThroughIsHandedOverOnceWithTheSystemsWords) {
    DesktopActions actions = make();
    scheduler::TaskActions& task = actions;
    launcher.failKind("startProgram");
    task.LaunchProgram("/no/such/program | -x");
    task.OpenDocument("/doc"); // opening reports nothing either way
    power.setResult(platform::RequestResult::refused);
    power.setRefusalWords("logind refused PowerOff: blocked by backup (copying)");
    task.ForcedShutDown();
    power.setResult(platform::RequestResult::unavailable);
    power.setRefusalWords("");
    task.LockComputer();
    using scheduler::ActionFailure;
    using scheduler::RunOutcome;
    EXPECT_EQ(
        task.TakeFailures(),
        (std::vector<ActionFailure>{
            {RunOutcome::kFailed, "Launch", "no such program, or it could not be started: /no/such/program"},
            {RunOutcome::kRefused, "ShutDown", "logind refused PowerOff: blocked by backup (copying)"},
            {RunOutcome::kFailed, "LockWS", "nothing here can do it"}}));
    EXPECT_TRUE(task.TakeFailures().empty());
    power.setResult(platform::RequestResult::done);
    task.Suspend(true);
    EXPECT_TRUE(task.TakeFailures().empty());
}

TEST_F(DesktopActionsTest, ProgramActionsReachThePlatform) {
    DesktopActions actions = make();
    actions.LaunchProgram("/usr/bin/env | \"a b\" ; rm -rf ~");
    actions.OpenDocument("/home/me/My Report.pdf");
    actions.OpenWebAddress("https://example.org/?q=a b");
    actions.LaunchProgram(" | no program");
    const std::vector<Request> expected{
        {"startProgram",
         "/usr/bin/env",
         {"/usr/bin/env", " \"a b\" ; rm -rf ~", {"a b", ";", "rm", "-rf", "~"}}},
        {"openDocument", "/home/me/My Report.pdf", {}},
        {"openAddress", "https://example.org/?q=a b", {}},
    };
    EXPECT_EQ(launcher.requests(), expected) << "no fallback after a success; nothing for an empty program";
}

TEST_F(DesktopActionsTest, AFailedAddressIsRetriedThroughTheProtocolHandler) {
    launcher.failKind("openAddress");
    make().OpenWebAddress("mailto:me@example.org");
    const std::vector<Request> expected{{"openAddress", "mailto:me@example.org", {}},
                                        {"openAddressWithProtocolHandler", "mailto:me@example.org", {}}};
    EXPECT_EQ(launcher.requests(), expected);
}

TEST_F(DesktopActionsTest, MessagesStackNewestFirstWithABeepEach) {
    DesktopActions actions = make();
    actions.ShowReminderMessage("Backup\nnow");
    clock.set({2025, 3, 7, 9, 7, 0, 0});
    actions.ShowReminderMessage("Stand up");
    EXPECT_EQ(window.text(), "2025-03-07 9:07:00\r\nStand up\r\n\r\n2025-03-07 9:05:00\r\nBackup\nnow");
    EXPECT_EQ(sound.beeps(), 2);
    EXPECT_EQ(window.shown, 2);

    window.clear(); // the user pressed OK
    actions.ShowReminderMessage("Later");
    EXPECT_EQ(window.text(), "2025-03-07 9:07:00\r\nLater");
}

TEST_F(DesktopActionsTest, MessagesCanGoToStandardOutputWithoutAWindow) {
    std::ostringstream out;
    PrintingMessageWindow printer(out);
    DesktopActions actions({power, launcher, processes, sound, printer, clock, paths}, {});
    actions.ShowReminderMessage("one");
    actions.ShowReminderMessage("two");
    EXPECT_EQ(out.str(), "2025-03-07 9:05:00\r\none\n2025-03-07 9:05:00\r\ntwo\n") << "each printed once";
}

TEST_F(DesktopActionsTest, MacrosCannotStartUntilAStarterIsGiven) {
    EXPECT_FALSE(make().StartTaskMacro("/tmp/a.mco"));
    std::string started;
    EXPECT_TRUE(make([&](const std::string& path, std::string&) {
                    started = path;
                    return true;
                }).StartTaskMacro("/tmp/a.mco"));
    EXPECT_EQ(started, "/tmp/a.mco");
}

// The run history says why a macro did not start: the desktop's refusal where there is one, not an
// unreadable file the user would go looking for.
TEST_F(DesktopActionsTest, AMacroThatDidNotStartTellsWhy) {
    DesktopActions refusing = make([](const std::string&, std::string& why) {
        why = "the desktop lets no program send keys";
        return false;
    });
    EXPECT_FALSE(refusing.StartTaskMacro("/tmp/a.mco"));
    std::vector<scheduler::ActionFailure> failures = refusing.TakeFailures();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].action, "Macro");
    EXPECT_EQ(failures[0].reason, "the macro was not played: the desktop lets no program send keys");

    DesktopActions unreadable = make([](const std::string&, std::string&) { return false; });
    EXPECT_FALSE(unreadable.StartTaskMacro("/tmp/b.mco"));
    failures = unreadable.TakeFailures();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].reason, "the macro file cannot be read: /tmp/b.mco");
}

TEST_F(DesktopActionsTest, ToolsCommandsStartOutsidePrograms) {
    DesktopActions actions = make();
    actions.programs().OpenPowerManagement();
    EXPECT_EQ(actions.programs().StartAtomicClock(), ProgramActions::SettingsStart::Missing);

    const std::string settings = folder.file("Orvanta_Settings");
    test::WriteFileBytes(settings, "");
    EXPECT_EQ(actions.programs().StartAtomicClock(), ProgramActions::SettingsStart::Started);
    actions.programs().RunElevated("/usr/sbin/tool", "--mode \"x y\"");
    const std::vector<Request> expected{
        {"openPowerSettings", "", {}},
        {"runElevated", settings, {settings, "2", {"2"}}},
        {"runElevated", "/usr/sbin/tool", {"/usr/sbin/tool", "--mode \"x y\"", {"--mode", "x y"}}},
    };
    EXPECT_EQ(launcher.requests(), expected);

    launcher.failKind("runElevated");
    EXPECT_EQ(actions.programs().StartAtomicClock(), ProgramActions::SettingsStart::Refused);
}

TEST_F(DesktopActionsTest, AProgramNamedWithoutAFolderFindsItsHelpersInTheCurrentFolder) {
    platform::fake::FakeSystemPaths barePaths{folder.path(), "orvanta"};
    std::vector<std::string> probed;
    DesktopActions::Options options;
    options.programs.isFile = [&probed](const std::string& path) {
        probed.push_back(path);
        return true;
    };
    DesktopActions actions({power, launcher, processes, sound, window, clock, barePaths}, std::move(options));
    EXPECT_EQ(actions.programs().StartAtomicClock(), ProgramActions::SettingsStart::Started);
    EXPECT_TRUE(actions.programs().HasUninstaller());
    EXPECT_EQ(probed, (std::vector<std::string>{"./Orvanta_Settings", "./orvanta-uninstall"}));
}

} // namespace
} // namespace orvanta::actions
