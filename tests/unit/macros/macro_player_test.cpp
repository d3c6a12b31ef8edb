#include "hotkeys/hotkey_registrar.h"
#include "macros/macro_file_lines.h"
#include "macros/macro_player.h"
#include "macros/task_macro_starter.h"
#include "platform/fake/fake_desktop_features.h"
#include "platform/fake/fake_global_hotkeys.h"
#include "platform/fake/fake_synthetic_input.h"
#include "tests/support/temp_folder.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>

namespace orvanta::macros {
namespace {

using Log = std::vector<std::string>;

// Records every wait as an event in the input log, and can press Alt+F12 at a chosen wait.
class ScriptedWaiter : public MacroWaiter {
  public:
    explicit ScriptedWaiter(Log& log) : log_(log) {}
    void wait(std::chrono::milliseconds duration) override {
        log_.push_back("wait " + std::to_string(duration.count()));
        if (++waits_ == stopAtWait && onStopWait) onStopWait();
    }
    int stopAtWait = 0;
    std::function<void()> onStopWait;

  private:
    Log& log_;
    int waits_ = 0;
};

class RecordingClipboard : public ClipboardPort {
  public:
    explicit RecordingClipboard(Log& log) : log_(log) {}
    void setClipboardText(const std::string& text) override {
        log_.push_back("clipboard " + text);
        text_ = text;
    }
    std::string text_;

  private:
    Log& log_;
};

class MacroPlayerTest : public ::testing::Test {
  protected:
    Log waits;
    Log clips;
    platform::fake::FakeSyntheticInput input;
    ScriptedWaiter waiter{waits};
    RecordingClipboard clipboard{clips};
    std::atomic<bool> stop{false};
    int released = 0;
    MacroPorts ports{input, clipboard, waiter, stop, [this] { ++released; }};
};

TEST_F(MacroPlayerTest, EventsFollowInOrderWithTheRecordedSpacing) {
    PlayMacro({"Title line", "0 MOUSE_MOVE 10 10", "500 MOUSE_LEFTDOWN 10 10", "600 MOUSE_LEFTUP 10 10",
               "550 key_down 65", "550 KEY_UP 65", "700 MOUSE_WHEEL -120 0", "700 JUMP 3 4"},
              ports);
    EXPECT_EQ(input.events(),
              (Log{"cursor 10 10", "move by 0 0", "cursor 10 10", "button down left", "cursor 10 10",
                   "button up left", "key down 65", "key up 65", "wheel -120", "cursor 3 4"}));
    // A line earlier than the one before plays at once and sets the clock back.
    EXPECT_EQ(waits, (Log{"wait 500", "wait 100", "wait 150"}));
    EXPECT_EQ(released, 1);
}

TEST_F(MacroPlayerTest, InputPastesThroughTheClipboard) {
    PlayMacro({"100 INPUT Hello world"}, ports);
    EXPECT_EQ(clips, (Log{"clipboard Hello world"}));
    EXPECT_EQ(input.events(), (Log{"key down 17", "key down 86", "key up 86", "key up 17"}));
}

TEST_F(MacroPlayerTest, ABadNumberEndsThePlaybackQuietly) {
    PlayMacro({"0 KEY_DOWN 65", "1-2 KEY_DOWN 66", "5 KEY_DOWN 67"}, ports);
    // The key the macro left held is let go.
    EXPECT_EQ(input.events(), (Log{"key down 65", "key up 65"}));
    EXPECT_EQ(released, 1);

    Log before = waits;
    PlayMacro({"0 KEY_DOWN 65", "40 KEY_UP x", "50 KEY_UP 65"}, ports);
    // The key line still waits for its moment before it ends the playback.
    EXPECT_EQ(waits.size(), before.size() + 1);
    EXPECT_EQ(waits.back(), "wait 40");
    EXPECT_EQ(input.events(), (Log{"key down 65", "key up 65", "key down 65", "key up 65"}));
    EXPECT_EQ(released, 2);
}

TEST_F(MacroPlayerTest, AStopDuringAWaitTakesEffectBeforeTheNextLine) {
    waiter.stopAtWait = 1;
    waiter.onStopWait = [this] { stop = true; };
    PlayMacro({"0 KEY_DOWN 65", "100 KEY_UP 65", "200 KEY_DOWN 66"}, ports);
    EXPECT_EQ(input.events(), (Log{"key down 65", "key up 65"}));
    EXPECT_EQ(released, 1);
}

TEST_F(MacroPlayerTest, AStopLetsGoOfTheKeysAndButtonsStillHeld) {
    waiter.stopAtWait = 1;
    waiter.onStopWait = [this] { stop = true; };
    PlayMacro({"0 KEY_DOWN 16", "0 KEY_DOWN 65", "0 KEY_UP 65", "0 MOUSE_LEFTDOWN 5 6",
               "0 MOUSE_RIGHTDOWN 5 6", "0 MOUSE_RIGHTUP 5 6", "0 KEY_DOWN 17", "50 MOUSE_MOVE 7 8",
               "60 KEY_UP 16"},
              ports);
    // Held at the stop: Shift, then the left button, then Control; let go in the opposite order.
    const Log events = input.events();
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ((Log{events.end() - 3, events.end()}), (Log{"button up left", "key up 17", "key up 16"}));
    EXPECT_EQ(std::count(events.begin(), events.end(), "key up 65"), 1);
    EXPECT_EQ(std::count(events.begin(), events.end(), "button up right"), 1);
}

// The moments a playback asks to be woken at, counted from its first line.
class MomentWaiter : public MacroWaiter {
  public:
    void wait(std::chrono::milliseconds) override {}
    void waitUntil(Clock::time_point moment, std::chrono::milliseconds) override {
        moments.push_back(moment);
    }
    std::vector<Clock::time_point> moments;
};

// An input port that takes its time over every event, as a busy display does.
class SlowInput : public platform::fake::FakeSyntheticInput {
  public:
    void keyDown(unsigned vk) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
        FakeSyntheticInput::keyDown(vk);
    }
};

TEST_F(MacroPlayerTest, TheTimeEventsTakeDoesNotPushBackTheLaterMoments) {
    SlowInput slow;
    MomentWaiter moments;
    PlayMacro({"0 KEY_DOWN 65", "10 KEY_DOWN 65", "15 KEY_DOWN 65", "12 KEY_DOWN 65", "20 KEY_DOWN 65"},
              {slow, clipboard, moments, stop, {}});
    ASSERT_EQ(moments.moments.size(), 3u);
    const auto since = [&](std::size_t i) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(moments.moments[i] - moments.moments[0]);
    };
    // 10, 15 and 23 ms after the start: the earlier line (12) plays at once and the next waits its 8 ms
    // from there; the 3 ms each event takes are not added on.
    EXPECT_EQ(since(1), std::chrono::milliseconds(5));
    EXPECT_EQ(since(2), std::chrono::milliseconds(13));
    EXPECT_EQ(slow.events().size(), 6u); // five presses, then the key left held is let go
}

