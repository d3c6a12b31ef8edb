#include "data/sqlite_connection.h"
#include "data/task_store.h"
#include "hotkeys/hotkey_tasks.h"
#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_global_hotkeys.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

namespace orvanta::hotkeys {
namespace {

using namespace scheduler;

class HotkeyTasksTest : public ::testing::Test {
  protected:
    test::TempFolder folder;
    platform::fake::FakeClock clock{{2025, 3, 7, 9, 0, 0, 0}};
    data::TaskStore store{folder.file("task.db"), clock};
    platform::fake::FakeGlobalHotkeys os;
    HotkeyRegistrar registrar{os};
    std::atomic<bool> stop{false};
    std::vector<std::string> dispatched;
    std::size_t tableSizeSeen = 0;
    HotkeyTasks tasks{registrar,
                      [this](const std::string& id, const std::vector<TaskRow>& rows) {
                          dispatched.push_back(id);
                          tableSizeSeen = rows.size();
                      },
                      stop};

    void SetUp() override {
        store.EnsureTaskTable();
        store.DeleteAllHotkeyTasks();
    }

    std::string Add(const std::string& title, int hotkey1, int hotkey2, bool enabled = true, int hkLoop = 0) {
        data::TaskRecord t;
        t.title = title;
        t.dateMode = data::kHotkey;
        t.enabled = enabled ? 1 : 0;
        t.hotkey1 = hotkey1;
        t.hotkey2 = hotkey2;
        t.hkLoop = hkLoop;
        t.countdown = 7;
        return store.InsertTask(t);
    }
};

TEST_F(HotkeyTasksTest, NoTasksLeavesTheNoneRowAndPressesDispatchNothing) {
    tasks.LoadHotkeyTasks(store);
    ASSERT_EQ(tasks.list().size(), 1u);
    EXPECT_EQ(tasks.list()[0][kListText], "None");
    EXPECT_TRUE(tasks.listIsEmpty());
    EXPECT_EQ(tasks.hotkeyTaskCount(), 0u);
    tasks.OnHotkeyPressed(1, 65);
    EXPECT_TRUE(dispatched.empty());
}

TEST_F(HotkeyTasksTest, EnabledRowsAreListedFirstAndRegisteredUnderTheirNames) {
    const std::string off = Add("  off  ", 1, 66, false);
    const std::string on = Add("", 0, 65, true, 3);
    tasks.LoadHotkeyTasks(store);

    ASSERT_EQ(tasks.hotkeyTaskCount(), 2u);
    ASSERT_EQ(tasks.list().size(), 2u);
    const auto& first = tasks.list()[0];
    EXPECT_EQ(first[kListText], "           Alt + A ---- Repeat: 3 ---- No title");
    EXPECT_EQ(first[kListId], on);
    EXPECT_EQ(first[kListEnabled], "1");
    EXPECT_EQ(first[kListCountdown], "7");
    EXPECT_EQ(first[kListName], "KRL065");
    const auto& second = tasks.list()[1];
    EXPECT_EQ(second[kListText], "           Ctrl + B ---- off");
    EXPECT_EQ(second[kListName], "");

    // Only the enabled task reaches the system.
    EXPECT_EQ(os.registerCalls(), 1);
    EXPECT_TRUE(os.isRegistered(1, 65));
    EXPECT_FALSE(os.isRegistered(2, 66));

    // The table keeps query order with the computed columns fixed.
    ASSERT_EQ(tasks.table().size(), 2u);
    EXPECT_EQ(tasks.table()[0][kColId], off);
    EXPECT_EQ(tasks.table()[0][kColDueSeconds], "0");
    EXPECT_EQ(tasks.table()[0][kColStatus], "0");
    EXPECT_EQ(tasks.table()[0][kColDueKey], "0");
    EXPECT_EQ(tasks.table()[0][kColHotkey2], "66");
}

TEST_F(HotkeyTasksTest, RefusedCombinationsShowRegisterFailedAndDoNotDispatch) {
    os.takeByOtherProgram(2, 75);
    const std::string taken = Add("taken", 1, 75);
    const std::string earlier = Add("earlier", 0, 49);
    const std::string later = Add("later", 0, 49);
    tasks.LoadHotkeyTasks(store);

    ASSERT_EQ(tasks.list().size(), 3u);
    EXPECT_EQ(tasks.list()[0][kListText], "           Register failed ---- Ctrl + K ---- taken");
    EXPECT_EQ(tasks.list()[0][kListName], "");
    EXPECT_EQ(tasks.list()[1][kListName], "KRL049");
    EXPECT_EQ(tasks.list()[2][kListText], "           Register failed ---- Alt + 1 ---- later");

    tasks.OnHotkeyPressed(2, 75);
    tasks.OnHotkeyPressed(1, 49);
    EXPECT_EQ(dispatched, (std::vector<std::string>{earlier}));
    EXPECT_EQ(tableSizeSeen, 3u);
}

TEST_F(HotkeyTasksTest, NoDisplayRegistersNothingAndNothingDispatches) {
    os.setUnavailable(true);
    Add("a", 0, 65);
    tasks.LoadHotkeyTasks(store);
    EXPECT_EQ(tasks.list()[0][kListText], "           Register failed ---- Alt + A ---- a");
    tasks.OnHotkeyPressed(1, 65);
    EXPECT_TRUE(dispatched.empty());
}

// The hint of a failed row tells a combination someone holds from a desktop that gives none to anyone.
TEST_F(HotkeyTasksTest, EachFailedRowCarriesTheReasonAsItsHint) {
    HotkeyTexts texts;
    texts.taken = "held elsewhere";
    texts.unavailable = "this Wayland desktop offers no global shortcuts";
    tasks.setTexts(texts);
    os.takeByOtherProgram(2, 75);
    Add("taken", 1, 75);
    Add("free", 0, 66);
    Add("off", 0, 67, false);
    tasks.LoadHotkeyTasks(store);
    EXPECT_EQ(tasks.hints(), (std::vector<std::string>{"held elsewhere", "", ""}));

    os.setUnavailable(true);
    tasks.LoadHotkeyTasks(store);
    ASSERT_EQ(tasks.hints().size(), tasks.list().size());
    EXPECT_EQ(tasks.hints()[0], texts.unavailable);
    EXPECT_EQ(tasks.hints()[1], texts.unavailable);
    EXPECT_EQ(tasks.hints()[2], "") << "a disabled task registers nothing, so nothing failed";

    store.DeleteAllHotkeyTasks();
    tasks.LoadHotkeyTasks(store);
    EXPECT_EQ(tasks.hints(), (std::vector<std::string>{""})) << "the None row";
}

// A desktop that binds the whole set at once (a portal) may leave a shortcut out or bind it to another
// trigger; those rows show Register failed with the desktop's answer, and their keys run nothing.
TEST_F(HotkeyTasksTest, ShortcutsTheDesktopDidNotKeepWhenBindingTheSetShowRegisterFailed) {
    using Why = platform::HotkeyRefusal::Why;
    os.refuseWhenBound(1, 66, Why::AssignedOther, "Ctrl+Shift+B");
    os.refuseWhenBound(2, 67, Why::NotBound, "");
    Add("kept", 0, 65);
    Add("moved", 0, 66);
    Add("dropped", 1, 67);
    tasks.LoadHotkeyTasks(store);
    EXPECT_EQ(os.batchesEnded(), 1) << "one load binds once";
    ASSERT_EQ(tasks.list().size(), 3u);
    EXPECT_EQ(tasks.list()[0][kListName], "KRL065");
    EXPECT_EQ(tasks.list()[1][kListText], "           Register failed ---- Alt + B ---- moved");
    EXPECT_EQ(tasks.list()[1][kListName], "");
    EXPECT_EQ(tasks.list()[2][kListText], "           Register failed ---- Ctrl + C ---- dropped");
    EXPECT_EQ(tasks.hints(),
              (std::vector<std::string>{"", "The desktop bound this shortcut to Ctrl+Shift+B instead.",
                                        "The desktop did not bind this shortcut."}));
    tasks.OnHotkeyPressed(1, 66);
    EXPECT_TRUE(dispatched.empty());

    // Emptying the list is a batch too: the desktop is told the set is now empty.
    store.DeleteAllHotkeyTasks();
    tasks.LoadHotkeyTasks(store);
    EXPECT_EQ(os.batchesEnded(), 2);
    EXPECT_TRUE(os.registered().empty());
}

// A portal that asks the user first tells its refusals after the load: the row is marked as a refusal at
// the load is, and its key runs nothing. A refusal meant for a load since replaced marks nothing.
TEST_F(HotkeyTasksTest, ARefusalToldAfterTheLoadMarksItsRowUnlessTheListWasLoadedAgain) {
    using Why = platform::HotkeyRefusal::Why;
    Add("kept", 0, 65);
    Add("moved", 0, 66);
    tasks.LoadHotkeyTasks(store);
    const int before = registrar.atomOf("KRL066");
    tasks.LoadHotkeyTasks(store);
    EXPECT_FALSE(tasks.MarkRefusedLater({{before, Why::NotBound, ""}}));
    EXPECT_EQ(tasks.list()[1][kListName], "KRL066");

    EXPECT_TRUE(tasks.MarkRefusedLater({{registrar.atomOf("KRL066"), Why::DesktopRefused, "cancelled"}}));
    EXPECT_EQ(tasks.list()[1][kListText], "           Register failed ---- Alt + B ---- moved");
    EXPECT_EQ(tasks.hints()[1], "The desktop refused the shortcuts: cancelled");
    tasks.OnHotkeyPressed(1, 66);
    EXPECT_TRUE(dispatched.empty());
    tasks.OnHotkeyPressed(1, 65);
    EXPECT_EQ(dispatched.size(), 1u);
}

TEST_F(HotkeyTasksTest, AReloadReleasesThePreviousCombinations) {
    const std::string id = Add("a", 0, 65);
    tasks.LoadHotkeyTasks(store);
    ASSERT_TRUE(os.isRegistered(1, 65));

    store.SetTaskEnabled(id, false);
    tasks.LoadHotkeyTasks(store);
    EXPECT_TRUE(os.registered().empty());
    EXPECT_EQ(registrar.atomOf("KRL065"), 0);

    store.SetTaskEnabled(id, true);
    tasks.LoadHotkeyTasks(store);
    EXPECT_TRUE(os.isRegistered(1, 65));
    // The registration follows the fake system's press back to the task.
    os.setOnPressed([this](int, unsigned m, unsigned v) { tasks.OnHotkeyPressed(m, v); });
    ASSERT_TRUE(os.press(1, 65));
    EXPECT_EQ(dispatched, (std::vector<std::string>{id}));
}

TEST_F(HotkeyTasksTest, ANumberThatDoesNotConvertEndsTheListingThere) {
    const std::string first = Add("first", 0, 65);
    const std::string broken = Add("broken", 0, 66);
    Add("after", 0, 67);
    Add("disabled", 0, 68, false);
    {
        // Only a hand-edited database leaves a number column empty.
        data::SqliteConnection db(store.path());
        db.execute("UPDATE tasklist SET hkLoop = NULL WHERE Id = " + broken + ";");
    }
    tasks.LoadHotkeyTasks(store);
    EXPECT_EQ(tasks.hotkeyTaskCount(), 4u);
    ASSERT_EQ(tasks.list().size(), 1u);
    EXPECT_EQ(tasks.list()[0][kListId], first);
    EXPECT_TRUE(os.isRegistered(1, 65));
    EXPECT_FALSE(os.isRegistered(1, 67));
}

TEST_F(HotkeyTasksTest, AltF12SetsTheStopFlagWhateverTheList) {
    tasks.OnHotkeyPressed(2, 123);
    EXPECT_FALSE(stop.load());
    tasks.OnHotkeyPressed(1, 123);
    EXPECT_TRUE(stop.load());

    stop = false;
    Add("a", 0, 65);
    tasks.LoadHotkeyTasks(store);
    tasks.OnHotkeyPressed(1, 123);
    EXPECT_TRUE(stop.load());
    EXPECT_TRUE(dispatched.empty());
}

TEST(HotkeyRegistrarTest, TheStopCombinationIsFreeAgainAfterUnregistering) {
    platform::fake::FakeGlobalHotkeys os;
    HotkeyRegistrar registrar(os);
    ASSERT_TRUE(registrar.RegisterTaskHotkey(kMacroStopHotkeyName, kMacroStopModifiers, kMacroStopKey));
    const int atom = registrar.atomOf(kMacroStopHotkeyName);
    EXPECT_NE(atom, 0);
    EXPECT_EQ(os.registered().count(atom), 1u);
    EXPECT_FALSE(registrar.RegisterTaskHotkey("other", kMacroStopModifiers, kMacroStopKey));
    registrar.UnregisterTaskHotkey(kMacroStopHotkeyName);
    EXPECT_FALSE(os.isRegistered(kMacroStopModifiers, kMacroStopKey));
    EXPECT_EQ(registrar.atomOf(kMacroStopHotkeyName), 0);
    registrar.UnregisterTaskHotkey("never registered");
}

TEST_F(HotkeyTasksTest, OnlyAnotherProgramsHoldIsReportedAndTheProbeLeavesNothingTaken) {
    Add("mine", 0, 65);
    tasks.LoadHotkeyTasks(store);
    os.takeByOtherProgram(2, 75); // Ctrl + K
    const auto before = os.registered();

    EXPECT_TRUE(tasks.HeldByAnotherProgram("1", "75"));
    EXPECT_FALSE(tasks.HeldByAnotherProgram("0", "65")) << "held by this program for a listed task";
    EXPECT_FALSE(tasks.HeldByAnotherProgram("0", "66"));
    EXPECT_FALSE(tasks.HeldByAnotherProgram("0", "x"));
    EXPECT_EQ(os.registered(), before);
    EXPECT_FALSE(os.isRegistered(1, 66));

    os.setUnavailable(true);
    EXPECT_FALSE(tasks.HeldByAnotherProgram("0", "67")) << "no keyboard to ask: nobody is said to hold it";
}

} // namespace
} // namespace orvanta::hotkeys
