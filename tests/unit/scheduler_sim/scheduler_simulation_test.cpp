#include "tests/unit/scheduler_sim/oracle.h"
#include "tests/unit/scheduler_sim/sim_world.h"

#include <cstring>
#include <gtest/gtest.h>
#include <iostream>
#include <random>

// A year of the scheduler's life per zone: random tasks of every kind, same-second collisions, edits
// while a hand-over is pending, clocks set forward and back, sleeps with and without wake-up, daylight
// saving and a database that cannot be read for a while; the oracle then says what had to happen.
namespace orvanta::sim {
namespace {

constexpr std::int64_t kMinute = 60'000;
constexpr std::int64_t kHour = 60 * kMinute;
constexpr std::int64_t kDay = 24 * kHour;
constexpr int kYear = 2027;

class Scenario {
  public:
    Scenario(platform::fake::ZoneRules zone, std::uint32_t seed)
        : random_(seed), zone_(zone),
          world_(zone,
                 oracle::Resolve(zone, platform::WallMilliseconds({kYear, 1, 1, 0, 0, 0, 0})) + Pick(0, 999),
                 seed) {}

    void Run(std::int64_t lengthMs) {
        world_.setWakingAllowed(Pick(0, 99) < 85);
        const int tasks = Pick(8, 14);
        for (int i = 0; i < tasks; ++i)
            Add();
        // Daily tasks in the small hours, where the clocks change, one of them repeating.
        for (int i = 0; i < 3; ++i) {
            TaskDef d;
            d.startSecond = Pick(12, 35) * 300;
            d.loopMinutes = i == 0 ? 10 : 0;
            d.endSecond = d.startSecond + 3 * 3600;
            d.wakes = i == 1;
            AddDef(d);
        }
        world_.Start();
        for (int i = 0; i < 24; ++i)
            world_.At(Anytime(lengthMs), [this] { world_.SetClockBy(ClockChange()); });
        for (int i = 0; i < 30; ++i)
            world_.At(Anytime(lengthMs), [this] { world_.Sleep(Pick(1, 480) * kMinute, Pick(0, 58'000)); });
        for (int i = 0; i < 25; ++i)
            world_.At(Anytime(lengthMs), [this] { SleepBeforeAWakeUp(); });
        for (int i = 0; i < 15; ++i) {
            const std::int64_t at = Anytime(lengthMs);
            world_.At(at, [this] { NearAMoment([this] { world_.LockDatabase(Pick(1'000, 40'000)); }); });
        }
        for (int i = 0; i < 150; ++i)
            world_.At(Anytime(lengthMs), [this] { NearAMoment([this] { Edit(); }); });
        for (std::int64_t t = 37 * kMinute; t < lengthMs; t += 37 * kMinute)
            world_.At(t, [this] { Probe(); });
        // Around each daylight-saving change, something rebuilds the table inside the changed hour (and
        // the timers are looked at right after), where the wall clock misleads most.
        for (const auto& change : zone_.changes) {
            const std::int64_t approx = change.utcMs - world_.wallUtcMs() - 3 * kHour;
            if (approx <= 0 || approx >= lengthMs - kDay) continue;
            for (int i = 0; i < 3; ++i)
                world_.At(approx, [this, change] {
                    const std::int64_t at =
                        world_.realMs() + (change.utcMs - world_.wallUtcMs()) + Pick(1, 3600) * 1000LL;
                    world_.At(at, [this] { Edit(); });
                    world_.At(at + 16'000, [this] { Probe(); });
                });
        }
        world_.RunUntil(lengthMs);
    }

    void Probe() {
        probes_.push_back({world_.realMs(), world_.wallUtcMs(), world_.ArmedUtcMs(true),
                           world_.ArmedUtcMs(false), world_.PollActive(), world_.HandOverPending()});
    }

    const World& world() const { return world_; }
    const std::vector<oracle::Probe>& probes() const { return probes_; }

  private:
    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }
    std::int64_t Anytime(std::int64_t lengthMs) {
        return std::uniform_int_distribution<std::int64_t>(kMinute, lengthMs - kDay)(random_);
    }

    std::int64_t ClockChange() {
        const int sign = Pick(0, 1) ? 1 : -1;
        switch (Pick(0, 5)) {
        case 0:
            return sign * Pick(1'000, 4'000);
        case 1:
            return sign * Pick(5'000, 60'000);
        case 2:
            return sign * kHour;
        case 3:
            return sign * Pick(2, 10) * kHour;
        case 4:
            return kDay;
        default:
            return sign * Pick(100, 900);
        }
    }

    TaskDef RandomDef() {
        TaskDef d;
        const int kind = Pick(0, 99);
        d.dateMode = kind < 30 ? 1 : kind < 50 ? 5 : kind < 65 ? 3 : kind < 75 ? 4 : 2;
        if (!defs_.empty() && Pick(0, 99) < 30) {
            // Same second as another task.
            const TaskDef& other = defs_[Pick(0, static_cast<int>(defs_.size()) - 1)];
            d = other;
            d.wakes = Pick(0, 1) == 1;
            d.countdown = 0;
            return d;
        }
        if (Pick(0, 99) < 35)
            d.startSecond = Pick(6, 42) * 300; // 0:30 to 3:30, where the clocks change
        else
            d.startSecond = Pick(0, 86'399);
        d.year = kYear;
        d.month = Pick(1, 12);
        static const int monthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}; // 2027
        d.day = d.dateMode == 2 ? Pick(1, monthDays[d.month - 1]) : Pick(1, 31);
        if (d.dateMode == 4 && Pick(0, 9) == 0) d.month = 2, d.day = 29;
        for (auto& w : d.weekdays)
            w = Pick(0, 2) == 0;
        if (Pick(0, 9) == 0) d.weekdays = {};
        if (Pick(0, 99) < 35) {
            static const int loops[] = {5, 10, 15, 30, 60, 90, 120};
            d.loopMinutes = loops[Pick(0, 6)];
            d.endSecond = std::min(86'399, d.startSecond + Pick(30, 600) * 60);
        } else {
            d.endSecond = std::min(86'399, d.startSecond + 3600);
        }
        d.wakes = Pick(0, 99) < 35;
        d.countdown = Pick(0, 99) < 12 ? Pick(5, 30) : 0;
        return d;
    }

    void Add() { AddDef(RandomDef()); }

    void AddDef(const TaskDef& d) {
        const std::string id = world_.AddTask(d);
        if (id.empty()) return;
        ids_.push_back(id);
        defs_.push_back(d);
    }

    // Runs the action a moment before or after the next moment of some task, inside its hand-over.
    void NearAMoment(std::function<void()> action) {
        if (world_.asleep() || ids_.empty()) return;
        const std::size_t i = Pick(0, static_cast<int>(ids_.size()) - 1);
        const auto next = oracle::NextAfter(defs_[i], zone_, world_.wallUtcMs());
        if (!next || *next - world_.wallUtcMs() > 30 * kDay) return;
        world_.At(world_.realMs() + (*next - world_.wallUtcMs()) + Pick(-300, 800), std::move(action));
    }

    // Puts the computer to sleep a while before a wake-up task's next moment, until well after it.
    void SleepBeforeAWakeUp() {
        std::vector<std::size_t> waking;
        for (std::size_t i = 0; i < defs_.size(); ++i)
            if (defs_[i].wakes) waking.push_back(i);
        if (waking.empty() || world_.asleep()) return;
        const std::size_t i = waking[Pick(0, static_cast<int>(waking.size()) - 1)];
        const auto next = oracle::NextAfter(defs_[i], zone_, world_.wallUtcMs() + kHour);
        if (!next || *next - world_.wallUtcMs() > 60 * kDay) return;
        const std::int64_t before = Pick(1, 60) * kMinute;
        world_.At(world_.realMs() + (*next - world_.wallUtcMs()) - before,
                  [this, before] { world_.Sleep(before + Pick(1, 240) * kMinute, Pick(0, 58'000)); });
    }

    void Edit() {
        if (world_.asleep() || ids_.empty()) return;
        const std::size_t i = Pick(0, static_cast<int>(ids_.size()) - 1);
        const int kind = Pick(0, 99);
        if (kind < 35) {
            world_.SaveUnchanged(ids_[i]);
        } else if (kind < 60) {
            world_.Toggle(ids_[i]);
        } else if (kind < 75) {
            world_.Delete(ids_[i]);
            ids_.erase(ids_.begin() + i);
            defs_.erase(defs_.begin() + i);
            Add();
        } else {
            TaskDef d = defs_[i];
            d.startSecond = (d.startSecond + Pick(1, 7200)) % 86'400;
            if (d.endSecond <= d.startSecond) d.endSecond = std::min(86'399, d.startSecond + 3600);
            defs_[i] = d;
            world_.Retime(ids_[i], d);
        }
    }

    std::mt19937 random_;
    platform::fake::ZoneRules zone_;
    World world_;
    std::vector<std::string> ids_;
    std::vector<TaskDef> defs_;
    std::vector<oracle::Probe> probes_;
};

struct Zone {
    const char* name;
    platform::fake::ZoneRules (*rules)();
};

const Zone kZones[] = {
    {"Europe/Berlin", [] { return platform::fake::EuropeBerlin(kYear - 1, kYear + 2); }},
    {"America/New_York", [] { return platform::fake::AmericaNewYork(kYear - 1, kYear + 2); }},
    {"Australia/Lord_Howe", [] { return platform::fake::AustraliaLordHowe(kYear - 1, kYear + 2); }},
    {"Asia/Tokyo", [] { return platform::fake::AsiaTokyo(); }},
};

void RunYear(const Zone& zone, std::uint32_t seed, oracle::Counts& total) {
    Scenario scenario(zone.rules(), seed);
    const std::int64_t length = 366 * kDay;
    scenario.Run(length);
    oracle::Counts counts;
    const auto broken = oracle::Check(scenario.world(), scenario.probes(), length, counts);
    for (std::size_t i = 0; i < broken.size() && i < 15; ++i)
        ADD_FAILURE() << zone.name << " seed " << seed << ": " << broken[i];
    if (broken.size() > 15)
        ADD_FAILURE() << zone.name << " seed " << seed << ": " << broken.size() - 15 << " more";
    // A simulation that exercised nothing would prove nothing.
    EXPECT_GT(counts.mustRun, 300) << zone.name << " seed " << seed;
    EXPECT_GT(counts.probes, 1000) << zone.name << " seed " << seed;
    total.occurrences += counts.occurrences;
    total.mustRun += counts.mustRun;
    total.runsChecked += counts.runsChecked;
    total.keptBehindConfirmation += counts.keptBehindConfirmation;
    total.wakeUps += counts.wakeUps;
    total.probes += counts.probes;
    std::cout << zone.name << " seed " << seed << ": " << counts.occurrences << " occurrences, "
              << counts.mustRun << " that had to run on time, " << counts.runsChecked << " runs checked, "
              << counts.wakeUps << " wake-ups, " << counts.keptBehindConfirmation
              << " behind a confirmation, " << counts.probes << " probes of the timers, "
              << scenario.world().passesRun() << " hand-overs, " << scenario.world().errors().size()
              << " error boxes" << std::endl;
}

// Seeds that once found a fault stay here.
const std::uint32_t kKeptSeeds[] = {1, 2, 1004, 1008};

TEST(SchedulerSimulation, AYearPerZoneRunsEveryMomentOnceAndOnTime) {
    oracle::Counts total;
    for (const Zone& zone : kZones)
        for (std::uint32_t seed : kKeptSeeds)
            RunYear(zone, seed, total);
    std::cout << "in all: " << total.occurrences << " occurrences, " << total.mustRun
              << " had to run on time, " << total.runsChecked << " runs checked, " << total.wakeUps
              << " wake-ups, " << total.keptBehindConfirmation << " behind a confirmation, " << total.probes
              << " probes" << std::endl;
}

// More seeds on request: ORVANTA_SIM_SEEDS=100 runs seeds 1000..1099 in every zone.
TEST(SchedulerSimulation, MoreSeedsOnRequest) {
    const char* more = std::getenv("ORVANTA_SIM_SEEDS");
    if (!more) GTEST_SKIP() << "set ORVANTA_SIM_SEEDS to run more seeds";
    oracle::Counts total;
    const char* only = std::getenv("ORVANTA_SIM_ONLY"); // "zone-index:seed"
    if (only) {
        RunYear(kZones[std::atoi(only)], static_cast<std::uint32_t>(std::atoi(std::strchr(only, ':') + 1)),
                total);
        return;
    }
    for (int i = 0; i < std::atoi(more); ++i)
        for (const Zone& zone : kZones)
            RunYear(zone, 1000 + i, total);
}

} // namespace
} // namespace orvanta::sim