TEST_F(MacroPlayerTest, TaskMacrosPlayOnTheirOwnThreadAndHoldAltF12MeanWhile) {
    test::TempFolder folder;
    const std::string path = folder.file("m.mco");
    std::ofstream(path, std::ios::binary) << "0 KEY_DOWN 65\r\n10 KEY_UP 65\r\n";

    platform::fake::FakeGlobalHotkeys os;
    hotkeys::HotkeyRegistrar registrar(os);
    bool heldDuringPlayback = false;
    waiter.onStopWait = [&] { heldDuringPlayback = os.isRegistered(1, 123); };
    waiter.stopAtWait = 1;
    MacroStopKey stopKey(registrar);
    MacroPorts taskPorts{input, clipboard, waiter, stop, [&] { stopKey.Release(); }};
    DoDo2 player(taskPorts);
    TaskMacroStarter starter(player, stopKey, stop);

    stop = true; // left over from an earlier stop
    ASSERT_TRUE(starter.StartTaskMacro(path));
    player.WaitAll();
    EXPECT_EQ(input.events(), (Log{"key down 65", "key up 65"}));
    EXPECT_TRUE(heldDuringPlayback);
    EXPECT_FALSE(os.isRegistered(1, 123));

    EXPECT_FALSE(starter.StartTaskMacro(folder.file("missing.mco")));
    EXPECT_FALSE(os.isRegistered(1, 123));
}

// Where the desktop lets no program type for the others, a task macro is refused as an unreadable one
// is, with the desktop's reason, and Alt+F12 is not taken for a playback that never comes.
TEST_F(MacroPlayerTest, ATaskMacroTheDesktopCannotPlayIsRefusedWithTheReason) {
    test::TempFolder folder;
    const std::string path = folder.file("m.mco");
    std::ofstream(path, std::ios::binary) << "0 KEY_DOWN 65\r\n";
    platform::fake::FakeGlobalHotkeys os;
    hotkeys::HotkeyRegistrar registrar(os);
    MacroStopKey stopKey(registrar);
    DoDo2 player({input, clipboard, waiter, stop, [&] { stopKey.Release(); }});
    platform::fake::FakeDesktopFeatures features;
    std::vector<std::string> refusals;
    TaskMacroStarter starter(
        player, stopKey, stop, &features,
        [&](const std::string& file, const std::string& why) { refusals.push_back(file + ": " + why); });

    features.refuse(platform::DesktopFeature::MacroPlayback, "WaylandNoPlayback", "no RemoteDesktop portal");
    EXPECT_FALSE(starter.StartTaskMacro(path));
    player.WaitAll();
    EXPECT_TRUE(input.events().empty());
    EXPECT_EQ(os.registerCalls(), 0);
    EXPECT_EQ(refusals, (std::vector<std::string>{path + ": no RemoteDesktop portal"}));
}

