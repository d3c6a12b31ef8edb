#include "actions/exit_request.h"
#include "actions/quick_launch.h"
#include "actions/session_actions.h"
#include "platform/fake/fake_session_power.h"

#include <gtest/gtest.h>

namespace orvanta::actions {
namespace {

using Calls = std::vector<std::string>;

TEST(ExitFlags, FiveRequestsGiveTheirFlagWords) {
    struct Case {
        ExitRequest request;
        ExitSwitches switches;
        unsigned flags;
    };
    const Case cases[] = {
        {ExitRequest::LogOff, {.logOff = true}, 0},
        {ExitRequest::ForcedRestart, {.reboot = true, .force = true}, 6},
        {ExitRequest::ForcedShutDown, {.force = true, .powerOff = true}, 13},
        {ExitRequest::ShutDown, {.powerOff = true}, 9},
        {ExitRequest::Restart, {.reboot = true}, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SwitchesFor(c.request), c.switches) << static_cast<int>(c.request);
        EXPECT_EQ(ExitFlags(SwitchesFor(c.request)), c.flags) << static_cast<int>(c.request);
    }
}

TEST(ExitFlags, LogOffKeepsOnlyTheForceBit) {
    EXPECT_EQ(ExitFlags({.logOff = true, .force = true}), kExitForce);
    EXPECT_EQ(ExitFlags({.logOff = true, .reboot = true, .powerOff = true}), kExitLogOff);
    EXPECT_EQ(ExitFlags({.reboot = true, .powerOff = true}), kExitReboot) << "power off only without reboot";
}

class SessionActionsTest : public ::testing::Test {
  protected:
    platform::fake::FakeSessionPower power;
    std::vector<std::string> reports;
    SessionActions session{power, [this](const std::string& line) { reports.push_back(line); }};

    // The platform requests after the privilege step.
    Calls requestsOf(ExitRequest request) {
        power.clearCalls();
        session.RequestExitWindows(request);
        return power.calls();
    }
};

TEST_F(SessionActionsTest, EachRequestReachesThePlatformWithItsOwnSwitches) {
    EXPECT_EQ(requestsOf(ExitRequest::LogOff), (Calls{"enableShutdownPrivilege", "logOffPolitely"}));
    EXPECT_EQ(requestsOf(ExitRequest::ForcedRestart), (Calls{"enableShutdownPrivilege", "reboot force"}));
    EXPECT_EQ(requestsOf(ExitRequest::ForcedShutDown), (Calls{"enableShutdownPrivilege", "powerOff force"}));
    EXPECT_EQ(requestsOf(ExitRequest::ShutDown), (Calls{"enableShutdownPrivilege", "powerOff"}));
    EXPECT_EQ(requestsOf(ExitRequest::Restart), (Calls{"enableShutdownPrivilege", "reboot"}));
}

TEST_F(SessionActionsTest, NothingCarriesOverFromARefusedRequest) {
    power.setResult(platform::RequestResult::refused);
    requestsOf(ExitRequest::ForcedRestart);
    EXPECT_EQ(requestsOf(ExitRequest::LogOff).back(), "logOffPolitely") << "no force, no reboot left over";
    EXPECT_EQ(requestsOf(ExitRequest::ForcedShutDown).back(), "powerOff force") << "no log off left over";
    EXPECT_EQ(requestsOf(ExitRequest::Restart).back(), "reboot") << "no force left over";
}

TEST_F(SessionActionsTest, PrivilegeProblemsAreReportedAndTheRequestStillMade) {
    power.setPrivilege({false, {"Cannot open process token. [Access is denied.]"}});
    EXPECT_EQ(requestsOf(ExitRequest::ShutDown).back(), "powerOff");
    EXPECT_EQ(reports, (std::vector<std::string>{"Cannot open process token. [Access is denied.]"}));

    reports.clear();
    EXPECT_FALSE(session.EnableShutdownPrivilege());
    EXPECT_TRUE(reports.empty()) << "only the exit request reports";
}

TEST_F(SessionActionsTest, LockAnswersWhetherTheSystemCouldBeAsked) {
    EXPECT_TRUE(session.LockComputer());
    power.setResult(platform::RequestResult::refused);
    EXPECT_TRUE(session.LockComputer()) << "the lock was handed over; the answer is the system's";
    power.setResult(platform::RequestResult::unavailable);
    EXPECT_FALSE(session.LockComputer());
}

struct RecordingClose : scheduler::CloseAllowance {
    int allowed = 0;
    void AllowClose() override { ++allowed; }
};

TEST_F(SessionActionsTest, QuickLaunchCommandsAndTheirCloseRules) {
    struct Case {
        QuickLaunchCommand command;
        Calls calls;
        bool allowsClose;
    };
    const Case cases[] = {
        {QuickLaunchCommand::ShutDown, {"enableShutdownPrivilege", "powerOff"}, true},
        {QuickLaunchCommand::Restart, {"enableShutdownPrivilege", "reboot"}, true},
        {QuickLaunchCommand::LogOff, {"enableShutdownPrivilege", "logOffPolitely"}, false},
        {QuickLaunchCommand::Sleep, {"enableShutdownPrivilege", "suspend"}, false},
        {QuickLaunchCommand::Hibernate, {"enableShutdownPrivilege", "hibernate"}, false},
        {QuickLaunchCommand::LockDesktop, {"lockSession"}, false},
        {QuickLaunchCommand::CloseMonitor, {"turnMonitorOff"}, false},
    };
    for (const Case& c : cases) {
        RecordingClose close;
        power.clearCalls();
        RunQuickLaunch(c.command, session, close);
        EXPECT_EQ(power.calls(), c.calls) << static_cast<int>(c.command);
        EXPECT_EQ(close.allowed, c.allowsClose ? 1 : 0) << static_cast<int>(c.command);
    }
}

} // namespace
} // namespace orvanta::actions
