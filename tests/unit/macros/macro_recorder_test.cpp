#include "macros/macro_line.h"
#include "macros/macro_recorder.h"
#include "macros/macro_text.h"
#include "tests/support/temp_folder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace orvanta::macros {
namespace {

using Lines = std::vector<std::string>;
using Reply = MacroRecording::Reply;

constexpr std::uint32_t kReleased = 0xC0000001u;

// Feeds events into a recording the way the recorder window does, one tick value per event.
struct Session {
    MacroRecording recording;
    bool ignoreMoves = true;
    Session() { recording.Begin(); }
    Reply Event(std::uint32_t tick, unsigned code, int x = 0, int y = 0, std::uint32_t param = 0) {
        return recording.OnHookEvent(code, param, {x, y}, tick, ignoreMoves);
    }
};

TEST(MacroRecorderCodesTest, KeysAndMouseMessagesAreToldApartByRange) {
    for (unsigned key : {0u, 8u, 65u, 122u, 124u, 149u, 186u, 255u})
        EXPECT_TRUE(IsHookKeyCode(key)) << key;
    for (unsigned mouse : {150u, 160u, 185u, 256u, 512u, 522u, 70000u})
        EXPECT_FALSE(IsHookKeyCode(mouse)) << mouse;

    // A double click is a second press; codes without a command give none.
    EXPECT_EQ(HookMouseCommand(163), "MOUSE_LEFTDOWN");
    EXPECT_EQ(HookMouseCommand(521), "MOUSE_MIDDLEDOWN");
    for (unsigned none : {150u, 170u, 256u, 523u})
        EXPECT_EQ(HookMouseCommand(none), "") << none;
}

TEST(MacroRecorderTest, WithMovesIgnoredOnlyTheDragBetweenPressAndReleaseIsKept) {
    Session s;
    EXPECT_EQ(s.Event(900, 512, 1, 1), Reply::Dropped);
    EXPECT_EQ(s.recording.recordStartTick(), 0u) << "an ignored move started the clock";
    EXPECT_EQ(s.Event(1000, 513, 10, 20), Reply::Recorded);
    EXPECT_EQ(s.Event(1016, 512, 15, 25), Reply::Recorded);
    EXPECT_EQ(s.Event(1032, 512, 20, 30), Reply::Recorded);
    EXPECT_EQ(s.Event(1050, 514, 20, 30), Reply::Recorded);
    EXPECT_EQ(s.Event(1070, 512, 40, 40), Reply::Dropped);
    // A right button does not count as a drag; only the left one does.
    EXPECT_EQ(s.Event(1080, 516, 40, 40), Reply::Recorded);
    EXPECT_EQ(s.Event(1090, 512, 41, 41), Reply::Dropped);
    EXPECT_EQ(s.Event(1100, 65), Reply::Recorded);
    EXPECT_EQ(s.Event(1150, 65, 0, 0, kReleased), Reply::Recorded);
    EXPECT_EQ(s.recording.lines(), (Lines{"0 MOUSE_LEFTDOWN 10 20", "16 MOUSE_MOVE 15 25",
                                          "32 MOUSE_MOVE 20 30", "50 MOUSE_LEFTUP 20 30",
                                          "80 MOUSE_RIGHTDOWN 40 40", "100 KEY_DOWN 65", "150 KEY_UP 65"}));
}

TEST(MacroRecorderTest, WithMovesKeptTheFirstMoveStartsTheClockAndEveryMoveIsRecorded) {
    Session s;
    s.ignoreMoves = false;
    s.Event(500, 512, 1, 2);
    s.Event(520, 512, 3, 4);
    s.Event(530, 513, 3, 4);
    s.Event(540, 514, 3, 4);
    s.Event(560, 512, 5, 6);
    EXPECT_EQ(s.recording.lines(), (Lines{"0 MOUSE_MOVE 1 2", "20 MOUSE_MOVE 3 4", "30 MOUSE_LEFTDOWN 3 4",
                                          "40 MOUSE_LEFTUP 3 4", "60 MOUSE_MOVE 5 6"}));
}

TEST(MacroRecorderTest, F12StopsWithoutALineAndBeginStartsAFreshRecording) {
    Session s;
    s.Event(100, 65);
    EXPECT_EQ(s.Event(200, kRecordStopKey), Reply::Stop);
    EXPECT_EQ(s.Event(210, kRecordStopKey, 0, 0, kReleased), Reply::Stop);
    EXPECT_EQ(s.recording.lines(), Lines{"0 KEY_DOWN 65"});

    s.recording.Begin();
    EXPECT_TRUE(s.recording.lines().empty());
    EXPECT_EQ(s.recording.recordStartTick(), 0u);
    s.Event(5000, 66);
    EXPECT_EQ(s.recording.lines(), Lines{"0 KEY_DOWN 66"});
}

TEST(MacroRecorderTest, TheWheelDeltaIsTheSignedLowHalfOfTheXField) {
    Session s;
    s.Event(10, 522, 120, 300);
    s.Event(20, 522, 0xFF88, 300);            // -120 in 16 bits
    s.Event(30, 522, 0x7FFF0000 | 0xFF10, 7); // the high half is not part of the delta
    EXPECT_EQ(s.recording.lines(),
              (Lines{"0 MOUSE_WHEEL 120 300", "10 MOUSE_WHEEL -120 300", "20 MOUSE_WHEEL -240 7"}));
}

TEST(MacroRecorderTest, EveryRecordedLineIsPlayedBackAsTheEventItCameFrom) {
    Session s;
    s.ignoreMoves = false;
    s.Event(1, 512, 5, 6);
    s.Event(2, 515, 7, 8); // a double click: a second press
    s.Event(3, 522, 0xFF88, 0);
    s.Event(4, 13, 0, 0, kReleased);
    s.Event(5, 600, 9, 10);  // no command: the line only moves the pointer
    s.Event(6, 168, 11, 12); // a non-client middle release
    const auto& lines = s.recording.lines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[4], "4  9 10");

