#include "data/plain_text.h"

#include <gtest/gtest.h>

namespace orvanta::data {
namespace {

TEST(PlainText, TrimmedDropsBlanksAndControlsAtTheEndsOnly) {
    EXPECT_EQ(Trimmed(" \t\r\n Morning  run \x01\x1f "), "Morning  run");
    EXPECT_EQ(Trimmed(" \t\n"), "");
    EXPECT_EQ(Trimmed(""), "");
    // The bytes of a UTF-8 letter are above 127, never blanks, wherever char is signed.
    EXPECT_EQ(Trimmed("\xC3\xA9t\xC3\xA9 "), "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(Trimmed(" \xE2\x80\xA6"), "\xE2\x80\xA6");
}

TEST(PlainText, CaseChangesOnlyAsciiLetters) {
    EXPECT_EQ(Lower("Ctrl+Shift F12"), "ctrl+shift f12");
    EXPECT_EQ(Upper("DateMode_1 [x]"), "DATEMODE_1 [X]");
    // A UTF-8 text keeps every byte of its other letters.
    EXPECT_EQ(Lower("\xC3\x89T\xC3\x89"), "\xC3\x89t\xC3\x89");
    EXPECT_EQ(Upper("\xC3\xA9t\xC3\xA9"), "\xC3\xA9T\xC3\xA9");
}

TEST(PlainText, SameIgnoringCase) {
    EXPECT_TRUE(SameIgnoringCase("TaskList", "tasklist"));
    EXPECT_TRUE(SameIgnoringCase("", ""));
    EXPECT_FALSE(SameIgnoringCase("tasklist", "tasklists"));
    EXPECT_FALSE(SameIgnoringCase("task_list", "task list"));
    EXPECT_FALSE(SameIgnoringCase("\xC3\x89", "\xC3\xA9"));
}

} // namespace
} // namespace orvanta::data
