#include "platform/fake/fake_clock.h"
#include "tools/orvantactl/history_lines.h"

#include <gtest/gtest.h>

// A history line is the user's record of what ran; its texts (titles, reasons from other programs) are
// anyone's, so the line must stay one plain line on any terminal.
namespace orvanta::ctl {
namespace {

TEST(HistoryLines, AnEntryIsOneLineWithoutControlCharactersWhateverItsTextsHold) {
    platform::fake::FakeClock clock{{2025, 3, 7, 9, 0, 0, 0}};
    platform::HistoryEntry e;
    e.utcMs = clock.nowUtcMs();
    e.taskId = "7";
    e.title = "Back\x1b]0;owned\x07up\nnow";
    e.dueKey = "2025-3-7-9-0-0";
    e.action = "Launch";
    e.outcome = "failed";
    e.reason = "no such program:\t/x\r\x7f";
    const std::string line = HistoryLine(e, clock);
    for (const char c : line)
        EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == '\x7f') << int(c) << " in " << line;
    EXPECT_NE(line.find("task 7 \"Back ]0;owned up now\""), std::string::npos) << line;
    EXPECT_NE(line.find("due 2025-03-07 09:00:00"), std::string::npos) << line;
    EXPECT_NE(line.find("(no such program: /x  )"), std::string::npos) << line;
}

} // namespace
} // namespace orvanta::ctl
