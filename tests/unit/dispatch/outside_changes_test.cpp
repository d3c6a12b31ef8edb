// Taking in changes other programs make to the task file, on a simulated clock: a burst is read once
// after it settles, a held table makes the change wait, and a file as it was read costs nothing. Also the
// bridge that turns the pass's reports and the confirmation window into run events.
#include "scheduler/outside_change_gate.h"
#include "scheduler/run_event_bridge.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace orvanta::scheduler {
namespace {

using Step = OutsideChangeGate::Step;

constexpr std::int64_t kQuiet = 500;
const FileStamp kRead{true, 1'000, 8192};
const FileStamp kWritten{true, 2'000, 12288};

// Drives the gate as the window's timer does: asks at each moment it names until it says rebuild or
// nothing. Returns the moments of the rebuilds.
struct Clocked {
    OutsideChangeGate gate{kQuiet};
    std::int64_t now = 0;

    Step CheckAt(std::int64_t at, bool held, const FileStamp& file) {
        now = at;
        return gate.Check(now, held, file);
    }
};

TEST(OutsideChangeGate, ABurstOfChangesIsReadOnceAfterItsLastChange) {
    Clocked c;
    c.gate.Rebuilt(kRead);
    // sqlite3 writes in several steps (journal, file, journal gone), a few milliseconds apart.
    for (std::int64_t at : {0, 3, 40, 41, 300})
        c.gate.Changed(at);
    ASSERT_EQ(c.gate.nextCheck(), 300 + kQuiet);
    EXPECT_EQ(c.CheckAt(500, false, kWritten), Step::kWait) << "quiet only since 300";
    EXPECT_EQ(c.CheckAt(800, false, kWritten), Step::kRebuild);
    c.gate.Rebuilt(kWritten);
    EXPECT_EQ(c.gate.nextCheck(), std::nullopt);
    EXPECT_EQ(c.CheckAt(2'000, false, kWritten), Step::kNothing) << "one rebuild per burst";
}

TEST(OutsideChangeGate, TheFileAsLastReadIsNotReadAgain) {
    Clocked c;
    c.gate.Rebuilt(kRead);
    // The program's own write, already rebuilt for; or the settings file beside it.
    c.gate.Changed(0);
    EXPECT_EQ(c.CheckAt(kQuiet, false, kRead), Step::kNothing);
    EXPECT_EQ(c.gate.nextCheck(), std::nullopt) << "nothing left waiting";
    // A restore that puts back the same file is no change either; a deleted file is one.
    c.gate.Changed(1'000);
    EXPECT_EQ(c.CheckAt(1'000 + kQuiet, false, FileStamp{}), Step::kRebuild);
}

TEST(OutsideChangeGate, AHeldTableMakesTheChangeWaitUntilItIsFree) {
    Clocked c;
    c.gate.Rebuilt(kRead);
    c.gate.Changed(0);
    // A confirmation stays open for a minute: the gate keeps asking, a quiet time apart, and never rebuilds.
    for (std::int64_t at = kQuiet; at < 60'000; at = *c.gate.nextCheck()) {
        ASSERT_EQ(c.CheckAt(at, true, kWritten), Step::kWait) << "at " << at;
        ASSERT_GT(*c.gate.nextCheck(), at);
    }
    EXPECT_EQ(c.CheckAt(*c.gate.nextCheck(), false, kWritten), Step::kRebuild);
}

TEST(OutsideChangeGate, BeforeAnyRebuildEveryChangeIsTakenIn) {
    Clocked c;
    c.gate.Changed(0);
    EXPECT_EQ(c.CheckAt(kQuiet, false, kRead), Step::kRebuild);
}

// The confirmation window of the test: what it was asked to show, and what the bridge said meanwhile.
struct Recorder : RunEventSink, ReminderPresenter {
    std::vector<RunEvent> events;
    std::vector<std::optional<OpenConfirmation>> openWhileShown;
    RunEventBridge* bridge = nullptr;

    void Record(const RunEvent& event) override { events.push_back(event); }
    void ShowReminder(const ReminderRequest&) override { openWhileShown.push_back(bridge->open()); }
};

TEST(RunEventBridge, AConfirmationCarriesTheDueKeyItsTaskRanFor) {
    Recorder r;
    RunEventBridge bridge(r, r);
    r.bridge = &bridge;
    bridge.TaskRan("7", "2026-12-10-9-0-0");
    bridge.TaskRan("8", "2026-12-10-9-0-0");
    bridge.TaskRan("7", "2026-12-10-9-30-0");
    ReminderRequest request;
    request.taskId = "7";
    request.title = "Back up";
    request.actionWord = "ShutDown";
    bridge.ShowReminder(request);

    ASSERT_EQ(r.openWhileShown.size(), 1u);
    ASSERT_TRUE(r.openWhileShown[0].has_value());
    EXPECT_EQ(r.openWhileShown[0]->taskId, "7");
    EXPECT_EQ(r.openWhileShown[0]->dueKey, "2026-12-10-9-30-0");
    EXPECT_FALSE(bridge.open().has_value()) << "closed again";

    ASSERT_EQ(r.events.size(), 5u);
    EXPECT_EQ(r.events[0].outcome, RunOutcome::kRan);
    EXPECT_EQ(r.events[1].taskId, "8");
    EXPECT_EQ(r.events[3].outcome, RunOutcome::kConfirmationOpened);
    EXPECT_EQ(r.events[3].action, "ShutDown");
    EXPECT_EQ(r.events[4].outcome, RunOutcome::kConfirmationEnded);
    EXPECT_EQ(r.events[4].dueKey, "2026-12-10-9-30-0");
    EXPECT_EQ(r.events[4].title, "Back up");
}

// A confirmation window that fails (its postponement could not be written) still ends the confirmation.
struct FailingWindow : ReminderPresenter {
    void ShowReminder(const ReminderRequest&) override { throw std::runtime_error("disk full"); }
};

TEST(RunEventBridge, AConfirmationThatFailsStillEnds) {
    Recorder r;
    FailingWindow window;
    RunEventBridge bridge(window, r);
    ReminderRequest request;
    request.taskId = "3";
    EXPECT_THROW(bridge.ShowReminder(request), std::runtime_error);
    ASSERT_EQ(r.events.size(), 2u);
    EXPECT_EQ(r.events[0].dueKey, "") << "no pass reported it: the key is unknown";
    EXPECT_EQ(r.events[1].outcome, RunOutcome::kConfirmationEnded);
    EXPECT_FALSE(bridge.open().has_value());
}

} // namespace
} // namespace orvanta::scheduler
