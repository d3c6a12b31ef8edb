#include "scheduler/wake_keys.h"

#include <charconv>

namespace orvanta::scheduler {
namespace {

std::string FirstWaiting(const DisplayRows& rows, std::size_t rowCount, bool wantWake) {
    const std::size_t n = std::min(rowCount, rows.size());
    for (std::size_t i = 0; i < n; ++i) {
        const DisplayRow r = rows[i];
        if (r[kDispStatus] != kStatusWaiting || r[kDispEnabled] != "1") continue;
        if (r[kDispWakeKey].empty() == wantWake) continue;
        return std::string(wantWake ? r[kDispWakeKey] : r[kDispDueKey]);
    }
    return {};
}

} // namespace

std::string SoonestWakeKey(const DisplayRows& rows, std::size_t rowCount) {
    return FirstWaiting(rows, rowCount, true);
}

std::string SoonestDueKey(const DisplayRows& rows, std::size_t rowCount) {
    return FirstWaiting(rows, rowCount, false);
}

std::optional<platform::LocalDateTime> ParseDueKey(const std::string& key) {
    int parts[6];
    const char* p = key.data();
    const char* end = key.data() + key.size();
    for (int i = 0; i < 6; ++i) {
        if (p == end || *p < '0' || *p > '9') return std::nullopt; // no signs: "--" is no number
        auto [next, ec] = std::from_chars(p, end, parts[i]);
        if (ec != std::errc() || next == p) return std::nullopt;
        p = next;
        if (i < 5) {
            if (p == end || *p != '-') return std::nullopt;
            ++p;
        }
    }
    if (p != end) return std::nullopt;
    return platform::LocalDateTime{parts[0], parts[1], parts[2], parts[3], parts[4], parts[5], 0};
}

std::optional<std::int64_t> LatenessMs(const std::string& key, const platform::Clock& clock) {
    const auto due = ParseDueKey(key);
    if (!due) return std::nullopt;
    return clock.nowUtcMs() - clock.utcMsOf(*due);
}

std::optional<std::int64_t> LatenessMs(const std::string& key, const platform::LocalDateTime& now) {
    const auto due = ParseDueKey(key);
    if (!due) return std::nullopt;
    return platform::WallMilliseconds(now) - platform::WallMilliseconds(*due);
}

// Whole seconds as the clock shows them: now's milliseconds do not count, the key has none.
bool InWakeWindow(std::int64_t latenessMs) {
    return latenessMs >= -3000 && latenessMs < 60'000;
}
bool InDueWindow(std::int64_t latenessMs) {
    return latenessMs >= -3000 && latenessMs < 4000;
}

bool WithinWakeWindow(const std::string& key, const platform::LocalDateTime& now) {
    const auto late = LatenessMs(key, now);
    return late && InWakeWindow(*late);
}

bool WithinDueWindow(const std::string& key, const platform::LocalDateTime& now) {
    const auto late = LatenessMs(key, now);
    return late && InDueWindow(*late);
}

} // namespace orvanta::scheduler
