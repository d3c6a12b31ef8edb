#include "scheduler/missed_occurrences.h"

#include "data/task_record.h"
#include "scheduler/calendar.h"
#include "scheduler/dispatcher.h"
#include "scheduler/wake_keys.h"

#include <charconv>

namespace orvanta::scheduler {
namespace {

// Further ahead on the wall clock than any change of the zone's offset can bring back: such a row is
// not late, and the exact reckoning, a time-zone conversion per row, is spared for the few near now.
constexpr std::int64_t kSurelyAheadMs = 2 * 86'400'000;

bool SurelyAhead(std::string_view dueSeconds, std::int64_t nowWallMs) {
    std::int64_t seconds = 0;
    const auto [end, ec] = std::from_chars(dueSeconds.data(), dueSeconds.data() + dueSeconds.size(), seconds);
    if (ec != std::errc() || end != dueSeconds.data() + dueSeconds.size()) return false;
    return seconds > (nowWallMs + kSurelyAheadMs) / 1000;
}

} // namespace

void ReportMissedOccurrences(const RunTable& table, const RanOccurrences& ran, RanOccurrences& told,
                             const std::function<bool(const std::string& dueKey)>& kept,
                             const platform::Clock& clock, std::int64_t resumedUtcMs, RunEventSink& events) {
    const std::int64_t nowUtcMs = clock.nowUtcMs();
    const std::int64_t nowWallMs = platform::WallMilliseconds(clock.now());
    for (const TaskRow& row : table.taskRows) {
        if (row[kColEnabled] != "1" || row[kColDateMode] == "0" || row[kColStatus] != kStatusWaiting)
            continue;
        if (SurelyAhead(row[kColDueSeconds], nowWallMs)) continue;
        const std::string key(row[kColDueKey]);
        if (key.empty() || ran.Contains(row[kColId], key) || told.Contains(row[kColId], key)) continue;
        if (kept && kept(key)) continue;
        const auto late = LatenessMs(key, clock);
        if (!late) continue;
        const auto event = ParseCountdown(row[kColEvent]);
        const bool wakes = event == data::kEventWakeOnly || event == data::kEventWakeAndRun;
        if (*late <= (wakes ? kWakeRowGraceMs : kPlainRowGraceMs)) continue;
        const auto wall = ParseDueKey(key);
        if (wall) told.Add(std::string(row[kColId]), key, LocalMilliseconds(*wall));
        const bool slept = resumedUtcMs != 0 && resumedUtcMs >= nowUtcMs - *late;
        events.Record({std::string(row[kColId]), std::string(row[kColTitle]), key, ActionsOf(row),
                       RunOutcome::kSkipped, slept ? "the computer was asleep" : "the clock jumped"});
    }
}

} // namespace orvanta::scheduler
