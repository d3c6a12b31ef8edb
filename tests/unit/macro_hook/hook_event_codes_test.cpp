#include "macros/macro_recorder.h"
#include "platform/linux/hook/record_event_codes.h"
#include "platform/linux/hotkeys/vk_keysym.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

namespace orvanta::hook {
namespace {

using Type = DeviceEvent::Type;
namespace lx = platform::linux_backend;

TEST(KeysymToVirtualKeyTest, EveryMappedKeyComesBackAsACodeForTheSameKeysym) {
    int mapped = 0;
    for (unsigned vk = 1; vk < 256; ++vk) {
        const unsigned long keysym = lx::VirtualKeyToKeysym(vk);
        if (keysym == 0) continue;
        ++mapped;
        const unsigned back = lx::KeysymToVirtualKey(keysym);
        EXPECT_NE(back, 0u) << "vk " << vk;
        EXPECT_EQ(lx::VirtualKeyToKeysym(back), keysym) << "vk " << vk << " came back as " << back;
    }
    EXPECT_GT(mapped, 100);
}

TEST(KeysymToVirtualKeyTest, SidesCaseAndKeypadNamesReachTheirCodes) {
    EXPECT_EQ(lx::KeysymToVirtualKey(XK_Shift_L), 0x10u);
    EXPECT_EQ(lx::KeysymToVirtualKey(XK_Shift_R), 0xA1u);
    EXPECT_EQ(lx::KeysymToVirtualKey(XK_Control_R), 0xA3u);
    EXPECT_EQ(lx::KeysymToVirtualKey(XK_A), 0x41u);
    EXPECT_EQ(lx::KeysymToVirtualKey(XK_z), 0x5Au);
    EXPECT_EQ(lx::KeysymToVirtualKey(XK_F12), 123u);
    EXPECT_EQ(lx::KeysymToVirtualKey(XK_F24), 0x87u);
    EXPECT_EQ(lx::KeysymToVirtualKey(XK_KP_Enter), 0x0Du);
    EXPECT_EQ(lx::KeysymToVirtualKey(XK_KP_Home), 0x24u);
    EXPECT_EQ(lx::KeysymToVirtualKey(XK_KP_5), 0x65u);
    EXPECT_EQ(lx::KeysymToVirtualKey(XK_ISO_Left_Tab), 0x09u);
    EXPECT_EQ(lx::KeysymToVirtualKey(0), 0u);
    EXPECT_EQ(lx::KeysymToVirtualKey(XK_EuroSign), 0u);
}

TEST(HookEventOfTest, DeviceEventsBecomeTheMessagesOfTheirKind) {
    const auto key = HookEventOf({Type::KeyDown, 65, 1, 2});
    ASSERT_TRUE(key);
    EXPECT_EQ(key->code, 65u);
    EXPECT_EQ(key->param & 0x80000000u, 0u);
    EXPECT_FALSE(key->isMouse) << "keys leave the pointer block alone";
    const auto release = HookEventOf({Type::KeyUp, 65});
    ASSERT_TRUE(release);
    EXPECT_NE(release->param & 0x80000000u, 0u);
    EXPECT_FALSE(HookEventOf({Type::KeyDown, 0})) << "a key without a code";

    const std::tuple<Type, unsigned, unsigned> buttons[] = {
        {Type::ButtonDown, 1, 513}, {Type::ButtonUp, 1, 514},   {Type::ButtonDown, 2, 519},
        {Type::ButtonUp, 2, 520},   {Type::ButtonDown, 3, 516}, {Type::ButtonUp, 3, 517},
        {Type::Motion, 0, 512},
    };
    for (const auto& [type, button, code] : buttons) {
        const auto e = HookEventOf({type, button, 300, 400});
        ASSERT_TRUE(e) << code;
        EXPECT_EQ(e->code, code);
        EXPECT_TRUE(e->isMouse);
        EXPECT_EQ(e->blockX, 300);
        EXPECT_EQ(e->blockY, 400);
    }
    EXPECT_FALSE(HookEventOf({Type::ButtonUp, 4})) << "a wheel notch is one event";
    EXPECT_FALSE(HookEventOf({Type::ButtonDown, 8})) << "side buttons have no message";
}

// The library's wheel encoding read back the way the recorder reads it.
TEST(HookEventOfTest, TheWheelIsRecordedPositiveAwayFromTheUser) {
    macros::MacroRecording recording;
    recording.Begin();
    for (unsigned button : {4u, 5u}) {
        const auto e = HookEventOf({Type::ButtonDown, button, 300, 400});
        ASSERT_TRUE(e);
        recording.OnHookEvent(e->code, e->param, {e->blockX, e->blockY}, 100, true);
    }
    EXPECT_EQ(recording.lines(),
              (std::vector<std::string>{"0 MOUSE_WHEEL 120 400", "0 MOUSE_WHEEL -120 400"}));
}

} // namespace
} // namespace orvanta::hook
