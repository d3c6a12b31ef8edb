#include "scheduler/row_text.h"
#include "scheduler/task_row.h"
#include "task_rows.h"

#include <functional>
#include <gtest/gtest.h>

namespace orvanta::scheduler {
namespace {

using testing::Task;
using testing::TimedRows;

// Answers "<key>" for the main window's section, so a test sees which key each piece came from.
class TaggingLookup : public i18n::TextLookup {
  public:
    std::string text(const std::string& section, const std::string& key, const std::string&) const override {
        return section == kMainWindowSection ? "<" + key + ">" : "wrong section " + section;
    }
};

std::string TextOf(const data::TaskRecord& task, const char* status, const i18n::TextLookup& lookup) {
    TaskRow row = ReadTaskRow(TimedRows({task}));
    row.Set(kColStatus, status);
    return RowText(row, ParseSchedule(row), RowTexts::Load(lookup));
}

data::TaskRecord With(data::TaskRecord t, const std::function<void(data::TaskRecord&)>& edit) {
    edit(t);
    return t;
}

TEST(RowText, ShowsStatusScheduleTimeAndTitle) {
    const i18n::EnglishTextLookup english;
    const auto daily = Task(1, data::kDaily, "7:30:00", "Backup");
    const struct {
        const char* name;
        data::TaskRecord task;
        const char* status;
        const char* expected;
    } cases[] = {
        {"daily", daily, kStatusWaiting, "           Waiting ---- Daily ---- 7:30:00 ---- Backup"},
        {"passed", daily, kStatusPassed, "           Passed ---- Daily ---- 7:30:00 ---- Backup"},
        {"disabled wins over passed", With(daily, [](auto& t) { t.enabled = 0; }), kStatusPassed,
         "           Disabled ---- Daily ---- 7:30:00 ---- Backup"},
        {"blank title", With(daily, [](auto& t) { t.title = "  "; }), kStatusWaiting,
         "           Waiting ---- Daily ---- 7:30:00 ---- No title"},
        {"trimmed title and time",
         With(daily,
              [](auto& t) {
                  t.title = " B ";
                  t.time = " 7:30:00";
              }),
         kStatusWaiting, "           Waiting ---- Daily ---- 7:30:00 ---- B"},
        {"once",
         With(daily,
              [](auto& t) {
                  t.dateMode = data::kOnce;
                  t.year = 2025;
                  t.month = 3;
                  t.day = 9;
              }),
         kStatusWaiting, "           Waiting ---- Mar 9,  2025 ---- 7:30:00 ---- Backup"},
        {"annually",
         With(daily,
              [](auto& t) {
                  t.dateMode = data::kAnnually;
                  t.month = 1;
                  t.day = 19;
              }),
         kStatusWaiting, "           Waiting ---- Jan 19,  Annually ---- 7:30:00 ---- Backup"},
        {"monthly",
         With(daily,
              [](auto& t) {
                  t.dateMode = data::kMonthly;
                  t.day = 30;
              }),
         kStatusWaiting, "           Waiting ---- 30 Monthly ---- 7:30:00 ---- Backup"},
        {"weekly, Sunday last",
         With(daily,
              [](auto& t) {
                  t.dateMode = data::kWeekly;
                  t.sun = t.mon = t.tue = t.thu = t.sat = 1;
              }),
         kStatusWaiting, "           Waiting ---- Mon Tues Thurs Sat Sun ---- 7:30:00 ---- Backup"},
        {"weekly without a day", With(daily, [](auto& t) { t.dateMode = data::kWeekly; }), kStatusPassed,
         "           Passed ---- Unspecified ---- 7:30:00 ---- Backup"},
        {"repeat in minutes",
         With(daily,
              [](auto& t) {
                  t.loop = 60;
                  t.endTime = "17:00:00 ";
              }),
         kStatusWaiting,
         "           Waiting ---- Daily ---- Repeat: 60 Minutes  Start: 7:30:00   End: 17:00:00 ---- Backup"},
        {"repeat in whole hours", With(daily, [](auto& t) { t.loop = 150; }), kStatusWaiting,
         "           Waiting ---- Daily ---- Repeat: 2 Hours  Start: 7:30:00   End: 23:59:59 ---- Backup"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TextOf(c.task, c.status, english), c.expected);
    }
}

TEST(RowText, FetchesEveryPieceFromTheMainWindowSection) {
    const TaggingLookup tags;
    auto once = Task(1, data::kOnce, "7:30:00", "");
    once.month = 12, once.day = 24, once.loop = 30;
    EXPECT_EQ(TextOf(once, kStatusWaiting, tags),
              "           <Wait> ---- <Dec> 24,  2025 ---- <Loop>: 30 <Minutely>  <Start>: 7:30:00   <End>: "
              "23:59:59 ---- <NoTitle>");
    auto weekly = Task(1, data::kWeekly, "7:30:00");
    weekly.wed = weekly.fri = 1, weekly.enabled = 0, weekly.loop = 120;
    EXPECT_EQ(TextOf(weekly, kStatusPassed, tags),
              "           <Disabled> ---- <Wed> <Fri> ---- <Loop>: 2 <Hourly>  <Start>: 7:30:00   <End>: "
              "23:59:59 ---- T");
    const RowTexts texts = RowTexts::Load(tags);
    EXPECT_EQ(NoUpcomingHint(texts), "<Upcoming> <None>");
    EXPECT_EQ(texts.months[0] + texts.weekdays[0] + texts.everyYear + texts.everyMonth + texts.everyDay +
                  texts.unspecified + texts.passed,
              "<Jan><Sun><EveryYear><EveryMonth><EveryDay><Unspecified><Pass>");
}

TEST(RowTextPieces, CutAtEachSeparatorAndSkipItsBlank) {
    const struct {
        const char* text;
        std::vector<std::string> pieces;
    } cases[] = {
        {"  Waiting ---- Daily ---- 7:30:00 ---- Backup", {"Waiting", "Daily", "7:30:00", "Backup"}},
        {"a ---- b ---- c ---- Backup ---- copy", {"a", "b", "c", "Backup", "copy"}},
        {"a----bc", {"a", "c"}},
        {"a ----", {"a", ""}},
        {"no separator", {"no separator"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RowTextPieces(c.text), c.pieces) << c.text;
}

} // namespace
} // namespace orvanta::scheduler
