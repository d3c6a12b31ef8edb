#include "tests/unit/scheduler_sim/sim_world.h"

#include "data/error.h"

#include <algorithm>
#include <limits>

namespace orvanta::sim {
namespace {

constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

std::string TimeText(int second) {
    return std::to_string(second / 3600) + ":" + (second / 60 % 60 < 10 ? "0" : "") +
           std::to_string(second / 60 % 60) + ":" + (second % 60 < 10 ? "0" : "") +
           std::to_string(second % 60);
}

} // namespace

data::TaskRecord TaskDef::ToRecord(const std::string& title) const {
    data::TaskRecord r;
    r.title = title;
    r.dateMode = dateMode;
    r.year = year;
    r.month = month;
    r.day = day;
    std::int64_t* flags[7] = {&r.sun, &r.mon, &r.tue, &r.wed, &r.thu, &r.fri, &r.sat};
    for (int i = 0; i < 7; ++i)
        *flags[i] = weekdays[i] ? 1 : 0;
    r.time = TimeText(startSecond);
    r.endTime = TimeText(endSecond);
    r.loop = loopMinutes;
    r.countdown = countdown;
    r.event = wakes ? data::kEventWakeAndRun : data::kEventNone;
    return r;
}

// A platform timer on the simulated wall clock: it fires once the wall clock reaches its moment while
// the machine is awake; one that wakes the computer also ends a sleep at its moment.
class SimTimer : public platform::WakeTimer {
  public:
    SimTimer(World& world, std::string name, bool wakes)
        : world_(world), name_(std::move(name)), wakes_(wakes) {
        world_.Register(this);
    }
    ~SimTimer() override { world_.Unregister(this); }
    const std::string& name() const override { return name_; }
    bool wakesSystem() const override { return wakes_; }
    void setOnFired(std::function<void()> onFired) override { onFired_ = std::move(onFired); }
    bool arm(const platform::LocalDateTime& dueLocal) override {
        dueUtcMs = world_.clock().utcMsOf(dueLocal);
        return true;
    }
    bool armAfter(std::chrono::milliseconds delay) override {
        dueUtcMs = world_.wallUtcMs() + delay.count();
        return true;
    }
    void cancel() override { dueUtcMs.reset(); }
    void Fire() {
        dueUtcMs.reset();
        if (onFired_) onFired_();
    }

    std::optional<std::int64_t> dueUtcMs;

  private:
    World& world_;
    const std::string name_;
    const bool wakes_;
    std::function<void()> onFired_;
};

namespace {
class SimTimerFactory : public platform::WakeTimerFactory {
  public:
    explicit SimTimerFactory(World& world) : world_(world) {}
    std::unique_ptr<platform::WakeTimer> create(const std::string& name, bool wakeSystem) override {
        return std::make_unique<SimTimer>(world_, name, wakeSystem && world_.wakingAllowed());
    }

