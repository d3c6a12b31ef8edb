#include "platform/fake/fake_log.h"
#include "platform/linux/hotkeys/linux_global_hotkeys.h"
#include "tests/support/run_program.h"

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <gtest/gtest.h>
#include <mutex>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

// clang-format off
// Xlib defines macros (None, Bool) that break headers included after it, so it comes last.
#include <X11/Xlib.h>
#include <X11/keysym.h>
// clang-format on

namespace orvanta::platform::linux_backend {
namespace {

using test::RunProgram;

bool HaveDisplay() {
    return std::getenv("DISPLAY") != nullptr && *std::getenv("DISPLAY") != '\0';
}

struct Presses {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<int> ids;

    void Add(int id) {
        const std::lock_guard lock(mutex);
        ids.push_back(id);
        changed.notify_all();
    }
    // Generous: the press normally arrives in milliseconds.
    bool WaitFor(std::size_t count) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(10), [&] { return ids.size() >= count; });
    }
};

class GlobalHotkeysTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!HaveDisplay()) GTEST_SKIP() << "needs an X display (scripts/platform-test-env.sh)";
    }
};

TEST_F(GlobalHotkeysTest, AGrabbedCombinationDeliversItsPress) {
    fake::RecordingLog hotkeysLog;
    LinuxGlobalHotkeys hotkeys(hotkeysLog);
    ASSERT_TRUE(hotkeys.available());
    Presses presses;
    hotkeys.setOnPressed([&](int id, unsigned modifiers, unsigned key) {
        EXPECT_EQ(modifiers, kHotkeyAlt);
        EXPECT_EQ(key, 0x31u);
        presses.Add(id);
    });
    ASSERT_EQ(hotkeys.registerHotkey(kHotkeyAlt, 0x31, 0xC001), HotkeyRegistration::Registered);
    // The same combination again, under another id, is refused as the system refuses a taken one.
    EXPECT_EQ(hotkeys.registerHotkey(kHotkeyAlt, 0x31, 0xC002), HotkeyRegistration::Refused);

    ASSERT_EQ(RunProgram({"xdotool", "key", "alt+1"}), 0);
    ASSERT_TRUE(presses.WaitFor(1));
    EXPECT_EQ(presses.ids.front(), 0xC001);

    // Caps Lock does not hide the combination.
    ASSERT_EQ(RunProgram({"xdotool", "key", "Caps_Lock", "alt+1", "Caps_Lock"}), 0);
    ASSERT_TRUE(presses.WaitFor(2));
}

TEST_F(GlobalHotkeysTest, ACombinationHeldByAnotherClientIsRefused) {
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    const KeyCode two = XKeysymToKeycode(other, XK_2);
    XGrabKey(other, two, ControlMask, DefaultRootWindow(other), False, GrabModeAsync, GrabModeAsync);
    XSync(other, False);

    fake::RecordingLog hotkeysLog;
    LinuxGlobalHotkeys hotkeys(hotkeysLog);
    EXPECT_EQ(hotkeys.registerHotkey(kHotkeyControl, 0x32, 1), HotkeyRegistration::Refused);
    EXPECT_NE(hotkeysLog.find("the X server refused to grab the hotkey virtual key 0x32 with modifiers 0x2"),
              "")
        << (hotkeysLog.lines().empty() ? "nothing logged" : hotkeysLog.lines().front());
    EXPECT_NE(hotkeysLog.find("BadAccess"), "") << "the X server's own words say another program holds it";
    // A refusal leaves nothing half-grabbed: after the other client lets go, the combination is ours.
    XCloseDisplay(other);
    EXPECT_EQ(hotkeys.registerHotkey(kHotkeyControl, 0x32, 1), HotkeyRegistration::Registered);
    // A key without a keysym cannot be grabbed at all.
    EXPECT_EQ(hotkeys.registerHotkey(kHotkeyAlt, 0xFF, 2), HotkeyRegistration::Unavailable);
}

TEST(GlobalHotkeysNoDisplayTest, EveryRegistrationIsUnavailable) {
    fake::RecordingLog hotkeysLog;
    LinuxGlobalHotkeys hotkeys(hotkeysLog, ":987");
    EXPECT_FALSE(hotkeys.available());
    EXPECT_NE(hotkeysLog.find("no X display \":987\""), "");
    EXPECT_EQ(hotkeys.registerHotkey(kHotkeyAlt, 0x31, 1), HotkeyRegistration::Unavailable);
    hotkeys.unregisterHotkey(1);
}

// Puts the display's layout back however the test ends: the tests after it expect the US one.
struct UsLayoutAtEnd {
    ~UsLayoutAtEnd() { RunProgram({"setxkbmap", "us"}); }
};

// A desktop sets the user's layout after the program has started (autostart); a combination must then
// still mean its letter, not the key where that letter was before.
TEST_F(GlobalHotkeysTest, ALayoutChangeMovesEachGrabToWhereItsLetterIsNow) {
    fake::RecordingLog hotkeysLog;
    LinuxGlobalHotkeys hotkeys(hotkeysLog);
    ASSERT_TRUE(hotkeys.available());
    Presses presses;
    std::vector<unsigned> keys;
    hotkeys.setOnPressed([&](int id, unsigned, unsigned key) {
        {
            const std::lock_guard lock(presses.mutex);
            keys.push_back(key);
        }
        presses.Add(id);
    });
    ASSERT_EQ(hotkeys.registerHotkey(kHotkeyAlt, 'A', 1), HotkeyRegistration::Registered);
    ASSERT_EQ(hotkeys.registerHotkey(kHotkeyAlt, 'Q', 2), HotkeyRegistration::Registered);
    const UsLayoutAtEnd restore;
    ASSERT_EQ(RunProgram({"setxkbmap", "fr"}), 0);
    // The change reaches the grab thread as an event of its own; give it a moment.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    // On the French layout A and Q have swapped places; xdotool types each letter where it is now.
    ASSERT_EQ(RunProgram({"xdotool", "key", "alt+a"}), 0);
    ASSERT_TRUE(presses.WaitFor(1));
    ASSERT_EQ(RunProgram({"xdotool", "key", "alt+q"}), 0);
    ASSERT_TRUE(presses.WaitFor(2));
    EXPECT_EQ(presses.ids, (std::vector<int>{1, 2}));
    EXPECT_EQ(keys, (std::vector<unsigned>{'A', 'Q'}));

    // And back: the grabs follow again, and an unregistered key is let go on the current layout.
    ASSERT_EQ(RunProgram({"setxkbmap", "us"}), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    hotkeys.unregisterHotkey(2);
    ASSERT_EQ(RunProgram({"xdotool", "key", "alt+a"}), 0);
    ASSERT_TRUE(presses.WaitFor(3));
    EXPECT_EQ(presses.ids.back(), 1);
    fake::RecordingLog otherProgramLog;
    LinuxGlobalHotkeys otherProgram(otherProgramLog);
    EXPECT_EQ(otherProgram.registerHotkey(kHotkeyAlt, 'Q', 9), HotkeyRegistration::Registered);
}

} // namespace
} // namespace orvanta::platform::linux_backend