    const auto e = [&](std::size_t i) { return ParseMacroLine(lines[i]); };
    EXPECT_EQ(e(0).kind, MacroEvent::Kind::Pointer);
    EXPECT_EQ(e(0).mouseFlag, kMouseMove);
    EXPECT_EQ(e(1).mouseFlag, kMouseLeftDown);
    EXPECT_EQ(e(1).x, 7);
    EXPECT_EQ(e(1).y, 8);
    EXPECT_EQ(e(2).kind, MacroEvent::Kind::Wheel);
    EXPECT_EQ(e(2).wheelDelta, -120);
    EXPECT_EQ(e(3).kind, MacroEvent::Kind::KeyUp);
    EXPECT_EQ(e(3).virtualKey, 13u);
    EXPECT_EQ(e(4).kind, MacroEvent::Kind::Pointer);
    EXPECT_EQ(e(4).mouseFlag, 0u);
    EXPECT_EQ(e(4).x, 9);
    EXPECT_EQ(e(5).mouseFlag, kMouseMiddleUp);
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(e(i).time, static_cast<int>(i)) << lines[i];
}

TEST(MacroRecorderTest, TimesStayRightAcrossATickCountWrap) {
    Session s;
    s.Event(0xFFFFFF00u, 65);
    s.Event(0x00000010u, 66);
    EXPECT_EQ(s.recording.lines(), (Lines{"0 KEY_DOWN 65", "272 KEY_DOWN 66"}));
}

TEST(MacroRecorderTest, OnlyAnExactLowerCaseExtensionIsKept) {
    EXPECT_EQ(WithMacroExtension("/tmp/a"), "/tmp/a.mco");
    EXPECT_EQ(WithMacroExtension("/tmp/a.mco"), "/tmp/a.mco");
    EXPECT_EQ(WithMacroExtension("/tmp/a.MCO"), "/tmp/a.MCO.mco");
    EXPECT_EQ(WithMacroExtension("/tmp/a.txt"), "/tmp/a.txt.mco");
    EXPECT_EQ(WithMacroExtension("mco"), "mco.mco");
}

TEST(MacroFileWritingTest, LinesAreWrittenAsLittleEndianUtf16WithMarkAndCrLf) {
    EXPECT_EQ(EncodeMacroText({"0 A", "5"}), std::string("\xFF\xFE"
                                                         "0\0 \0A\0\r\0\n\0"
                                                         "5\0\r\0\n\0",
                                                         2 + 2 * 8));
    EXPECT_EQ(EncodeMacroText({}), "\xFF\xFE");
    // Characters beyond the first plane become surrogate pairs; bytes that are no UTF-8 become U+FFFD.
    EXPECT_EQ(EncodeMacroText({"\xF0\x9F\x98\x80"}), std::string("\xFF\xFE\x3D\xD8\x00\xDE\r\0\n\0", 10));
    EXPECT_EQ(EncodeMacroText({"\xC3"}), std::string("\xFF\xFE\xFD\xFF\r\0\n\0", 8));
    EXPECT_EQ(EncodeMacroText({"\xE0\x80\x80"}).substr(2, 6), std::string("\xFD\xFF\xFD\xFF\xFD\xFF", 6))
        << "an overlong form is no character";
}

TEST(MacroFileWritingTest, AWrittenFileReadsBackLineForLine) {
    test::TempFolder folder;
    const Lines lines{"0 MOUSE_MOVE 1 2", "10 INPUT Grüße \xF0\x9F\x98\x80", "", "20 KEY_UP 65"};
    const std::string path = folder.file("m.mco");
    ASSERT_TRUE(WriteMacroFile(path, lines));
    EXPECT_EQ(ReadMacroFile(path), lines);

    // Writing again replaces the file instead of adding to it.
    ASSERT_TRUE(WriteMacroFile(path, {"1 KEY_DOWN 66"}));
    EXPECT_EQ(ReadMacroFile(path), Lines{"1 KEY_DOWN 66"});

    EXPECT_FALSE(WriteMacroFile(folder.path(), lines)) << "a folder cannot be written as a file";
    EXPECT_FALSE(WriteMacroFile(folder.file("missing/m.mco"), lines));
}

} // namespace
} // namespace orvanta::macros
