#include "platform/windows/windows_global_hotkeys.h"
#include "platform/windows/windows_synthetic_input.h"

#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <tuple>
#include <vector>
#include <windows.h>

namespace wb = orvanta::platform::windows_backend;
using orvanta::platform::HotkeyRegistration;
using orvanta::platform::kHotkeyAlt;
using orvanta::platform::kHotkeyControl;
using orvanta::platform::kHotkeyShift;
using namespace std::chrono_literals;

namespace {
class PressLog {
  public:
    orvanta::platform::GlobalHotkeys::PressedCallback callback() {
        return [this](int id, unsigned modifiers, unsigned key) {
            std::lock_guard lock(mutex_);
            presses_.emplace_back(id, modifiers, key);
            changed_.notify_all();
        };
    }
    std::vector<std::tuple<int, unsigned, unsigned>> waitFor(size_t count, std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, limit, [&] { return presses_.size() >= count; });
        return presses_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::tuple<int, unsigned, unsigned>> presses_;
};

void Press(wb::WindowsSyntheticInput& input, std::initializer_list<unsigned> keys) {
    for (unsigned key : keys)
        input.keyDown(key);
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it)
        input.keyUp(*it);
}
} // namespace

TEST(WindowsGlobalHotkeys, ACombinationIsRegisteredRefusedWhenTakenAndDeliveredOnInput) {
    PressLog log;
    wb::WindowsGlobalHotkeys hotkeys;
    hotkeys.setOnPressed(log.callback());
    const unsigned modifiers = kHotkeyControl | kHotkeyAlt;
    ASSERT_EQ(hotkeys.registerHotkey(modifiers, VK_F9, 0xC001), HotkeyRegistration::Registered);
    EXPECT_EQ(hotkeys.registerHotkey(modifiers, VK_F9, 0xC002), HotkeyRegistration::Refused)
        << "held by this client under another id";

    {
        // Another client (a thread of its own) asks the system for the same combination.
        wb::WindowsGlobalHotkeys other;
        EXPECT_EQ(other.registerHotkey(modifiers, VK_F9, 0x0101), HotkeyRegistration::Refused);
        EXPECT_EQ(other.registerHotkey(kHotkeyShift | kHotkeyAlt, VK_F10, 0x0102),
                  HotkeyRegistration::Registered);
    }

    wb::WindowsSyntheticInput input;
    Press(input, {VK_CONTROL, VK_MENU, VK_F9});
    auto presses = log.waitFor(1, 3000ms);
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(presses[0], std::make_tuple(0xC001, modifiers, static_cast<unsigned>(VK_F9)));

    Press(input, {VK_CONTROL, VK_F9});
    EXPECT_EQ(log.waitFor(2, 500ms).size(), 1u) << "another combination of the same key is not the hotkey";

    hotkeys.unregisterHotkey(0xC001);
    hotkeys.unregisterHotkey(0x7777); // unknown ids are ignored
    Press(input, {VK_CONTROL, VK_MENU, VK_F9});
    EXPECT_EQ(log.waitFor(2, 500ms).size(), 1u) << "a released combination is not delivered";

    wb::WindowsGlobalHotkeys again;
    EXPECT_EQ(again.registerHotkey(modifiers, VK_F9, 0x0103), HotkeyRegistration::Registered)
        << "the released combination is free for others";
}

// A task macro waits for the keys of its hotkey to be let go.
TEST(WindowsSyntheticInput, AHeldKeyIsSeenUntilItIsLetGo) {
    wb::WindowsSyntheticInput input;
    EXPECT_FALSE(input.anyKeyHeld());
    input.keyDown(VK_F9);
    bool seen = false;
    for (int i = 0; i < 50 && !(seen = input.anyKeyHeld()); ++i)
        Sleep(20);
    EXPECT_TRUE(seen);
    input.keyUp(VK_F9);
    bool released = false;
    for (int i = 0; i < 50 && !(released = !input.anyKeyHeld()); ++i)
        Sleep(20);
    EXPECT_TRUE(released);
}

TEST(WindowsSyntheticInput, TheCursorGoesWhereItIsSentAndMovesByRelativeSteps) {
    wb::WindowsSyntheticInput input;
    input.setCursorPos(200, 150);
    auto position = input.cursorPos();
    ASSERT_TRUE(position.has_value());
    EXPECT_EQ(*position, (orvanta::platform::CursorPoint{200, 150}));

    input.mouseMoveBy(30, -20);
    // Relative moves go through the input queue; give it a moment. Acceleration may scale the step, so
    // only the direction is certain.
    for (int i = 0; i < 50; ++i) {
        position = input.cursorPos();
        if (position && position->x != 200) break;
        Sleep(20);
    }
    ASSERT_TRUE(position.has_value());
    EXPECT_GT(position->x, 200);
    EXPECT_LT(position->y, 150);
}
