#include "hotkeys/hotkey_name.h"

#include <gtest/gtest.h>

namespace orvanta::hotkeys {
namespace {

TEST(HotkeyNameTest, NamesJoinBothColumnsAsStored) {
    EXPECT_EQ(HotkeyName("0", "65"), "KRL065");
    EXPECT_EQ(HotkeyName("1", "55"), "KRL155");
    // A press reports the modifier set, one above the stored column.
    EXPECT_EQ(PressedHotkeyName(1, 65), "KRL065");
    EXPECT_EQ(PressedHotkeyName(2, 55), "KRL155");
    EXPECT_EQ(PressedHotkeyName(0, 49), "KRL-149");
}

TEST(HotkeyNameTest, KeyTextNamesCtrlOnlyForOne) {
    EXPECT_EQ(HotkeyKeyText("1", "75"), "Ctrl + K");
    EXPECT_EQ(HotkeyKeyText("0", "49"), "Alt + 1");
    EXPECT_EQ(HotkeyKeyText("2", "65"), "Alt + A");
    EXPECT_EQ(HotkeyKeyText("0", "x"), "");
}

TEST(HotkeyNameTest, DecodingAddsOneToTheModifierAndRejectsNonDecimals) {
    EXPECT_EQ(DecodeHotkey("0", "65"), (HotkeyCombination{1, 65}));
    EXPECT_EQ(DecodeHotkey("1", "57"), (HotkeyCombination{2, 57}));
    EXPECT_EQ(DecodeHotkey("-1", "48"), (HotkeyCombination{0, 48}));
    EXPECT_FALSE(DecodeHotkey("", "65"));
    EXPECT_FALSE(DecodeHotkey("0", ""));
    EXPECT_FALSE(DecodeHotkey("0", "6 5"));
    EXPECT_FALSE(DecodeHotkey("a", "65"));
    EXPECT_FALSE(ParseDecimal("99999999999"));
    EXPECT_EQ(ParseDecimal("+7"), 7);
    EXPECT_FALSE(ParseDecimal("+"));
}

} // namespace
} // namespace orvanta::hotkeys
