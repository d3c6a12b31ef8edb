// Rebuild cost at 1,000, 10,000 and 86,400 timed tasks: the pure builder on an in-memory result, and
// the whole rebuild against a task.db on disk.
#include "data/data_set.h"
#include "data/hex_codec.h"
#include "data/sqlite_connection.h"
#include "data/task_statements.h"
#include "data/task_store.h"
#include "scheduler/run_table_builder.h"
#include "scheduler/run_table_rebuilder.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <random>

namespace {

using namespace orvanta;

class FixedClock : public platform::Clock {
  public:
    platform::LocalDateTime now() const override { return {2025, 3, 5, 12, 0, 0, 0}; }
};

// A mix of every kind, some repeating, some disabled, some passed, so that every path is taken.
data::TaskRecord MixedTask(std::mt19937& rng, std::int64_t id) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    data::TaskRecord t;
    t.id = id;
    t.enabled = pick(0, 9) == 0 ? 0 : 1;
    t.title = "Task number " + std::to_string(id);
    t.dateMode = pick(1, 5);
    t.year = pick(2024, 2026);
    t.month = pick(1, 12);
    t.day = pick(1, 31);
    t.mon = pick(0, 1), t.wed = pick(0, 1), t.fri = pick(0, 1), t.sun = pick(0, 1);
    t.time = std::to_string(pick(0, 23)) + ":" + std::to_string(pick(10, 59)) + ":00";
    t.loop = pick(0, 3) == 0 ? 30 : 0;
    t.endTime = "23:59:59";
    t.event = pick(0, 9);
    t.launch = "/usr/bin/true | --flag";
    t.message = "Reminder text for the task";
    t.last = std::to_string(1'500'000'000 + id);
    return t;
}

data::DataSet InMemoryRows(std::size_t count) {
    static const char* kNames[] = {"ID",        "Enabled",  "Title",     "DateMode", "Year",    "Month",
                                   "Day",       "Sun",      "Mon",       "Tue",      "Wed",     "Thu",
                                   "Fri",       "Sat",      "Time",      "Loop",     "EndTime", "Hotkey1",
                                   "Hotkey2",   "hkLoop",   "Countdown", "Event",    "Macro",   "Launch",
                                   "Terminate", "OpenFile", "OpenURL",   "Message",  "Last"};
    std::vector<data::DataSet::Column> columns;
    for (const char* name : kNames)
        columns.push_back({name, data::ColumnKind::Text});
    std::mt19937 rng(1);
    std::vector<data::DataSet::Row> rows;
    for (std::size_t i = 1; i <= count; ++i) {
        const auto t = MixedTask(rng, static_cast<std::int64_t>(i));
        auto n = [](std::int64_t v) { return std::optional<std::string>(std::to_string(v)); };
        auto h = [](const std::string& s) { return std::optional<std::string>(data::HexEncode(s)); };
        rows.push_back({n(t.id),        n(t.enabled), h(t.title),   n(t.dateMode), n(t.year),
                        n(t.month),     n(t.day),     n(t.sun),     n(t.mon),      n(t.tue),
                        n(t.wed),       n(t.thu),     n(t.fri),     n(t.sat),      h(t.time),
                        n(t.loop),      h(t.endTime), n(t.hotkey1), n(t.hotkey2),  n(t.hkLoop),
                        n(t.countdown), n(t.event),   h(t.macro),   h(t.launch),   h(t.terminate),
                        h(t.openFile),  h(t.openUrl), h(t.message), t.last});
    }
    return data::DataSet(std::move(columns), std::move(rows));
}

void BM_BuildRunTable(benchmark::State& state) {
    const data::DataSet rows = InMemoryRows(static_cast<std::size_t>(state.range(0)));
    const i18n::EnglishTextLookup english;
    const platform::LocalDateTime now = FixedClock().now();
    for (auto _ : state) {
        state.PauseTiming();
        data::DataSet copy = rows; // the builder consumes its input
        state.ResumeTiming();
        auto build = scheduler::BuildRunTable(std::move(copy), now, {}, "", english);
        benchmark::DoNotOptimize(build);
    }
}
BENCHMARK(BM_BuildRunTable)->Arg(1000)->Arg(10000)->Arg(86400)->Unit(benchmark::kMillisecond);

void BM_RebuildRunTable(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() / "orvanta-run-table-bench";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "task.db").string();
    std::filesystem::remove(path);
    const FixedClock clock;
    const data::TaskStore store(path, clock);
    store.EnsureTaskTable();
    {
        // One transaction for the whole fill; saving task by task would take minutes.
        data::SqliteConnection db(path);
        std::mt19937 rng(1);
        data::InTransaction(db, [&] {
            for (std::int64_t i = 1; i <= state.range(0); ++i)
                db.execute(data::sql::InsertStatement(MixedTask(rng, i),
                                                      static_cast<std::int32_t>(1'500'000'000 + i)));
        });
    }
    const i18n::EnglishTextLookup english;
    scheduler::RunTableRebuilder rebuilder(store, clock, english, [](const scheduler::RunTableBuild&) {});
    for (auto _ : state)
        benchmark::DoNotOptimize(rebuilder.RebuildRunTable({}, "").table.taskRowCount);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_RebuildRunTable)->Arg(1000)->Arg(10000)->Arg(86400)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
