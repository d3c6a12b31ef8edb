#pragma once

#include "i18n/text_lookup.h"
#include "scheduler/occurrence.h"
#include "scheduler/run_table.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta::scheduler {

// The list and its hint belong to the main window, so their texts are looked up in its section.
inline constexpr const char* kMainWindowSection = "TMainForm";

// The localized pieces of the list's lines, fetched once per rebuild rather than once per row.
struct RowTexts {
    std::array<std::string, 12> months;  // January first
    std::array<std::string, 7> weekdays; // Sunday first
    std::string everyYear, everyMonth, everyDay, unspecified;
    std::string disabled, passed, waiting, noTitle;
    std::string repeat, minutes, hours, start, end;
    std::string upcoming, none;

    static RowTexts Load(const i18n::TextLookup& lookup);
};

// When the task runs, in words: "Mar 7,  2025", "Jan 19,  Annually", "30 Monthly", "Daily", "Mon Fri Sun".
std::string ScheduleText(const TaskRow& row, const Schedule& schedule, const RowTexts& texts);

// The line of the scheduled-task list; its pieces are separated by " ---- ".
std::string RowText(const TaskRow& row, const Schedule& schedule, const RowTexts& texts);
// RowText appended to out.
void AppendRowText(std::string& out, const TaskRow& row, const Schedule& schedule, const RowTexts& texts);

// The pieces of a row text, cut at each "----"; a piece resumes after the blank that follows the
// separator, and every piece is trimmed.
std::vector<std::string> RowTextPieces(std::string_view text);

// "Upcoming event: None".
std::string NoUpcomingHint(const RowTexts& texts);
// "Upcoming event: Daily - 7:30:00 - Backup": schedule, time and title pieces of the row text.
std::string UpcomingHint(std::string_view rowText, const RowTexts& texts);

} // namespace orvanta::scheduler
