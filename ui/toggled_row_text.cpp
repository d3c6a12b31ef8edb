#include "ui/toggled_row_text.h"

#include "scheduler/row_text.h"
#include "scheduler/task_row.h"
#include "scheduler/time_of_day.h"

namespace orvanta::ui {

using namespace scheduler;

std::string ToggledRowText(const TaskRow& row, const i18n::TextLookup& lookup) {
    const Schedule schedule = ParseSchedule(row);
    const RowTexts texts = RowTexts::Load(lookup);
    const std::string& status = row[kColEnabled] != "1"            ? texts.disabled
                                : row[kColStatus] == kStatusPassed ? texts.passed
                                                                   : texts.waiting;
    const std::string_view time = Trimmed(row[kColTime]);
    const std::string_view title = Trimmed(row[kColTitle]);

    std::string out = "           " + status + " ---- " + ScheduleText(row, schedule, texts) + " ---- ";
    const std::int64_t loop = schedule.loopMinutes;
    if (loop < 1) {
        out.append(time);
    } else {
        out.append(lookup.text(kMainWindowSection, "Loop", "Loop")).append(":");
        if (loop <= 60)
            out.append(std::to_string(loop)).append(" ").append(texts.minutes);
        else
            out.append(std::to_string(loop / 60)).append(" ").append(texts.hours);
        out.append("  ").append(texts.start).append(":").append(time);
        out.append("   ").append(texts.end).append(":").append(Trimmed(row[kColEndTime]));
    }
    out.append(" ---- ");
    out.append(title.empty() ? std::string_view(texts.noTitle) : title);
    return out;
}

} // namespace orvanta::ui
