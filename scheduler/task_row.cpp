#include "scheduler/task_row.h"

#include "data/error.h"
#include "data/hex_codec.h"
#include "data/task_record.h"
#include "scheduler/time_of_day.h"

#include <charconv>
#include <cstdint>
#include <optional>
#include <vector>

namespace orvanta::scheduler {
namespace {

struct Source {
    const char* column;
    std::size_t index;
    bool hex;
};

// Where each task-row column comes from. ID and Last are left out of the row: the ID is read by the
// caller, and the save order is already the order of the rows.
constexpr Source kSources[] = {
    {"ID", kColId, false},
    {"Enabled", kColEnabled, false},
    {"Title", kColTitle, true},
    {"DateMode", kColDateMode, false},
    {"Year", kColYear, false},
    {"Month", kColMonth, false},
    {"Day", kColDay, false},
    {"Sun", kColSun, false},
    {"Mon", kColMon, false},
    {"Tue", kColTue, false},
    {"Wed", kColWed, false},
    {"Thu", kColThu, false},
    {"Fri", kColFri, false},
    {"Sat", kColSat, false},
    {"Time", kColTime, true},
    {"Countdown", kColCountdown, false},
    {"Event", kColEvent, false},
    {"Macro", kColMacro, true},
    {"Launch", kColLaunch, true},
    {"Terminate", kColTerminate, true},
    {"OpenFile", kColOpenFile, true},
    {"OpenURL", kColOpenUrl, true},
    {"Message", kColMessage, true},
    {"Loop", kColLoop, false},
    {"EndTime", kColEndTime, true},
    {"Hotkey1", kColHotkey1, false},
    {"Hotkey2", kColHotkey2, false},
    {"hkLoop", kColHkLoop, false},
};

// Decimal text as SQLite gives an integer column; NULL reads as the empty text, which counts as 0.
std::optional<std::int64_t> ParseInteger(std::string_view text) {
    if (text.empty()) return 0;
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

int IntegerField(const TaskRow& row, std::size_t column, const char* name) {
    const auto value = ParseInteger(row[column]);
    if (!value || *value < INT32_MIN || *value > INT32_MAX)
        throw Error(std::string(name) + " \"" + std::string(row[column]) + "\" is not a number");
    return static_cast<int>(*value);
}

int TimeField(const TaskRow& row, std::size_t column, const char* name) {
    const auto seconds = ParseTimeOfDay(row[column]);
    if (!seconds)
        throw Error(std::string(name) + " \"" + std::string(row[column]) + "\" is not a valid time of day");
    return *seconds;
}

} // namespace

TaskRowReader::TaskRowReader(const data::DataSet& rows) {
    if (rows.rowCount() == 0) return;
    for (const Source& source : kSources)
        columns_.push_back(rows.columnIndex(source.column));
}

TaskRowReader::TaskRowReader(const data::ResultRow& row) {
    for (const Source& source : kSources)
        columns_.push_back(row.columnIndex(source.column));
}

void TaskRowReader::Read(const data::DataSet& rows, TaskRow& row) const {
    ReadFrom(rows, row);
}

void TaskRowReader::Read(const data::ResultRow& source, TaskRow& row) const {
    ReadFrom(source, row);
}

template <typename Rows> void TaskRowReader::ReadFrom(const Rows& rows, TaskRow& row) const {
    // kSources lists the columns in ascending order, as the filler takes them.
    TaskRowFiller filler(row);
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        const Source& source = kSources[i];
        const std::string_view value = rows.textAt(columns_[i]);
        std::string& text = filler.Column(source.index);
        if (!source.hex) {
            text.append(value);
            continue;
        }
        // Decoded straight from the result into the row: no text of the row is copied twice.
        try {
            data::HexDecode(value, text);
        } catch (const Error& e) {
            throw Error(std::string(source.column) + " does not decode: " + e.what());
        }
    }
}

TaskRow ReadTaskRow(const data::DataSet& rows) {
    TaskRow row;
    TaskRowReader(rows).Read(rows, row);
    return row;
}

Schedule ParseSchedule(const TaskRow& row) {
    Schedule s;
    s.dateMode = IntegerField(row, kColDateMode, "DateMode");
    // Only the fields the kind uses are read, so a leftover value in an unused one does no harm.
    if (s.dateMode == data::kOnce) s.year = IntegerField(row, kColYear, "Year");
    if (s.dateMode == data::kOnce || s.dateMode == data::kAnnually)
        s.month = IntegerField(row, kColMonth, "Month");
    if (s.dateMode == data::kOnce || s.dateMode == data::kAnnually || s.dateMode == data::kMonthly)
        s.day = IntegerField(row, kColDay, "Day");
    for (std::size_t d = 0; d < 7; ++d)
        s.weekdays[d] = row[kColSun + d] == "1";
    s.startSecond = TimeField(row, kColTime, "Time");
    const auto loop = ParseInteger(row[kColLoop]);
    if (!loop) throw Error("Loop \"" + std::string(row[kColLoop]) + "\" is not a number");
    s.loopMinutes = *loop;
    if (s.loopMinutes > 0) s.endSecond = TimeField(row, kColEndTime, "EndTime");
    CheckSchedule(s);
    return s;
}

platform::LocalDateTime NextOccurrence(const TaskRow& row, const platform::LocalDateTime& now) {
    return NextOccurrence(ParseSchedule(row), now);
}

} // namespace orvanta::scheduler
