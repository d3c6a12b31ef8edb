// Taking in changes other programs make to the task file, on a simulated clock: a burst is read once
// after it settles, a held table makes the change wait, and a file as it was read costs nothing. Also the
// bridge that turns the pass's reports and the confirmation window into run events.
#include "scheduler/open_confirmation.h"
#include "scheduler/outside_change_gate.h"

#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <stdexcept>
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

// The confirmation window of the test: what the tracker said was open while it was shown.
struct Window : ReminderPresenter {
    std::vector<std::optional<OpenConfirmation>> openWhileShown;
    OpenConfirmationTracker* tracker = nullptr;
    std::function<void()> meanwhile;
    void ShowReminder(const ReminderRequest&) override {
        openWhileShown.push_back(tracker->open());
        if (meanwhile) meanwhile();
    }
};

ReminderRequest Confirming(const std::string& id, const std::string& dueKey) {
    ReminderRequest request;
    request.taskId = id;
    request.dueKey = dueKey;
    request.title = "Task " + id;
    request.actionWord = "ShutDown";
    return request;
}

TEST(OpenConfirmationTracker, TellsTheOpenConfirmationAndGivesTheOuterOneBackWhenANestedOneCloses) {
    Window w;
    OpenConfirmationTracker tracker(w);
    w.tracker = &tracker;
    w.meanwhile = [&] {
        w.meanwhile = nullptr;
        tracker.ShowReminder(Confirming("8", "2026-12-10-9-30-0"));
        ASSERT_TRUE(tracker.open().has_value());
        EXPECT_EQ(tracker.open()->taskId, "7") << "the outer confirmation is open again";
    };
    tracker.ShowReminder(Confirming("7", "2026-12-10-9-0-0"));

    ASSERT_EQ(w.openWhileShown.size(), 2u);
    EXPECT_EQ(w.openWhileShown[0]->dueKey, "2026-12-10-9-0-0");
    EXPECT_EQ(w.openWhileShown[0]->title, "Task 7");
    EXPECT_EQ(w.openWhileShown[1]->taskId, "8");
    EXPECT_EQ(w.openWhileShown[1]->dueKey, "2026-12-10-9-30-0");
    EXPECT_FALSE(tracker.open().has_value()) << "closed again";
}

// A confirmation window that fails (its postponement could not be written) is no longer open.
struct FailingWindow : ReminderPresenter {
    void ShowReminder(const ReminderRequest&) override { throw std::runtime_error("disk full"); }
};

TEST(OpenConfirmationTracker, AConfirmationThatFailsIsNoLongerOpen) {
    FailingWindow window;
    OpenConfirmationTracker tracker(window);
    EXPECT_THROW(tracker.ShowReminder(Confirming("3", "2026-12-10-9-0-0")), std::runtime_error);
    EXPECT_FALSE(tracker.open().has_value());
}

} // namespace
} // namespace orvanta::scheduler