  private:
    World& world_;
};
} // namespace

World::World(platform::fake::ZoneRules zone, std::int64_t startUtcMs, std::uint32_t seed)
    : clock_(std::move(zone), startUtcMs), random_(seed), shiftMs_(startUtcMs) {
    segments_.push_back({0, shiftMs_});
    store_ = std::make_unique<data::TaskStore>(folder_.file("task.db"), clock_);
    store_->EnsureTaskTable();
    timerFactory_ = std::make_unique<SimTimerFactory>(*this);
    scheduler_ = std::make_unique<scheduler::Scheduler>(
        scheduler::Scheduler::Ports{*store_, clock_, text_, *timerFactory_, *this, *this, *this, *this,
                                    [] { return 1; }, [] {}, [] { return false; }, *this});
    poll_.active = true;
    poll_.dueMonoMs = monoMs_ + poll_.intervalMs;
}

void World::Record(const scheduler::RunEvent& e) {
    using scheduler::RunOutcome;
    switch (e.outcome) {
    case RunOutcome::kRan:
    case RunOutcome::kFailed:
    case RunOutcome::kRefused:
    case RunOutcome::kConfirmationOpened:
        runs_.push_back({e.taskId, e.dueKey, realMs_, wallUtcMs()});
        break;
    case RunOutcome::kSkipped:
        // Only the pass's own refusals: an occurrence told of as gone by at a rebuild never reached it.
        if (e.reason == "too late" || e.reason.rfind("not due", 0) == 0)
            notRuns_.push_back({e.dueKey, e.reason, realMs_});
        break;
    default:
        break;
    }
}

World::~World() {
    scheduler_.reset();
    lock_.reset();
}

void World::Unregister(SimTimer* timer) {
    timers_.erase(std::remove(timers_.begin(), timers_.end(), timer), timers_.end());
}

void World::Guarded(const std::function<void()>& handler) {
    // The window's guard: an error becomes its box, and the program goes on.
    try {
        handler();
    } catch (const std::exception& e) {
        errors_.push_back(e.what());
    }
}

void World::Start() {
    Guarded([this] { scheduler_->RebuildRunTable(); });
}

void World::At(std::int64_t realMs, std::function<void()> event) {
    events_.emplace(realMs, std::move(event));
}

void World::Start(QtTimer& t) {
    t.active = true;
    t.dueMonoMs = monoMs_ + t.intervalMs;
}

void World::SetPollEnabled(bool enabled) {
    if (enabled && !poll_.active)
        Start(poll_);
    else if (!enabled)
        poll_.active = false;
}
void World::StartWakeHandOver() {
    Start(doWake_);
}
void World::StartDueHandOver() {
    Start(doNoWake_);
}

void World::LaunchProgram(const std::string& launch) {
    ++launches_[launch];
}

void World::ShowReminder(const scheduler::ReminderRequest& request) {
    if (request.launchMarker == "OpenEXE")
        ++launches_[request.parameters.empty() ? request.program
                                               : request.program + "|" + request.parameters];
    // The user reads it for a while; everything else goes on meanwhile, as in the window's modal loop.
    const std::int64_t hold = std::uniform_int_distribution<std::int64_t>(1'000, 40'000)(random_);
    ++insideConfirmation_;
    const std::int64_t from = realMs_;
    if (random_() % 5 == 0) {
        // A postponement: the table is rebuilt under the waiting pass.
        At(realMs_ + hold / 2, [this] { Guarded([this] { scheduler_->RebuildRunTable(); }); });
    }
    RunUntil(realMs_ + hold);
    --insideConfirmation_;
    confirmations_.push_back({from, realMs_});
}

void World::AdvanceTo(std::int64_t realMs) {
    if (realMs <= realMs_) return;
    if (!asleep_) monoMs_ += realMs - realMs_;
    realMs_ = realMs;
    clock_.setUtcMs(wallUtcMs());
}

bool World::Step(std::int64_t limit) {
    // Candidates, in real time.
    std::int64_t next = kNever;
    int kind = -1; // 0 event, 1 platform timer, 2 Qt timer, 3 resume
    SimTimer* timer = nullptr;
    QtTimer* qt = nullptr;
    if (!events_.empty() && events_.begin()->first < next) {
        next = events_.begin()->first;
        kind = 0;
    }
    if (asleep_) {
        std::int64_t resumeAt = sleepEndRealMs_;
        for (SimTimer* t : timers_)
            if (t->wakesSystem() && t->dueUtcMs)
                resumeAt = std::min(resumeAt, *t->dueUtcMs - shiftMs_ + wakeLatencyMs_);
        if (resumeAt < next) {
            next = std::max(resumeAt, realMs_);
            kind = 3;
        }
    } else {
        for (SimTimer* t : timers_) {
            if (!t->dueUtcMs) continue;
            const std::int64_t at = std::max(*t->dueUtcMs - shiftMs_, realMs_);
            if (at < next) {
                next = at;
                kind = 1;
                timer = t;
            }
        }
        for (QtTimer* t : {&doWake_, &doNoWake_, &refresh_, &poll_}) {
            if (!t->active) continue;
            const std::int64_t at = realMs_ + std::max<std::int64_t>(t->dueMonoMs - monoMs_, 0);
            if (at < next) {
                next = at;
                kind = 2;
                qt = t;
            }
        }
    }
    if (kind < 0 || next > limit) return false;
    AdvanceTo(next);
    switch (kind) {
    case 0: {
        auto event = std::move(events_.begin()->second);
        events_.erase(events_.begin());
        event();
        break;
    }
    case 1:
        timer->Fire();
        break;
    case 2:
        if (qt->repeats)
            qt->dueMonoMs += qt->intervalMs;
        else
            qt->active = false;
        if (qt == &poll_)
            Guarded([this] { scheduler_->tmr302Timer(); });
        else if (qt == &refresh_)
            Guarded([this] { scheduler_->RebuildRunTable(); });
        else {
            ++handOvers_;
            if (qt == &doWake_)
                Guarded([this] { scheduler_->doWakeTimer(); });
            else
                Guarded([this] { scheduler_->doNoWakeTimer(); });
        }
        break;
    case 3:
        Resume();
        break;
    }
    return true;
}

void World::RunUntil(std::int64_t realMs) {
    while (Step(realMs)) {
    }
    AdvanceTo(realMs);
}

void World::Record(const std::string& id, bool exists, bool enabled, const TaskDef& def) {
    history_[id].push_back({realMs_, exists, enabled, def});
}

std::string World::AddTask(const TaskDef& def) {
    std::string id;
    Guarded([&] {
        const std::string title = "task " + std::to_string(defs_.size() + 1);
        data::TaskRecord record = def.ToRecord(title);
        id = store_->InsertTask(record);
        record.launch = "task:" + id;
        store_->UpdateTaskKeepOrder(id, record);
        defs_[id] = def;
        Record(id, true, true, def);
        scheduler_->RebuildRunTable();
    });
    return id;
}

void World::SaveUnchanged(const std::string& id) {
    if (lock_ || !defs_.count(id)) return;
    Guarded([&] {
        data::TaskRecord record = defs_[id].ToRecord("saved again");
        record.launch = "task:" + id;
        record.enabled = history_[id].back().enabled ? 1 : 0;
        store_->UpdateTask(id, record);
        scheduler_->RebuildRunTable();
    });
}

void World::Retime(const std::string& id, const TaskDef& def) {
    if (lock_ || !defs_.count(id)) return;
    Guarded([&] {
        data::TaskRecord record = def.ToRecord("moved");
        record.launch = "task:" + id;
        record.enabled = history_[id].back().enabled ? 1 : 0;
        store_->UpdateTask(id, record);
        defs_[id] = def;
        Record(id, true, record.enabled == 1, def);
        scheduler_->RebuildRunTable();
    });
}

void World::ScheduleRefresh() {
    Start(refresh_);
}

void World::Toggle(const std::string& id) {
    if (lock_ || !defs_.count(id)) return;
    Guarded([&] {
        const bool enable = !history_[id].back().enabled;
        store_->SetTaskEnabled(id, enable);
        Record(id, true, enable, defs_[id]);
        // As the list does: the row changes at once, the table is rebuilt a few seconds later.
        scheduler::RunTable& table = scheduler_->table();
        for (auto& row : table.taskRows)
            if (row[scheduler::kColId] == id) row.Set(scheduler::kColEnabled, enable ? "1" : "0");
        scheduler::DisplayRows& shown = *table.displayRows;
        for (std::size_t i = 0; i < shown.size(); ++i)
            if (shown[i][scheduler::kDispId] == id) shown.Set(i, scheduler::kDispEnabled, enable ? "1" : "0");
        ScheduleRefresh();
    });
}

void World::Delete(const std::string& id) {
    if (lock_ || !defs_.count(id)) return;
    Guarded([&] {
        store_->DeleteTask(id);
        Record(id, false, false, defs_[id]);
        defs_.erase(id);
        scheduler_->RebuildRunTable();
    });
}

void World::SetClockBy(std::int64_t deltaMs) {
    shiftMs_ += deltaMs;
    segments_.push_back({realMs_, shiftMs_});
    clock_.setUtcMs(wallUtcMs());
}

void World::Sleep(std::int64_t forMs, std::int64_t wakeLatencyMs) {
    if (asleep_ || insideConfirmation_ > 0) return;
    asleep_ = true;
    sleepEndRealMs_ = realMs_ + forMs;
    wakeLatencyMs_ = wakeLatencyMs;
    sleeps_.push_back({realMs_, realMs_ + forMs});
}

void World::Resume() {
    asleep_ = false;
    sleeps_.back().toRealMs = realMs_;
    // Timers whose moment went by during the sleep fire as the machine comes back (Step does it).
}

void World::LockDatabase(std::int64_t forMs) {
    if (lock_) return;
    lock_ = std::make_unique<data::SqliteConnection>(store_->path());
    lock_->execute("BEGIN EXCLUSIVE;");
    const std::int64_t from = realMs_;
    At(realMs_ + forMs, [this, from] {
        lock_->execute("COMMIT;");
        lock_.reset();
        locks_.push_back({from, realMs_});
    });
}

std::optional<std::int64_t> World::ArmedUtcMs(bool wakeTimer) const {
    for (const SimTimer* t : timers_)
        if ((t->name() == "pcwake2") == wakeTimer) return t->dueUtcMs;
    return std::nullopt;
}

} // namespace orvanta::sim
