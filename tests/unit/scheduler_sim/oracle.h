#pragma once

#include "platform/fake/fake_zone_clock.h"
#include "tests/unit/scheduler_sim/sim_world.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What must and must not have happened, worked out from the task definitions, the zone's rules and the
// record of the simulated world, without the scheduler's own code: occurrences are listed day by day as
// wall-clock slots and turned into absolute moments by searching the zone's offset spans.
namespace orvanta::sim::oracle {

// The absolute moment of a wall-clock reading: the earliest span that shows it; in a gap, the start of
// the span after it.
std::int64_t Resolve(const platform::fake::ZoneRules& zone, std::int64_t wallMs);

// The wall-clock slots (seconds of the day) a task has on a date, none when it does not run that day.
std::vector<int> SlotsOn(const TaskDef& def, int year, int month, int day);

// Whether a wall-clock moment is one of the task's slots.
bool IsSlot(const TaskDef& def, const platform::LocalDateTime& wall);

// The first absolute occurrence strictly after utcMs, within 400 days.
std::optional<std::int64_t> NextAfter(const TaskDef& def, const platform::fake::ZoneRules& zone,
                                      std::int64_t utcMs);

// Every absolute occurrence in [fromUtc, toUtc], each once.
std::vector<std::int64_t> Between(const TaskDef& def, const platform::fake::ZoneRules& zone,
                                  std::int64_t fromUtc, std::int64_t toUtc);

struct Probe {
    std::int64_t realMs = 0, wallUtcMs = 0;
    std::optional<std::int64_t> armedWake, armedDue;
    bool pollActive = false, pending = false;
};

struct Counts {
    long occurrences = 0; // absolute occurrences crossed by the wall clock
    long mustRun = 0;     // of those, the ones the scheduler had no excuse to miss
    long runsChecked = 0;
    long keptBehindConfirmation = 0;
    long wakeUps = 0;
    long probes = 0;
};

// Every broken rule, as a line of text; empty when the run was right.
std::vector<std::string> Check(const World& world, const std::vector<Probe>& probes, std::int64_t endRealMs,
                               Counts& counts);

} // namespace orvanta::sim::oracle