// A desktop that grants input per playback may still say no once the playback asks: then nothing is
// typed, the refusal is told with the desktop's reason, and Alt+F12 is given back.
TEST_F(MacroPlayerTest, APlaybackTheInputRefusesAtItsBeginPlaysNothingAndSaysWhy) {
    std::vector<std::string> refusals;
    ports.refused = [&](const std::string& why) { refusals.push_back(why); };
    input.refusePlaybacks("the user said no");
    PlayMacro({"0 KEY_DOWN 65", "10 KEY_UP 65"}, ports);
    EXPECT_TRUE(input.events().empty());
    EXPECT_TRUE(waits.empty()) << "no line was waited for";
    EXPECT_EQ(refusals, (std::vector<std::string>{"the user said no"}));
    EXPECT_EQ(released, 1);
    EXPECT_EQ(input.playbacksEnded(), 0) << "a refused begin has nothing to end";

    // A stop while the desktop asks is the user's own, not a refusal to report.
    stop = true;
    PlayMacro({"0 KEY_DOWN 65"}, ports);
    EXPECT_EQ(refusals.size(), 1u);
    EXPECT_EQ(released, 2);

    stop = false;
    input.refusePlaybacks({});
    PlayMacro({"0 KEY_DOWN 65"}, ports);
    EXPECT_EQ(input.events(), (Log{"key down 65", "key up 65"}));
    EXPECT_EQ(input.playbacksBegun(), 3);
    EXPECT_EQ(input.playbacksEnded(), 1);
}

// Where the desktop asks the user before a playback begins, the start waits for the answer: a refusal
// makes the start fail with the desktop's words, so the task's later actions do not run, and is told
// once, by the starter, not a second time by the playback.
TEST_F(MacroPlayerTest, ATaskMacroWhoseDesktopAsksFirstFailsToStartWhenRefused) {
    test::TempFolder folder;
    const std::string path = folder.file("m.mco");
    std::ofstream(path, std::ios::binary) << "0 KEY_DOWN 65\r\n10 KEY_UP 65\r\n";
    platform::fake::FakeGlobalHotkeys os;
    hotkeys::HotkeyRegistrar registrar(os);
    MacroStopKey stopKey(registrar);
    int toldByPlayback = 0;
    MacroPorts taskPorts{input, clipboard, waiter, stop, [&] { stopKey.Release(); }};
    taskPorts.refused = [&](const std::string&) { ++toldByPlayback; };
    DoDo2 player(taskPorts);
    std::vector<std::string> refusals;
    int awaited = 0;
    TaskMacroStarter starter(
        player, stopKey, stop, nullptr,
        [&](const std::string& file, const std::string& why) { refusals.push_back(file + ": " + why); },
        [&](const std::function<bool()>& settled) {
            ++awaited;
            while (!settled())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });

    input.refusePlaybacks("the user said no");
    std::string why;
    EXPECT_FALSE(starter.StartTaskMacro(path, &why));
    EXPECT_EQ(why, "the user said no");
    EXPECT_EQ(refusals, (std::vector<std::string>{path + ": the user said no"}));
    player.WaitAll();
    EXPECT_EQ(toldByPlayback, 0);
    EXPECT_TRUE(input.events().empty());
    EXPECT_FALSE(os.isRegistered(1, 123)) << "Alt+F12 was kept for a playback that never came";

    input.refusePlaybacks({});
    EXPECT_TRUE(starter.StartTaskMacro(path, &why));
    player.WaitAll();
    EXPECT_EQ(awaited, 2);
    EXPECT_EQ(input.events(), (Log{"key down 65", "key up 65"}));
    EXPECT_EQ(refusals.size(), 1u);

    // A user slower to answer than the starter waits: the start goes on, and the refusal that comes later
    // is the playback's to tell, once.
    struct SlowToAnswer : platform::fake::FakeSyntheticInput {
        std::atomic<bool> answered{false};
        std::string beginPlayback(const std::atomic<bool>& stop) override {
            while (!answered.load())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return FakeSyntheticInput::beginPlayback(stop);
        }
    } slow;
    slow.refusePlaybacks("said no late");
    MacroPorts slowPorts{slow, clipboard, waiter, stop, [&] { stopKey.Release(); }};
    slowPorts.refused = [&](const std::string&) { ++toldByPlayback; };
    DoDo2 slowPlayer(slowPorts);
    TaskMacroStarter impatient(
        slowPlayer, stopKey, stop, nullptr,
        [&](const std::string& file, const std::string& why) { refusals.push_back(file + ": " + why); },
        [](const std::function<bool()>&) {});
    EXPECT_TRUE(impatient.StartTaskMacro(path, &why));
    slow.answered = true;
    slowPlayer.WaitAll();
    EXPECT_EQ(toldByPlayback, 1);
    EXPECT_EQ(refusals.size(), 1u) << "told by the starter as well";
    EXPECT_TRUE(slow.events().empty());
    EXPECT_FALSE(os.isRegistered(1, 123));
}

