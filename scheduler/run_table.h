#pragma once

#include "scheduler/display_rows.h"
#include "scheduler/task_row_text.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace orvanta::scheduler {

// Task-row columns. The gaps (17, 27, 31-33) are kept empty so that the column numbers stay those every
// reader of the table already uses.
inline constexpr std::size_t kColId = 0;
inline constexpr std::size_t kColEnabled = 1;
inline constexpr std::size_t kColTitle = 2;
inline constexpr std::size_t kColDateMode = 3;
inline constexpr std::size_t kColYear = 4;
inline constexpr std::size_t kColMonth = 5;
inline constexpr std::size_t kColDay = 6;
inline constexpr std::size_t kColSun = 7; // Sun, Mon, ... Sat are kColSun + 0 ... kColSun + 6
inline constexpr std::size_t kColMon = 8;
inline constexpr std::size_t kColTue = 9;
inline constexpr std::size_t kColWed = 10;
inline constexpr std::size_t kColThu = 11;
inline constexpr std::size_t kColFri = 12;
inline constexpr std::size_t kColSat = 13;
inline constexpr std::size_t kColTime = 14;
inline constexpr std::size_t kColCountdown = 15;
inline constexpr std::size_t kColEvent = 16;
inline constexpr std::size_t kColMacro = 18;
inline constexpr std::size_t kColLaunch = 19;
inline constexpr std::size_t kColTerminate = 20;
inline constexpr std::size_t kColOpenFile = 21;
inline constexpr std::size_t kColOpenUrl = 22;
inline constexpr std::size_t kColMessage = 23;
inline constexpr std::size_t kColDueSeconds = 24;
inline constexpr std::size_t kColStatus = 25;
inline constexpr std::size_t kColPlaced = 26;
inline constexpr std::size_t kColDueKey = 28;
inline constexpr std::size_t kColLoop = 29;
inline constexpr std::size_t kColEndTime = 30;
inline constexpr std::size_t kColFired = 34;
inline constexpr std::size_t kColHotkey1 = 35;
inline constexpr std::size_t kColHotkey2 = 36;
inline constexpr std::size_t kColHkLoop = 37;

// Display-row columns.
inline constexpr std::size_t kDispText = 0;
inline constexpr std::size_t kDispStatus = 1;
inline constexpr std::size_t kDispId = 2;
inline constexpr std::size_t kDispEnabled = 3;
inline constexpr std::size_t kDispDueSeconds = 4;
inline constexpr std::size_t kDispCountdown = 5;
inline constexpr std::size_t kDispDueKey = 6;
inline constexpr std::size_t kDispWakeKey = 7; // the due key of a wake-up task, else empty

// Status values are compared by the dispatcher and the waiters, so they are never localized.
inline constexpr const char* kStatusPassed = "Passed";
inline constexpr const char* kStatusWaiting = "Waiting";

// Beyond this many timed tasks the rest are not scheduled (see BuildRunTable).
inline constexpr std::size_t kMaxTimedTasks = 86'400;

struct RunTable {
    // Equals taskRows.size(); the dispatcher and the waiters use it as their loop bound.
    std::size_t taskRowCount = 0;
    // In the order the store returned them (oldest save first).
    std::vector<TaskRow> taskRows;
    // The absolute moment (UTC milliseconds) the occurrences were computed from.
    std::int64_t builtAtUtcMs = 0;
    // In display order. When no task is displayed this is the single row whose text is the localized
    // "None" and whose other columns are empty, exactly as the list shows it. Shared with the list,
    // which shows them without a copy; a rebuild writes over them only when nothing else holds them.
    std::shared_ptr<DisplayRows> displayRows = std::make_shared<DisplayRows>();
};

} // namespace orvanta::scheduler
