#include "task_rows.h"

#include "data/hex_codec.h"

#include <algorithm>
#include <stdexcept>

namespace orvanta::scheduler::testing {
namespace {

const std::vector<std::string> kColumns = {
    "ID",        "Enabled",  "Title",   "DateMode", "Year",      "Month", "Day",   "Sun",
    "Mon",       "Tue",      "Wed",     "Thu",      "Fri",       "Sat",   "Time",  "Loop",
    "EndTime",   "Hotkey1",  "Hotkey2", "hkLoop",   "Countdown", "Event", "Macro", "Launch",
    "Terminate", "OpenFile", "OpenURL", "Message",  "Last"};

std::size_t IndexOf(const std::string& column) {
    const auto it = std::find(kColumns.begin(), kColumns.end(), column);
    if (it == kColumns.end()) throw std::invalid_argument("no column " + column);
    return static_cast<std::size_t>(it - kColumns.begin());
}

} // namespace

void TaskFolderTest::SetUp() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() /
           ("orvanta-" + std::string(test->test_suite_name()) + "-" +
            std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" + test->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
}

void TaskFolderTest::TearDown() {
    std::filesystem::remove_all(dir_);
}

data::TaskRecord Task(std::int64_t id, int dateMode, const std::string& time, const std::string& title) {
    data::TaskRecord t;
    t.id = id;
    t.dateMode = dateMode;
    t.time = time;
    t.title = title;
    t.endTime = "23:59:59";
    t.year = 2025;
    t.month = 1;
    t.day = 1;
    t.last = std::to_string(1'500'000'000 + id);
    return t;
}

data::DataSet::Row RowOf(const data::TaskRecord& t) {
    auto n = [](std::int64_t v) { return std::optional<std::string>(std::to_string(v)); };
    auto h = [](const std::string& s) { return std::optional<std::string>(data::HexEncode(s)); };
    return {n(t.id),        n(t.enabled),  h(t.title),     n(t.dateMode), n(t.year),    n(t.month),
            n(t.day),       n(t.sun),      n(t.mon),       n(t.tue),      n(t.wed),     n(t.thu),
            n(t.fri),       n(t.sat),      h(t.time),      n(t.loop),     h(t.endTime), n(t.hotkey1),
            n(t.hotkey2),   n(t.hkLoop),   n(t.countdown), n(t.event),    h(t.macro),   h(t.launch),
            h(t.terminate), h(t.openFile), h(t.openUrl),   h(t.message),  t.last};
}

void SetStored(data::DataSet::Row& row, const std::string& column, const std::string& stored) {
    row[IndexOf(column)] = stored;
}

data::DataSet TimedRows(std::vector<data::DataSet::Row> rows) {
    std::vector<data::DataSet::Column> columns;
    for (const auto& name : kColumns) {
        const bool text = name == "Title" || name == "Time" || name == "EndTime" || name == "Macro" ||
                          name == "Launch" || name == "Terminate" || name == "OpenFile" ||
                          name == "OpenURL" || name == "Message" || name == "Last";
        columns.push_back({name, text ? data::ColumnKind::Text : data::ColumnKind::Integer});
    }
    return data::DataSet(std::move(columns), std::move(rows));
}

data::DataSet TimedRows(const std::vector<data::TaskRecord>& tasks) {
    std::vector<data::DataSet::Row> rows;
    for (const auto& t : tasks)
        rows.push_back(RowOf(t));
    return TimedRows(std::move(rows));
}

} // namespace orvanta::scheduler::testing