// The input's session ends only after the keys the playback held were let go through it, and also when
// a port fails half-way.
TEST_F(MacroPlayerTest, ThePlaybacksEndComesAfterItsHeldKeysAreLetGoEvenOnAFailure) {
    class EndNotingInput : public platform::fake::FakeSyntheticInput {
      public:
        void keyDown(unsigned vk) override {
            if (vk == 99) throw std::runtime_error("the display went away");
            FakeSyntheticInput::keyDown(vk);
        }
        void endPlayback() override {
            eventsAtEnd = events().size();
            FakeSyntheticInput::endPlayback();
        }
        std::size_t eventsAtEnd = 0;
    } noting;
    PlayMacro({"0 KEY_DOWN 16", "0 KEY_DOWN 65"}, {noting, clipboard, waiter, stop, {}});
    EXPECT_EQ(noting.eventsAtEnd, 4u) << "two presses and their releases came before the end";
    EXPECT_THROW(PlayMacro({"0 KEY_DOWN 99"}, {noting, clipboard, waiter, stop, {}}), std::runtime_error);
    EXPECT_EQ(noting.playbacksEnded(), 2);
}

TEST_F(MacroPlayerTest, TheRecordersPlaybackRunsItsEndStepAfterAStop) {
    std::atomic<int> ends{0};
    {
        DoDo player(ports, [&] { ++ends; });
        stop = true;
        player.Start({"0 KEY_DOWN 65"});
        player.WaitAll();
        EXPECT_TRUE(input.events().empty());
        EXPECT_EQ(ends.load(), 1);
    }
    EXPECT_EQ(released, 1);
}

bool PollUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

bool Contains(const Log& log, const std::string& entry) {
    return std::find(log.begin(), log.end(), entry) != log.end();
}

// Playbacks on the real waiter, with their long pauses cut short by a stop.
class StoppablePlaybackTest : public MacroPlayerTest {
  protected:
    SteadyMacroWaiter steady;
    MacroPorts steadyPorts{input, clipboard, steady, stop, [this] { ++released; }};
};

TEST_F(StoppablePlaybackTest, AStopEndsALongPauseAtOnceAndLetsGoOfWhatIsHeld) {
    DoDo2 player(steadyPorts);
    player.Start({"0 KEY_DOWN 16", "0 MOUSE_LEFTDOWN 4 5", "3000 KEY_UP 16", "3000 MOUSE_LEFTUP 4 5"});
    ASSERT_TRUE(
        PollUntil([&] { return Contains(input.events(), "button down left"); }, std::chrono::seconds(2)));

    const auto before = std::chrono::steady_clock::now();
    stop = true;
    player.WaitAll();
    const auto took = std::chrono::steady_clock::now() - before;
    EXPECT_LT(took, std::chrono::milliseconds(100));
    const Log events = input.events();
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ((Log{events.end() - 2, events.end()}), (Log{"button up left", "key up 16"}));
    EXPECT_EQ(released, 1);
}

TEST_F(StoppablePlaybackTest, DestroyingThePlayerStopsItsPlaybacksWithinTheBound) {
    const auto before = std::chrono::steady_clock::now();
    {
        DoDo2 player(steadyPorts);
        player.Start({"0 KEY_DOWN 17", "5000 KEY_UP 17"});
        player.Start({"0 KEY_DOWN 18", "5000 KEY_UP 18"});
        ASSERT_TRUE(PollUntil([&] { return input.events().size() >= 2; }, std::chrono::seconds(2)));
    }
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(1000));
    EXPECT_TRUE(Contains(input.events(), "key up 17"));
    EXPECT_TRUE(Contains(input.events(), "key up 18"));
}

