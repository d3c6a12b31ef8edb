#include "macros/macro_line.h"

#include <gtest/gtest.h>

namespace orvanta::macros {
namespace {

using Kind = MacroEvent::Kind;

TEST(MacroLineTest, LinesWithoutAValidTimeAreSkippedOrEndThePlayback) {
    EXPECT_EQ(ParseMacroLine("").kind, Kind::Skip);
    EXPECT_EQ(ParseMacroLine("My macro title").kind, Kind::Skip);
    EXPECT_EQ(ParseMacroLine("100").kind, Kind::Skip); // no blank after the time
    EXPECT_EQ(ParseMacroLine(" 100 KEY_DOWN 65").kind, Kind::Skip);
    EXPECT_EQ(ParseMacroLine("1x0 KEY_DOWN 65").kind, Kind::Skip);
    EXPECT_EQ(ParseMacroLine("1-2 KEY_DOWN 65").kind, Kind::BadTime);
    EXPECT_EQ(ParseMacroLine("99999999999 KEY_DOWN 65").kind, Kind::BadTime);
    EXPECT_EQ(ParseMacroLine("- MOUSE_MOVE 1 1").kind, Kind::BadTime);
    const MacroEvent negative = ParseMacroLine("-5 KEY_UP 65");
    EXPECT_EQ(negative.kind, Kind::KeyUp);
    EXPECT_EQ(negative.time, -5);
}

TEST(MacroLineTest, KeysTakeTheSecondArgumentAndIgnoreCase) {
    EXPECT_EQ(ParseMacroLine("100 key_down 65"),
              (MacroEvent{.kind = Kind::KeyDown, .time = 100, .virtualKey = 65}));
    EXPECT_EQ(ParseMacroLine("7 Key_Up 13"), (MacroEvent{.kind = Kind::KeyUp, .time = 7, .virtualKey = 13}));
    // The last blank-separated field is the code; one that is no integer ends the playback after the wait.
    EXPECT_EQ(ParseMacroLine("7 KEY_UP 1 13").virtualKey, 13u);
    EXPECT_EQ(ParseMacroLine("7 KEY_DOWN A").kind, Kind::BadArgument);
    EXPECT_EQ(ParseMacroLine("7 KEY_DOWN").kind, Kind::WaitOnly);
}

TEST(MacroLineTest, MouseLinesMoveTheCursorWithTheirButton) {
    EXPECT_EQ(
        ParseMacroLine("500 MOUSE_LEFTDOWN 10 20"),
        (MacroEvent{.kind = Kind::Pointer, .time = 500, .x = 10, .y = 20, .mouseFlag = kMouseLeftDown}));
    EXPECT_EQ(ParseMacroLine("0 mouse_move -3 4").mouseFlag, kMouseMove);
    EXPECT_EQ(ParseMacroLine("0 MOUSE_RIGHTUP 1 1").mouseFlag, kMouseRightUp);
    EXPECT_EQ(ParseMacroLine("0 MOUSE_MIDDLEDOWN 1 1").mouseFlag, kMouseMiddleDown);
    // An unknown command with two numbers only moves the cursor; without them it only waits.
    EXPECT_EQ(ParseMacroLine("0 JUMP 5 6"), (MacroEvent{.kind = Kind::Pointer, .x = 5, .y = 6}));
    EXPECT_EQ(ParseMacroLine("0 JUMP five 6").kind, Kind::WaitOnly);
    EXPECT_EQ(ParseMacroLine("0 MOUSE_MOVE 10").kind, Kind::WaitOnly);
    EXPECT_EQ(ParseMacroLine("0 MOUSE_MOVE 1-0 5").kind, Kind::BadArgument);
    EXPECT_EQ(ParseMacroLine("100 MOUSE_WHEEL -120 0"),
              (MacroEvent{.kind = Kind::Wheel, .time = 100, .wheelDelta = -120}));
}

TEST(MacroLineTest, InputKeepsTheRestOfTheLine) {
    EXPECT_EQ(ParseMacroLine("100 INPUT Hello world"),
              (MacroEvent{.kind = Kind::Paste, .time = 100, .text = "Hello world"}));
    EXPECT_EQ(ParseMacroLine("100 input  two  blanks ").text, " two  blanks ");
    EXPECT_EQ(ParseMacroLine("100 INPUT ").kind, Kind::Paste);
    EXPECT_EQ(ParseMacroLine("100 INPUT").kind, Kind::WaitOnly);
}

} // namespace
} // namespace orvanta::macros
