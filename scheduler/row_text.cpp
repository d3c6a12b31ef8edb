#include "scheduler/row_text.h"

#include "data/task_record.h"
#include "scheduler/time_of_day.h"

#include <charconv>
#include <cstdint>

namespace orvanta::scheduler {
namespace {

constexpr std::string_view kSeparator = "----";

// ScheduleText appended to out: the list's lines are built piece by piece in one buffer, as the list is
// rebuilt for every task on every change.
void AppendScheduleText(std::string& out, const TaskRow& row, const Schedule& schedule,
                        const RowTexts& texts) {
    const std::size_t start = out.size();
    switch (schedule.dateMode) {
    case data::kOnce:
        out.append(texts.months[schedule.month - 1]).append(" ").append(row[kColDay]).append(",  ");
        out.append(row[kColYear]);
        break;
    case data::kAnnually:
        out.append(texts.months[schedule.month - 1]).append(" ").append(row[kColDay]).append(",  ");
        out.append(texts.everyYear);
        break;
    case data::kMonthly:
        out.append(row[kColDay]).append(" ").append(texts.everyMonth);
        break;
    case data::kDaily:
        out.append(texts.everyDay);
        break;
    default:
        // Monday first, Sunday last, as the week reads in the list.
        for (std::size_t d : {1, 2, 3, 4, 5, 6, 0})
            if (schedule.weekdays[d]) out.append(texts.weekdays[d]).append(" ");
        break;
    }
    const std::string_view trimmed = Trimmed(std::string_view(out).substr(start));
    if (trimmed.empty()) {
        out.resize(start);
        out.append(texts.unspecified);
        return;
    }
    const std::size_t leading = static_cast<std::size_t>(trimmed.data() - (out.data() + start));
    out.resize(start + leading + trimmed.size());
    out.erase(start, leading);
}

void AppendNumber(std::string& out, std::int64_t value) {
    char digits[24];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

} // namespace

RowTexts RowTexts::Load(const i18n::TextLookup& lookup) {
    auto text = [&](const char* key, const char* english) {
        return lookup.text(kMainWindowSection, key, english);
    };
    static constexpr const char* kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    static constexpr const char* kWeekdays[7] = {"Sun", "Mon", "Tues", "Wed", "Thurs", "Fri", "Sat"};
    RowTexts t;
    for (std::size_t i = 0; i < 12; ++i)
        t.months[i] = text(kMonths[i], kMonths[i]);
    for (std::size_t i = 0; i < 7; ++i)
        t.weekdays[i] = text(kWeekdays[i], kWeekdays[i]);
    t.everyYear = text("EveryYear", "Annually");
    t.everyMonth = text("EveryMonth", "Monthly");
    t.everyDay = text("EveryDay", "Daily");
    t.unspecified = text("Unspecified", "Unspecified");
    t.disabled = text("Disabled", "Disabled");
    t.passed = text("Pass", "Passed");
    t.waiting = text("Wait", "Waiting");
    t.noTitle = text("NoTitle", "No title");
    t.repeat = text("Loop", "Repeat");
    t.minutes = text("Minutely", "Minutes");
    t.hours = text("Hourly", "Hours");
    t.start = text("Start", "Start");
    t.end = text("End", "End");
    t.upcoming = text("Upcoming", "Upcoming event:");
    t.none = text("None", "None");
    return t;
}

std::string ScheduleText(const TaskRow& row, const Schedule& schedule, const RowTexts& texts) {
    std::string out;
    AppendScheduleText(out, row, schedule, texts);
    return out;
}

std::string RowText(const TaskRow& row, const Schedule& schedule, const RowTexts& texts) {
    std::string out;
    AppendRowText(out, row, schedule, texts);
    return out;
}

void AppendRowText(std::string& out, const TaskRow& row, const Schedule& schedule, const RowTexts& texts) {
    const std::string& status = row[kColEnabled] != "1"            ? texts.disabled
                                : row[kColStatus] == kStatusPassed ? texts.passed
                                                                   : texts.waiting;
    const std::string_view title = Trimmed(row[kColTitle]);
    const std::string_view time = Trimmed(row[kColTime]);
    const std::int64_t loop = schedule.loopMinutes;
    out.append("           ").append(status).append(" ---- ");
    AppendScheduleText(out, row, schedule, texts);
    out.append(" ---- ");
    if (loop < 1) {
        out.append(time);
    } else {
        out.append(texts.repeat).append(": ");
        if (loop <= 60) {
            AppendNumber(out, loop);
            out.append(" ").append(texts.minutes);
        } else {
            AppendNumber(out, loop / 60);
            out.append(" ").append(texts.hours);
        }
        out.append("  ").append(texts.start).append(": ").append(time);
        out.append("   ").append(texts.end).append(": ").append(Trimmed(row[kColEndTime]));
    }
    out.append(" ---- ");
    if (title.empty())
        out.append(texts.noTitle);
    else
        out.append(title);
}

std::vector<std::string> RowTextPieces(std::string_view text) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (true) {
        const std::size_t cut = start < text.size() ? text.find(kSeparator, start) : std::string_view::npos;
        if (cut == std::string_view::npos) {
            pieces.emplace_back(Trimmed(start < text.size() ? text.substr(start) : std::string_view()));
            return pieces;
        }
        pieces.emplace_back(Trimmed(text.substr(start, cut - start)));
        // The character after the separator is its trailing blank, whatever it actually is.
        start = cut + kSeparator.size() + 1;
    }
}

std::string NoUpcomingHint(const RowTexts& texts) {
    return texts.upcoming + " " + texts.none;
}

std::string UpcomingHint(std::string_view rowText, const RowTexts& texts) {
    const auto pieces = RowTextPieces(rowText);
    auto piece = [&](std::size_t i) { return i < pieces.size() ? pieces[i] : std::string(); };
    return texts.upcoming + " " + piece(1) + " - " + piece(2) + " - " + piece(3);
}

} // namespace orvanta::scheduler