// A clipboard whose owner never gets to it, as when the GUI thread waits for the player.
class UnreachableClipboard : public ClipboardPort {
  public:
    void setClipboardText(const std::string&) override { FAIL() << "the plain wait cannot be stopped"; }
    bool setClipboardTextUnlessStopped(const std::string&, const std::atomic<bool>& stop) override {
        while (!stop.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return false;
    }
};

TEST_F(StoppablePlaybackTest, APasteThatCannotBeDeliveredIsAbandonedOnStopWithoutTheKeystrokes) {
    UnreachableClipboard unreachable;
    DoDo2 player({input, unreachable, steady, stop, [this] { ++released; }});
    player.Start({"0 INPUT secret", "10 KEY_DOWN 65"});
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    stop = true;
    player.WaitAll();
    // No Ctrl+V into whatever has the focus, and nothing after it.
    EXPECT_TRUE(input.events().empty());
    EXPECT_EQ(released, 1);
}

TEST_F(StoppablePlaybackTest, AltF12StaysTakenUntilTheLastOfOverlappingPlaybacksEnds) {
    platform::fake::FakeGlobalHotkeys os;
    hotkeys::HotkeyRegistrar registrar(os);
    MacroStopKey stopKey(registrar);
    std::atomic<int> ended{0};
    DoDo2 player({input, clipboard, steady, stop, [&] {
                      stopKey.Release();
                      ++ended;
                  }});
    stopKey.Take();
    player.Start({"0 KEY_DOWN 65", "3000 KEY_UP 65"});
    stopKey.Take();
    player.Start({"0 KEY_DOWN 66", "10 KEY_UP 66"});
    ASSERT_TRUE(PollUntil([&] { return ended.load() == 1; }, std::chrono::seconds(2)));
    EXPECT_TRUE(os.isRegistered(1, 123)) << "the first playback lost its stop key";
    // Alt+F12 still stops the one that plays.
    EXPECT_TRUE(os.press(1, 123));
    stop = true;
    player.WaitAll();
    EXPECT_FALSE(os.isRegistered(1, 123));
    // A release without a take does not free a combination someone else took.
    stopKey.Take();
    stopKey.Release();
    stopKey.Release();
    stopKey.Take();
    EXPECT_TRUE(os.isRegistered(1, 123));
}

TEST_F(StoppablePlaybackTest, TaskMacroFilesTooLargeOrNoFilesAreRefused) {
    test::TempFolder folder;
    platform::fake::FakeGlobalHotkeys os;
    hotkeys::HotkeyRegistrar registrar(os);
    MacroStopKey stopKey(registrar);
    DoDo2 player({input, clipboard, steady, stop, [&] { stopKey.Release(); }});
    TaskMacroStarter starter(player, stopKey, stop);

    const std::string huge = folder.file("huge.mco");
    {
        std::ofstream out(huge, std::ios::binary);
        out << "0 KEY_DOWN 65\r\n";
        out.seekp(static_cast<std::streamoff>(kMaxMacroFileBytes));
        out.put('\n');
    }
    EXPECT_FALSE(starter.StartTaskMacro(huge));
    EXPECT_FALSE(starter.StartTaskMacro(folder.path()));
    player.WaitAll();
    EXPECT_TRUE(input.events().empty());
    EXPECT_FALSE(os.isRegistered(1, 123));
}

TEST_F(StoppablePlaybackTest, ATaskMacroWaitsForTheKeyboardToBeLetGoWithinItsBound) {
    MacroPorts waiting{input, clipboard, steady, stop, [this] { ++released; }, std::chrono::seconds(2)};
    input.holdKeysFor(10); // about 50 ms of held keys
    const auto before = std::chrono::steady_clock::now();
    PlayMacro({"0 KEY_DOWN 65"}, waiting);
    EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(40));
    EXPECT_EQ(input.events(), (Log{"key down 65", "key up 65"}));

    // A key that stays down does not hold the macro back for longer than the bound.
    MacroPorts bounded{input, clipboard, steady, stop, {}, std::chrono::milliseconds(60)};
    input.holdKeysFor(1'000'000);
    const auto start = std::chrono::steady_clock::now();
    PlayMacro({"0 KEY_DOWN 66"}, bounded);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(60));
    EXPECT_LT(took, std::chrono::milliseconds(500));
    EXPECT_EQ(input.events().size(), 4u);

    // Nor does it hold back a stop.
    DoDo2 player(bounded);
    player.Start({"0 KEY_DOWN 67"});
    stop = true;
    player.WaitAll();
    EXPECT_EQ(input.events().size(), 4u);
}

} // namespace
} // namespace orvanta::macros
