#include "scheduler/poll_tick.h"

#include "scheduler/calendar.h"

namespace orvanta::scheduler {

long long PollGapSeconds(const platform::LocalDateTime& then, const platform::LocalDateTime& now) {
    const long long days = DayNumber(DateOf(now)) - DayNumber(DateOf(then));
    const long long ms = MillisecondOfDay(now) - MillisecondOfDay(then);
    return ms / 1000 + days * 86400; // C++ division truncates toward zero
}

PollTicker::PollTicker(SchedulerState& state, const platform::Clock& clock, std::function<int()> acLineStatus,
                       std::function<void()> rebuild, std::function<void()> warnOnBattery)
    : state_(state), clock_(clock), acLineStatus_(std::move(acLineStatus)), rebuild_(std::move(rebuild)),
      warnOnBattery_(std::move(warnOnBattery)) {}

bool PollTicker::Tick() {
    const platform::LocalDateTime now = clock_.now();
    const long long gap = PollGapSeconds(state_.lastPollTime, now);
    const bool jumped = gap > 15 || gap < 5;
    // Recorded before the rebuild, so a rebuild that fails still leaves the next tick a normal gap.
    state_.lastPollTime = now;
    if (jumped) rebuild_();
    const int status = acLineStatus_();
    if (status == 0 && state_.wasOnMains) warnOnBattery_();
    state_.wasOnMains = status != 0;
    return jumped;
}

} // namespace orvanta::scheduler
