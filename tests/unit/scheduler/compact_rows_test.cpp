// Task rows and display rows keep their texts back to back in one buffer; these cases hold them to what
// 38 (or 8) separate strings would give, whatever is written in whatever order.
#include "data/task_store.h"
#include "platform/fake/fake_clock.h"
#include "scheduler/run_table_rebuilder.h"
#include "task_rows.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <random>

namespace orvanta::scheduler {
namespace {

using namespace std::string_literals;

// Texts that trip up offset arithmetic: nothing at all, more than any short-string buffer, several
// bytes a character, and bytes a C string or a line would end at.
const std::string kTexts[] = {"",       "1", std::string(70'000, 'x'), "Grüße – 日本語 ✓", "a\0b\tc\nd"s,
                              "Waiting"};

TEST(TaskRowText, EveryColumnReadsBackWhatWasLastSetInAnyOrder) {
    std::mt19937 rng(11);
    TaskRow row;
    std::array<std::string, kTaskColumnCount> expected{};
    for (int step = 0; step < 2000; ++step) {
        const std::size_t column = std::uniform_int_distribution<std::size_t>(0, kTaskColumnCount - 1)(rng);
        const std::string& text = kTexts[std::uniform_int_distribution<std::size_t>(0, 5)(rng)];
        row.Set(column, text);
        expected[column] = text;
        if (step % 97 != 0) continue;
        for (std::size_t c = 0; c < kTaskColumnCount; ++c)
            ASSERT_EQ(row[c], expected[c]) << "column " << c << " after step " << step;
    }
    for (std::size_t c = 0; c < kTaskColumnCount; ++c)
        EXPECT_EQ(row.at(c), expected[c]) << "column " << c;
    EXPECT_THROW(row.at(kTaskColumnCount), std::out_of_range);
}

TEST(TaskRowText, AColumnCanBeSetFromTheRowItself) {
    TaskRow row;
    row.Set(kColTitle, "Backup");
    row.Set(kColMessage, std::string(5000, 'm'));
    row.Set(kColId, row[kColMessage]); // longer, from further on: the texts move under the view
    row.Set(kColMessage, row[kColTitle].substr(1));
    row.Set(kColTitle, row[kColTitle]);
    EXPECT_EQ(row[kColId], std::string(5000, 'm'));
    EXPECT_EQ(row[kColMessage], "ackup");
    EXPECT_EQ(row[kColTitle], "Backup");
}

TEST(TaskRowText, TheFillerWritesColumnsInOrderAndLeavesTheOthersEmpty) {
    TaskRow row;
    for (std::size_t c = 0; c < kTaskColumnCount; ++c)
        row.Set(c, "old " + std::to_string(c));
    {
        TaskRowFiller filler(row);
        filler.Column(kColId).append("7");
        filler.Column(kColTitle).append("Grüße");
        filler.Column(kColTitle).append(" ✓"); // one column written in two pieces
        filler.Column(kColHkLoop).append("a\0b"s);
    }
    for (std::size_t c = 0; c < kTaskColumnCount; ++c) {
        const std::string expected = c == kColId       ? "7"
                                     : c == kColTitle  ? "Grüße ✓"
                                     : c == kColHkLoop ? "a\0b"s
                                                       : "";
        EXPECT_EQ(row[c], expected) << "column " << c;
    }
    // Stopped half-way, as when a column does not decode: the row is whole, the rest empty.
    try {
        TaskRowFiller filler(row);
        filler.Column(kColId).append("8");
        throw std::runtime_error("does not decode");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(row[kColId], "8");
    for (std::size_t c = 1; c < kTaskColumnCount; ++c)
        EXPECT_EQ(row[c], "") << "column " << c;
}

TEST(TaskRowText, RowsCompareByTheirColumnsAndAreFoundByTheWholeId) {
    TaskRow a, b;
    a.Set(kColId, "12");
    b.Set(kColId, "1");
    EXPECT_NE(a, b);
    b.Set(kColId, "12");
    EXPECT_EQ(a, b);
    a.Set(kColTitle, "x");
    EXPECT_NE(a, b);

    const std::vector<TaskRow> rows = {b, a};
    EXPECT_EQ(FindTaskRow(rows, "12"), &rows[0]);
    EXPECT_EQ(FindTaskRow(rows, "1"), nullptr);
    EXPECT_EQ(FindTaskRow(rows, ""), nullptr);
}

TEST(DisplayRowsText, RowsReadBackTheirCellsAndChangeOneCellAtATime) {
    DisplayRows rows;
    for (std::size_t r = 0; r < 6; ++r) {
        DisplayRows::Cells cells;
        for (std::size_t c = 0; c < kDisplayColumnCount; ++c)
            cells[c] = kTexts[(r + c) % 6];
        rows.Append(cells);
    }
    // Cells taken from these very rows, whose text moves as it grows.
    rows.Append({rows[2][kDispText], "", rows[3][kDispId], "", "", "", rows[1][kDispDueKey], ""});
    ASSERT_EQ(rows.size(), 7u);
    for (std::size_t r = 0; r < 6; ++r)
        for (std::size_t c = 0; c < kDisplayColumnCount; ++c)
            ASSERT_EQ(rows[r][c], kTexts[(r + c) % 6]) << "row " << r << " column " << c;
    EXPECT_EQ(rows[6][kDispText], kTexts[2]);
    EXPECT_EQ(rows[6][kDispId], kTexts[(3 + kDispId) % 6]);
    EXPECT_EQ(rows[6][kDispDueKey], kTexts[(1 + kDispDueKey) % 6]);

    const DisplayRows before = rows;
    rows.Set(4, kDispEnabled, "0");
    rows.Set(5, kDispText, rows[0][kDispStatus]);
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < kDisplayColumnCount; ++c) {
            const std::string_view expected = r == 4 && c == kDispEnabled ? "0"
                                              : r == 5 && c == kDispText  ? before[0][kDispStatus]
                                                                          : before[r][c];
            EXPECT_EQ(rows[r][c], expected) << "row " << r << " column " << c;
        }
    EXPECT_THROW(rows.Set(7, 0, "x"), std::out_of_range);
    EXPECT_THROW(rows[0].at(kDisplayColumnCount), std::out_of_range);
}

TEST(DisplayRowsText, RowsAreEqualByTheirTextsHoweverTheTextsLie) {
    DisplayRows appended{{"line", "Waiting", "7", "1", "100", "0", "2025-3-5-9-0-0", "2025-3-5-9-0-0"}};
    DisplayRows placed;
    placed.text() = "lineWaiting71100"
                    "02025-3-5-9-0-0";
    const std::uint32_t key = 17;
    placed.AppendPlaced({{{0, 4}, {4, 7}, {11, 1}, {12, 1}, {13, 3}, {16, 1}, {key, 14}, {key, 14}}});
    EXPECT_EQ(appended, placed);
    placed.Set(0, kDispCountdown, "30");
    EXPECT_NE(appended, placed);
    EXPECT_NE(appended, DisplayRows{});
    placed.Clear();
    EXPECT_TRUE(placed.empty());
    EXPECT_EQ(placed, DisplayRows{});
}

// A rebuild refills the rows of the table it replaces, so their memory serves again; but display rows
// someone still holds (the list) are left as they were, and the new ones are made elsewhere.
TEST(RebuildReuse, TaskRowsKeepTheirMemoryAndHeldDisplayRowsAreNotWrittenOver) {
    test::TempFolder folder;
    platform::fake::FakeClock clock({2025, 3, 5, 12, 0, 0, 0});
    const data::TaskStore store(folder.file("task.db"), clock);
    const i18n::EnglishTextLookup english;
    RunTableRebuilder rebuilder(store, clock, english, nullptr);
    store.EnsureTaskTable();
    for (int i = 0; i < 3; ++i)
        store.InsertTask(testing::Task(0, 1, std::to_string(9 + i) + ":00:00", "Task " + std::to_string(i)));

    rebuilder.RebuildRunTable({}, "");
    const char* firstRowText = rebuilder.current().table.taskRows[0][kColTitle].data();
    const DisplayRows* unheld = rebuilder.current().table.displayRows.get();
    rebuilder.RebuildRunTable({}, "");
    EXPECT_EQ(rebuilder.current().table.taskRows[0][kColTitle].data(), firstRowText);
    EXPECT_EQ(rebuilder.current().table.displayRows.get(), unheld);

    const std::shared_ptr<DisplayRows> held = rebuilder.current().table.displayRows;
    const DisplayRows shownBefore = *held;
    clock.set({2025, 3, 5, 10, 30, 0, 0}); // other occurrences, and one more task
    store.InsertTask(testing::Task(0, 1, "8:00:00", "Task 3"));
    rebuilder.RebuildRunTable({}, "");
    EXPECT_NE(rebuilder.current().table.displayRows.get(), held.get());
    EXPECT_EQ(*held, shownBefore);
    EXPECT_EQ(rebuilder.current().table.displayRows->size(), 4u);
}

} // namespace
} // namespace orvanta::scheduler
