#include "tools/orvantactl/task_builder.h"

#include "data/plain_text.h"
#include "tools/orvantactl/date_time_text.h"
#include "tools/orvantactl/generated_title.h"
#include "tools/orvantactl/usage_error.h"

namespace orvanta::ctl {
namespace {

using data::TaskRecord;

// An action given an empty value is no action, as an empty field unchecks its box in the editor.
std::string ValueOf(const std::optional<std::string>& value) {
    return value.value_or(std::string());
}

void Refuse(bool given, const char* option, const std::string& kind) {
    if (given) throw UsageError(std::string("option ") + option + " does not apply to a " + kind + " task");
}

void Require(bool given, const char* option, const std::string& kind) {
    if (!given) throw UsageError("a " + kind + " task needs " + option);
}

// Only the options the editor offers for the trigger kind may be given.
void CheckOptionsFitTrigger(const AddOptions& o, int dateMode) {
    const std::string kind = DateModeName(dateMode);
    const bool usesDate =
        dateMode == data::kOnce || dateMode == data::kMonthly || dateMode == data::kAnnually;
    if (usesDate) Require(o.date.has_value(), "--date", kind);
    Refuse(!usesDate && o.date, "--date", kind);
    if (dateMode == data::kWeekly) Require(o.days.has_value(), "--days", kind);
    Refuse(dateMode != data::kWeekly && o.days, "--days", kind);
    if (dateMode == data::kHotkey) {
        Require(o.hotkey.has_value(), "--hotkey", kind);
        Refuse(o.start.has_value(), "--start", kind);
        Refuse(o.repeatMinutes.has_value(), "--repeat", kind);
        Refuse(o.end.has_value(), "--end", kind);
        Refuse(o.countdown.has_value(), "--countdown", kind);
        if (o.event == data::kEventWakeOnly || o.event == data::kEventWakeAndRun)
            throw UsageError("a hotkey task cannot wake the computer");
    } else {
        Refuse(o.hotkey.has_value(), "--hotkey", kind);
    }
}

void FillDate(TaskRecord& t, const AddOptions& o, const platform::LocalDateTime& now) {
    // The editor's date fields start at today, and the kinds that ignore them still store them.
    t.year = now.year;
    t.month = now.month;
    t.day = now.day;
    if (t.dateMode == data::kOnce) {
        const CalendarDate d = ParseIsoDate(*o.date);
        t.year = d.year;
        t.month = d.month;
        t.day = d.day;
    } else if (t.dateMode == data::kMonthly) {
        t.day = ParseDayOfMonth(*o.date);
    } else if (t.dateMode == data::kAnnually) {
        const CalendarDate d = ParseMonthDay(*o.date);
        t.month = d.month;
        t.day = d.day;
    }
}

void FillWeekdays(TaskRecord& t, const AddOptions& o) {
    // Monday to Friday are the editor's untouched boxes, and it saves them whatever the trigger.
    const std::array<bool, 7> days =
        o.days.value_or(std::array<bool, 7>{false, true, true, true, true, true, false});
    std::int64_t* columns[] = {&t.sun, &t.mon, &t.tue, &t.wed, &t.thu, &t.fri, &t.sat};
    for (std::size_t i = 0; i < days.size(); ++i)
        *columns[i] = days[i] ? 1 : 0;
}

void FillTimes(TaskRecord& t, const AddOptions& o, const platform::LocalDateTime& now) {
    const TimeOfDay start = o.start.value_or(TimeOfDay{now.hour, now.minute, 0});
    const TimeOfDay end = o.end.value_or(TimeOfDay{23, 59, 59});
    if (t.dateMode != data::kHotkey && start.secondsSinceMidnight() > end.secondsSinceMidnight())
        throw UsageError("the end time " + FormatTimeOfDay(end) + " is earlier than the start time " +
                         FormatTimeOfDay(start));
    t.time = FormatTimeOfDay(start);
    t.endTime = FormatTimeOfDay(end);
    t.loop = o.repeatMinutes.value_or(0);
}

void FillActions(TaskRecord& t, const AddOptions& o) {
    const std::string program = ValueOf(o.launch);
    if (o.parameters && program.empty()) throw UsageError("option --params needs --launch");
    // Readers take the program up to the first bar and the parameters up to the next one.
    if (program.find('|') != std::string::npos || ValueOf(o.parameters).find('|') != std::string::npos)
        throw UsageError("a program and its parameters cannot contain \"|\"");
    if (!program.empty()) t.launch = program + " | " + ValueOf(o.parameters);
    t.macro = ValueOf(o.macro);
    // The editor keeps only the program's file name: every process of that name is ended.
    t.terminate = FileNamePart(ValueOf(o.terminate));
    t.openFile = ValueOf(o.openFile);
    t.openUrl = ValueOf(o.openUrl);
    t.message = data::Trimmed(ValueOf(o.message));

    const bool programActions = !t.macro.empty() || !t.launch.empty() || !t.terminate.empty() ||
                                !t.openFile.empty() || !t.openUrl.empty() || !t.message.empty();
    const int event = o.event.value_or(data::kEventNone);
    const bool wake = event == data::kEventWakeOnly || event == data::kEventWakeAndRun;
    if (event >= data::kEventRestart && event <= data::kEventMonitorOff && programActions)
        throw UsageError("the event " + EventName(event) + " cannot be combined with program actions");
    if (event == data::kEventWakeAndRun && !programActions)
        throw UsageError("the event wake+run needs at least one program action");
    if (event == data::kEventNone && !programActions)
        throw UsageError("nothing to do: give an --event or at least one action");
    // Waking is one box in the editor; the code says whether other actions follow it.
    t.event = wake ? (programActions ? data::kEventWakeAndRun : data::kEventWakeOnly) : event;
}

} // namespace

TaskRecord BuildTaskRecord(const AddOptions& o, const platform::LocalDateTime& now) {
    TaskRecord t;
    t.dateMode = o.dateMode.value_or(data::kOnce);
    CheckOptionsFitTrigger(o, static_cast<int>(t.dateMode));
    t.enabled = o.disabled ? 0 : 1;
    FillDate(t, o, now);
    FillWeekdays(t, o);
    FillTimes(t, o, now);
    t.hotkey1 = o.hotkey ? o.hotkey->modifier : 0;
    // 47 is what the editor saves when no key was chosen.
    t.hotkey2 = o.hotkey ? o.hotkey->key : 47;
    t.hkLoop = 0;
    t.countdown = o.countdown.value_or(0);
    FillActions(t, o);
    t.title = data::Trimmed(ValueOf(o.title));
    // The editor does not let "*" be typed into a title.
    if (t.title.find('*') != std::string::npos) throw UsageError("a title cannot contain \"*\"");
    if (t.title.empty()) t.title = GeneratedTitle(t);
    return t;
}

} // namespace orvanta::ctl
