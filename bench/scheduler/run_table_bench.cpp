// Rebuild cost at 1,000, 10,000 and 86,400 timed tasks: the pure builder on an in-memory result, and
// the whole rebuild against a task.db on disk, both the program's usual one (over the table of the rebuild
// before) and its first (the table made from nothing). Beside them, the parts a rebuild is made of: the
// store's held read, SQLite's own work for the timed-task query alone and with every value fetched, and
// making and freeing the table's rows alone.

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
#include <sqlite3.h>

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

// A task.db of the given number of mixed timed tasks in a folder of its own, removed afterwards.
class TaskDatabase {
  public:
    explicit TaskDatabase(std::int64_t count)
        : dir_(std::filesystem::temp_directory_path() / "orvanta-run-table-bench"),
          path_((dir_ / "task.db").string()) {
        std::filesystem::create_directories(dir_);
        std::filesystem::remove(path_);
        data::TaskStore(path_, clock_).EnsureTaskTable();
        // One transaction for the whole fill; saving task by task would take minutes.
        data::SqliteConnection db(path_);
        std::mt19937 rng(1);
        data::InTransaction(db, [&] {
            for (std::int64_t i = 1; i <= count; ++i)
                db.execute(data::sql::InsertStatement(MixedTask(rng, i),
                                                      static_cast<std::int32_t>(1'500'000'000 + i)));
        });
    }
    ~TaskDatabase() { std::filesystem::remove_all(dir_); }

    const std::string& path() const { return path_; }
    const platform::Clock& clock() const { return clock_; }

  private:
    std::filesystem::path dir_;
    std::string path_;
    FixedClock clock_;
};

// Every rebuild after the program's first one writes over the table before it.
void BM_RebuildRunTable(benchmark::State& state) {
    const TaskDatabase database(state.range(0));
    const data::TaskStore store(database.path(), database.clock());
    const i18n::EnglishTextLookup english;
    scheduler::RunTableRebuilder rebuilder(store, database.clock(), english,
                                           [](const scheduler::RunTableBuild&) {});
    rebuilder.RebuildRunTable({}, "");
    for (auto _ : state)
        benchmark::DoNotOptimize(rebuilder.RebuildRunTable({}, "").table.taskRowCount);
    // The rebuild must stay linear: the time per task at 86,400 is held against that at 1,000.
    state.counters["per_task"] =
        benchmark::Counter(static_cast<double>(state.range(0)),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RebuildRunTable)->Arg(1000)->Arg(10000)->Arg(86400)->Unit(benchmark::kMillisecond);

// The window's own change followed by its refresh: a task switched off or on (the delayed rebuild after
// a toggle), or saved from the editor, which moves it to the end of the read. The write is not timed.
void RefreshAfterWrites(benchmark::State& state, bool save) {
    const TaskDatabase database(state.range(0));
    const data::TaskStore store(database.path(), database.clock());
    const i18n::EnglishTextLookup english;
    scheduler::RunTableRebuilder rebuilder(store, database.clock(), english,
                                           [](const scheduler::RunTableBuild&) {});
    rebuilder.RebuildRunTable({}, "");
    std::int64_t round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string id = std::to_string(1 + (round * 7919) % state.range(0));
        if (save) {
            std::mt19937 rng(static_cast<unsigned>(round));
            store.UpdateTask(id, MixedTask(rng, std::stoll(id)));
        } else {
            store.SetTaskEnabled(id, round % 2 == 0);
        }
        ++round;
        state.ResumeTiming();
        benchmark::DoNotOptimize(rebuilder.RefreshRunTable({}, "").table.taskRowCount);
        if (!rebuilder.TookInOwnWritesOnly()) {
            state.SkipWithError("the refresh read every task");
            break;
        }
    }
}
void BM_RefreshAfterToggle(benchmark::State& state) {
    RefreshAfterWrites(state, false);
}
void BM_RefreshAfterSave(benchmark::State& state) {
    RefreshAfterWrites(state, true);
}
BENCHMARK(BM_RefreshAfterToggle)->Arg(1000)->Arg(86400)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshAfterSave)->Arg(1000)->Arg(86400)->Unit(benchmark::kMillisecond);

// The first rebuild, at start-up or in orvantactl, makes every row from nothing; freeing them is timed too.
void BM_FirstRebuildRunTable(benchmark::State& state) {
    const TaskDatabase database(state.range(0));
    const data::TaskStore store(database.path(), database.clock());
    const i18n::EnglishTextLookup english;
    for (auto _ : state) {
        scheduler::RunTableRebuilder rebuilder(store, database.clock(), english,
                                               [](const scheduler::RunTableBuild&) {});
        benchmark::DoNotOptimize(rebuilder.RebuildRunTable({}, "").table.taskRowCount);
    }
}
BENCHMARK(BM_FirstRebuildRunTable)->Arg(1000)->Arg(10000)->Arg(86400)->Unit(benchmark::kMillisecond);

void BM_ReadTimedTasks(benchmark::State& state) {
    const TaskDatabase database(state.range(0));
    const data::TaskStore store(database.path(), database.clock());
    for (auto _ : state)
        benchmark::DoNotOptimize(store.ReadTimedTasks(false).rowCount());
}
BENCHMARK(BM_ReadTimedTasks)->Arg(86400)->Unit(benchmark::kMillisecond);

// The timed-task query stepped through on a store connection without reading a value.
void BM_TimedTaskQueryInSqlite(benchmark::State& state) {
    const TaskDatabase database(state.range(0));
    const std::string sql = data::sql::ReadTimedTasksQuery(false);
    for (auto _ : state) {
        data::SqliteConnection db(database.path());
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &stmt, nullptr);
        std::int64_t rows = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW)
            ++rows;
        sqlite3_finalize(stmt);
        if (rows != state.range(0)) {
            state.SkipWithError("the query did not return every task");
            break;
        }
    }
}
BENCHMARK(BM_TimedTaskQueryInSqlite)->Arg(1000)->Arg(86400)->Unit(benchmark::kMillisecond);

// The store's row-by-row read with every value fetched and nothing kept: the part of a rebuild that is
// the database's.
void BM_TimedTaskRowsStepped(benchmark::State& state) {
    const TaskDatabase database(state.range(0));
    const data::TaskStore store(database.path(), database.clock());
    for (auto _ : state) {
        std::int64_t rows = 0;
        store.ReadTimedTasks(false, [&rows](const data::ResultRow&) { ++rows; });
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(BM_TimedTaskRowsStepped)->Arg(1000)->Arg(86400)->Unit(benchmark::kMillisecond);

// As many empty task rows and display rows as a full table has, made and freed: what the table's own
// layout costs before a single value is written.
void BM_RunTableStorage(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        scheduler::RunTable table;
        table.taskRows.resize(count);
        table.displayRows->Reserve(count, 0);
        for (std::size_t i = 0; i < count; ++i)
            table.displayRows->AppendPlaced({});
        benchmark::DoNotOptimize(table.taskRows.data());
        benchmark::DoNotOptimize(table.displayRows.get());
    }
}
BENCHMARK(BM_RunTableStorage)->Arg(86400)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
