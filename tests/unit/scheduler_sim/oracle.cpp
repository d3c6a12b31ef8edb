#include "tests/unit/scheduler_sim/oracle.h"

#include <algorithm>
#include <limits>
#include <map>
#include <set>
#include <sstream>

namespace orvanta::sim::oracle {
namespace {

constexpr std::int64_t kDayMs = 86'400'000;

using platform::FromWallMilliseconds;
using platform::LocalDateTime;
using platform::WallMilliseconds;

int DaysIn(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// 0 = Sunday, by Zeller's congruence.
int WeekdayOf(int year, int month, int day) {
    if (month < 3) {
        month += 12;
        year -= 1;
    }
    const int k = year % 100, j = year / 100;
    const int h = (day + 13 * (month + 1) / 5 + k + k / 4 + j / 4 + 5 * j) % 7; // 0 = Saturday
    return (h + 6) % 7;
}

bool RunsOn(const TaskDef& def, int year, int month, int day) {
    switch (def.dateMode) {
    case 1:
        return true;
    case 2:
        return year == def.year && month == def.month && day == def.day;
    case 3:
        return day == std::min(def.day, DaysIn(year, month));
    case 4:
        return month == def.month && day == std::min(def.day, DaysIn(year, month));
    case 5:
        return def.weekdays[WeekdayOf(year, month, day)];
    }
    return false;
}

std::optional<LocalDateTime> ParseKey(const std::string& key) {
    std::vector<int> parts;
    std::stringstream in(key);
    std::string piece;
    while (std::getline(in, piece, '-')) {
        if (piece.empty()) return std::nullopt;
        parts.push_back(std::stoi(piece));
    }
    if (parts.size() != 6) return std::nullopt;
    return LocalDateTime{parts[0], parts[1], parts[2], parts[3], parts[4], parts[5], 0};
}

std::string Describe(const std::string& id, std::int64_t utcMs, const platform::fake::ZoneRules& zone) {
    const LocalDateTime l = FromWallMilliseconds(utcMs + zone.OffsetAt(utcMs));
    std::ostringstream out;
    out << "task " << id << " at " << l.year << "-" << l.month << "-" << l.day << " " << l.hour << ":"
        << l.minute << ":" << l.second << " local (utc ms " << utcMs << ")";
    return out.str();
}

} // namespace

std::int64_t Resolve(const platform::fake::ZoneRules& zone, std::int64_t wallMs) {
    struct Span {
        std::int64_t from, to, offset;
    };
    std::vector<Span> spans;
    std::int64_t from = std::numeric_limits<std::int64_t>::min() / 2;
    std::int64_t offset = zone.initialOffsetMs;
    for (const auto& c : zone.changes) {
        spans.push_back({from, c.utcMs, offset});
        from = c.utcMs;
        offset = c.offsetMs;
    }
    spans.push_back({from, std::numeric_limits<std::int64_t>::max() / 2, offset});
    for (const Span& s : spans) {
        const std::int64_t t = wallMs - s.offset;
        if (t >= s.from && t < s.to) return t;
    }
    for (const Span& s : spans)
        if (s.from + s.offset > wallMs) return s.from;
    return wallMs - offset;
}

std::vector<int> SlotsOn(const TaskDef& def, int year, int month, int day) {
    std::vector<int> slots;
    if (!RunsOn(def, year, month, day)) return slots;
    slots.push_back(def.startSecond);
    if (def.loopMinutes < 1) return slots;
    for (long x = def.startSecond + def.loopMinutes * 60L; x < 86'400; x += def.loopMinutes * 60L) {
        const bool beforeEnd = x < def.endSecond || (def.dateMode == 2 && x == def.endSecond);
        if (!beforeEnd) break;
        slots.push_back(static_cast<int>(x));
    }
    return slots;
}

bool IsSlot(const TaskDef& def, const LocalDateTime& wall) {
    if (wall.millisecond != 0) return false;
    const auto slots = SlotsOn(def, wall.year, wall.month, wall.day);
    const int second = wall.hour * 3600 + wall.minute * 60 + wall.second;
    return std::find(slots.begin(), slots.end(), second) != slots.end();
}

std::optional<std::int64_t> NextAfter(const TaskDef& def, const platform::fake::ZoneRules& zone,
                                      std::int64_t utcMs) {
    const std::int64_t wall = utcMs + zone.OffsetAt(utcMs);
    const std::int64_t firstDay = (wall / kDayMs - 1) * kDayMs;
    for (int d = 0; d < 402; ++d) {
        const LocalDateTime date = FromWallMilliseconds(firstDay + d * kDayMs);
        for (int slot : SlotsOn(def, date.year, date.month, date.day)) {
            const std::int64_t o = Resolve(zone, firstDay + d * kDayMs + slot * 1000LL);
            if (o > utcMs) return o;
        }
    }
    return std::nullopt;
}

std::vector<std::int64_t> Between(const TaskDef& def, const platform::fake::ZoneRules& zone,
                                  std::int64_t fromUtc, std::int64_t toUtc) {
    std::set<std::int64_t> found;
    const std::int64_t firstDay = ((fromUtc + zone.OffsetAt(fromUtc)) / kDayMs - 1) * kDayMs;
    const std::int64_t lastDay = ((toUtc + zone.OffsetAt(toUtc)) / kDayMs + 1) * kDayMs;
    for (std::int64_t day = firstDay; day <= lastDay; day += kDayMs) {
        const LocalDateTime date = FromWallMilliseconds(day);
        for (int slot : SlotsOn(def, date.year, date.month, date.day)) {
            const std::int64_t o = Resolve(zone, day + slot * 1000LL);
            if (o >= fromUtc && o <= toUtc) found.insert(o);
        }
    }
    return {found.begin(), found.end()};
}

std::vector<std::string> Check(const World& world, const std::vector<Probe>& probes, std::int64_t endRealMs,
                               Counts& counts) {
    std::vector<std::string> broken;
    const auto& zone = world.clock().zone();
    const auto& history = world.history();
    auto versionAt = [&](const std::string& id, std::int64_t real) -> const TaskVersion* {
        const auto it = history.find(id);
        if (it == history.end()) return nullptr;
        const TaskVersion* v = nullptr;
        for (const auto& candidate : it->second)
            if (candidate.realMs <= real) v = &candidate;
        return v;
    };
    auto changedNear = [&](const std::string& id, std::int64_t r, std::int64_t before, std::int64_t after) {
        for (const auto& v : history.at(id))
            if (v.realMs >= r - before && v.realMs <= r + after && v.realMs > 0) return true;
        return false;
    };
    auto anyChangeNear = [&](std::int64_t r, std::int64_t before, std::int64_t after) {
        for (const auto& [id, versions] : history)
            if (changedNear(id, r, before, after)) return true;
        return false;
    };
    auto overlaps = [](const std::vector<Interval>& list, std::int64_t from, std::int64_t to) {
        for (const auto& i : list)
            if (i.fromRealMs <= to && i.toRealMs >= from) return true;
        return false;
    };
    auto disturbedNear = [&](std::int64_t r, std::int64_t before, std::int64_t after) {
        const auto& segs = world.segments();
        for (std::size_t i = 1; i < segs.size(); ++i)
            if (segs[i].fromRealMs >= r - before && segs[i].fromRealMs <= r + after) return true;
        for (const auto& s : world.sleeps())
            if (s.fromRealMs <= r + after && s.toRealMs >= r - before) return true;
        for (const auto& l : world.locks())
            if (r >= l.fromRealMs - 1000 && r <= l.toRealMs + 11'000) return true;
        return false;
    };

    // Every run: of an existing, enabled task, at one of its moments, not before it, once.
    std::map<std::pair<std::string, std::int64_t>, int> ranAt;
    std::map<std::string, int> runsPerTask;
    for (const RunRecord& run : world.runs()) {
        ++counts.runsChecked;
        ++runsPerTask[run.taskId];
        const TaskVersion* v = versionAt(run.taskId, run.realMs);
        const auto wall = ParseKey(run.dueKey);
        if (!v || !v->exists || !v->enabled || !wall) {
            broken.push_back("ran task " + run.taskId + " for " + run.dueKey +
                             " while it was deleted or disabled");
            continue;
        }
        // A key is a slot, or the moment after a gap that holds a slot (where the clock skipped it).
        bool isMoment = IsSlot(v->def, *wall);
        for (int slot : SlotsOn(v->def, wall->year, wall->month, wall->day))
            if (Resolve(zone, WallMilliseconds({wall->year, wall->month, wall->day, 0, 0, 0, 0}) +
                                  slot * 1000LL) == Resolve(zone, WallMilliseconds(*wall)))
                isMoment = true;
        if (!isMoment) {
            broken.push_back("ran task " + run.taskId + " for " + run.dueKey +
                             ", which is none of its moments");
            continue;
        }
        const std::int64_t o = Resolve(zone, WallMilliseconds(*wall));
        if (run.wallUtcMs < o)
            broken.push_back("ran " + Describe(run.taskId, o, zone) + " early, at utc ms " +
                             std::to_string(run.wallUtcMs));
        if (run.wallUtcMs - o > 200'000)
            broken.push_back("ran " + Describe(run.taskId, o, zone) + " late, at utc ms " +
                             std::to_string(run.wallUtcMs));
        if (++ranAt[{run.taskId, o}] == 2)
            broken.push_back("ran " + Describe(run.taskId, o, zone) + " twice");
    }
    for (const auto& [id, versions] : history) {
        const auto it = world.launches().find("task:" + id);
        const int launched = it == world.launches().end() ? 0 : it->second;
        if (launched != runsPerTask[id])
            broken.push_back("task " + id + " ran " + std::to_string(runsPerTask[id]) +
                             " times but launched " + std::to_string(launched) + " times");
    }

    // Every moment the wall clock passed while nothing excused a miss must have run at once.
    const auto& segs = world.segments();
    std::int64_t wallMin = std::numeric_limits<std::int64_t>::max(),
                 wallMax = std::numeric_limits<std::int64_t>::min();
    for (std::size_t i = 0; i < segs.size(); ++i) {
        const std::int64_t to = i + 1 < segs.size() ? segs[i + 1].fromRealMs : endRealMs;
        wallMin = std::min(wallMin, segs[i].fromRealMs + segs[i].shiftMs);
        wallMax = std::max(wallMax, to + segs[i].shiftMs);
    }
    struct Crossing {
        std::int64_t real;
        std::string id;
        std::int64_t moment;
        bool wakes;
    };
    std::vector<Crossing> crossings;
    for (const auto& [id, versions] : history) {
        for (std::size_t vi = 0; vi < versions.size(); ++vi) {
            const TaskVersion& v = versions[vi];
            if (!v.exists || !v.enabled) continue;
            const std::int64_t vTo = vi + 1 < versions.size() ? versions[vi + 1].realMs : endRealMs;
            for (std::int64_t o : Between(v.def, zone, wallMin, wallMax)) {
                for (std::size_t i = 0; i < segs.size(); ++i) {
                    const std::int64_t from = segs[i].fromRealMs;
                    const std::int64_t to = i + 1 < segs.size() ? segs[i + 1].fromRealMs : endRealMs;
                    const std::int64_t r = o - segs[i].shiftMs;
                    if (r >= from && r < to && r >= v.realMs && r < vTo)
                        crossings.push_back({r, id, o, v.def.wakes});
                }
            }
        }
    }
    std::sort(crossings.begin(), crossings.end(),
              [](const Crossing& a, const Crossing& b) { return a.real < b.real; });
    auto ranWithin = [&](const std::string& id, std::int64_t moment, std::int64_t from, std::int64_t to) {
        for (const RunRecord& run : world.runs()) {
            if (run.taskId != id || run.realMs < from || run.realMs > to) continue;
            const auto wall = ParseKey(run.dueKey);
            if (wall && Resolve(zone, WallMilliseconds(*wall)) == moment) return true;
        }
        return false;
    };
    std::set<std::pair<std::string, std::int64_t>> seen;
    for (const Crossing& c : crossings) {
        if (!seen.insert({c.id, c.moment}).second) continue; // crossed again after the clock was set back
        ++counts.occurrences;
        if (c.real < 2000 || c.real > endRealMs - 200'000 || changedNear(c.id, c.real, 2000, 2000)) continue;
        bool asleep = false;
        for (const auto& s : world.sleeps())
            if (c.real >= s.fromRealMs && c.real < s.toRealMs) asleep = true;
        if (asleep || disturbedNear(c.real, 12'000, 2'000)) continue;
        if (overlaps(world.confirmations(), c.real - 500, c.real + 1500)) {
            ++counts.keptBehindConfirmation;
            bool accounted = ranWithin(c.id, c.moment, c.real, c.real + 200'000);
            for (const auto& n : world.notRuns()) {
                const auto wall = ParseKey(n.dueKey);
                if (wall && Resolve(zone, WallMilliseconds(*wall)) == c.moment) accounted = true;
            }
            if (!accounted)
                broken.push_back(Describe(c.id, c.moment, zone) + " was lost behind a confirmation");
            continue;
        }
        ++counts.mustRun;
        if (!ranWithin(c.id, c.moment, c.real, c.real + 1500))
            broken.push_back(Describe(c.id, c.moment, zone) + " did not run within 1.5 s");
    }

    // A wake-up task due during a sleep wakes the computer and runs: the first one of each sleep.
    if (world.wakingAllowed()) {
        for (const auto& s : world.sleeps()) {
            for (const Crossing& c : crossings) {
                if (c.real <= s.fromRealMs + 2000 || c.real >= s.toRealMs) continue;
                if (!c.wakes) continue;
                bool disturbed = changedNear(c.id, c.real, c.real - s.fromRealMs + 2000, 2000);
                for (std::size_t i = 1; i < segs.size(); ++i)
                    if (segs[i].fromRealMs >= s.fromRealMs - 12'000 && segs[i].fromRealMs <= c.real + 2000)
                        disturbed = true;
                for (const auto& l : world.locks())
                    if (l.fromRealMs <= c.real + 2000 && l.toRealMs + 11'000 >= s.fromRealMs - 12'000)
                        disturbed = true;
                for (const auto& other : world.sleeps())
                    if (other.toRealMs <= s.fromRealMs && other.toRealMs >= s.fromRealMs - 12'000)
                        disturbed = true;
                if (disturbed) break;
                ++counts.wakeUps;
                // A resume takes up to a minute; rows of the same moment run one after the other, so a
                // confirmation before this one delays it further.
                const std::int64_t limit = overlaps(world.confirmations(), c.real, c.real + 62'000)
                                               ? c.real + 200'000
                                               : c.real + 62'000;
                if (!ranWithin(c.id, c.moment, c.real, limit))
                    broken.push_back(Describe(c.id, c.moment, zone) + " did not wake the computer and run");
                break;
            }
        }
    }

    // Never deaf: when nothing is going on, the poll runs and each timer waits for the soonest moment.
    for (const Probe& p : probes) {
        if (p.pending || disturbedNear(p.realMs, 15'000, 0) || anyChangeNear(p.realMs, 5'000, 0) ||
            overlaps(world.confirmations(), p.realMs - 15'000, p.realMs))
            continue;
        ++counts.probes;
        if (!p.pollActive) broken.push_back("the poll was off at real ms " + std::to_string(p.realMs));
        std::optional<std::int64_t> soonest[2];
        for (const auto& [id, versions] : history) {
            const TaskVersion* v = versionAt(id, p.realMs);
            if (!v || !v->exists || !v->enabled) continue;
            const auto next = NextAfter(v->def, zone, p.wallUtcMs);
            auto& s = soonest[v->def.wakes ? 1 : 0];
            if (next && (!s || *next < *s)) s = next;
        }
        auto text = [](const std::optional<std::int64_t>& t) {
            return t ? std::to_string(*t) : std::string("nothing");
        };
        if (soonest[0] != p.armedDue)
            broken.push_back("at real ms " + std::to_string(p.realMs) + " the plain timer waited for " +
                             text(p.armedDue) + ", the soonest plain moment is " + text(soonest[0]));
        if (soonest[1] != p.armedWake)
            broken.push_back("at real ms " + std::to_string(p.realMs) + " the wake timer waited for " +
                             text(p.armedWake) + ", the soonest wake-up moment is " + text(soonest[1]));
    }
    return broken;
}

} // namespace orvanta::sim::oracle
