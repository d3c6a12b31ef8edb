#pragma once

#include "data/sqlite_connection.h"
#include "data/task_store.h"
#include "i18n/text_lookup.h"
#include "platform/fake/fake_zone_clock.h"
#include "scheduler/scheduler.h"
#include "tests/support/temp_folder.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace orvanta::sim {

// A timed task as the simulation makes it: what the store is given and what the oracle reasons about.
struct TaskDef {
    int dateMode = 1; // 1 daily, 2 once, 3 monthly, 4 annually, 5 weekly
    int year = 0, month = 0, day = 0;
    std::array<bool, 7> weekdays{}; // Sunday first
    int startSecond = 0;
    int endSecond = 0;
    int loopMinutes = 0;
    bool wakes = false;
    int countdown = 0;

    data::TaskRecord ToRecord(const std::string& title) const;
};

// One version of a task: from realMs on it was this (or deleted, or disabled).
struct TaskVersion {
    std::int64_t realMs = 0;
    bool exists = true;
    bool enabled = true;
    TaskDef def;
};

struct RunRecord {
    std::string taskId, dueKey;
    std::int64_t realMs = 0, wallUtcMs = 0;
};
struct NotRunRecord {
    std::string dueKey, reason;
    std::int64_t realMs = 0;
};
struct Interval {
    std::int64_t fromRealMs = 0, toRealMs = 0;
};
// The wall clock ran as realMs + shiftMs from fromRealMs on (until the next segment).
struct ClockSegment {
    std::int64_t fromRealMs = 0;
    std::int64_t shiftMs = 0;
};

class SimTimer;

// The scheduler core on simulated time: a real task store and the real Scheduler, with the platform's
// timers, the main window's timers and the user played by the simulation. Time only moves when the
// simulation moves it; a modal confirmation runs a nested event loop, as the window's does.
class World : public scheduler::MainTimers,
              public scheduler::TaskActions,
              public scheduler::ReminderPresenter,
              public scheduler::CloseAllowance,
              public scheduler::RunEventSink {
  public:
    World(platform::fake::ZoneRules zone, std::int64_t startUtcMs, std::uint32_t seed);
    ~World() override;

    // Events the simulation schedules, at a real moment.
    void At(std::int64_t realMs, std::function<void()> event);
    // Runs every event up to realMs.
    void RunUntil(std::int64_t realMs);

    // What the user does.
    std::string AddTask(const TaskDef& def);
    void SaveUnchanged(const std::string& id);
    void Retime(const std::string& id, const TaskDef& def);
    void Toggle(const std::string& id);
    void Delete(const std::string& id);
    void SetClockBy(std::int64_t deltaMs);
    void Sleep(std::int64_t forMs, std::int64_t wakeLatencyMs);
    void LockDatabase(std::int64_t forMs);
    void Start(); // the program's start-up rebuild

    std::int64_t realMs() const { return realMs_; }
    std::int64_t wallUtcMs() const { return realMs_ + shiftMs_; }
    const platform::fake::FakeZoneClock& clock() const { return clock_; }
    bool asleep() const { return asleep_; }
    void setWakingAllowed(bool allowed) { wakingAllowed_ = allowed; }
    bool wakingAllowed() const { return wakingAllowed_; }

    // The record the oracle reads.
    const std::map<std::string, std::vector<TaskVersion>>& history() const { return history_; }
    const std::vector<RunRecord>& runs() const { return runs_; }
    const std::vector<NotRunRecord>& notRuns() const { return notRuns_; }
    const std::vector<Interval>& confirmations() const { return confirmations_; }
    const std::vector<Interval>& sleeps() const { return sleeps_; }
    const std::vector<Interval>& locks() const { return locks_; }
    const std::vector<ClockSegment>& segments() const { return segments_; }
    const std::map<std::string, int>& launches() const { return launches_; }
    const std::vector<std::string>& errors() const { return errors_; }
    int passesRun() const { return handOvers_; }

    // What is armed now, as absolute moments; nullopt when disarmed.
    std::optional<std::int64_t> ArmedUtcMs(bool wakeTimer) const;
    bool PollActive() const { return poll_.active; }
    bool HandOverPending() const { return doWake_.active || doNoWake_.active || insideConfirmation_ > 0; }

    // Used by the simulated timers.
    void Register(SimTimer* timer) { timers_.push_back(timer); }
    void Unregister(SimTimer* timer);

    // MainTimers
    void SetPollEnabled(bool enabled) override;
    void StartWakeHandOver() override;
    void StartDueHandOver() override;
    void StartWakeUpNudge() override {}
    // TaskActions
    void TurnMonitorOff() override {}
    void LogOff() override {}
    void LockComputer() override {}
    void ForcedRestart() override {}
    void ForcedShutDown() override {}
    void Suspend(bool) override {}
    void ShowReminderMessage(const std::string&) override {}
    void KillProcessesByName(const std::string&) override {}
    void OpenWebAddress(const std::string&) override {}
    void OpenDocument(const std::string&) override {}
    bool StartTaskMacro(const std::string&) override { return true; }
    void LaunchProgram(const std::string& launch) override;
    // ReminderPresenter: the user looks at it for a while, sometimes postpones (a rebuild).
    void ShowReminder(const scheduler::ReminderRequest& request) override;
    // CloseAllowance
    void AllowClose() override {}
    // RunEventSink: a row a pass started (ran, failed or confirming) is a run; a key the pass refused
    // is a not-run.
    void Record(const scheduler::RunEvent& event) override;

  private:
    struct QtTimer {
        bool active = false;
        std::int64_t dueMonoMs = 0;
        std::int64_t intervalMs = 0;
        bool repeats = false;
    };
    void Start(QtTimer& t);
    void AdvanceTo(std::int64_t realMs);
    // The next moment something happens, and does it; false when nothing happens up to limit.
    bool Step(std::int64_t limitRealMs);
    void Guarded(const std::function<void()>& handler);
    void Record(const std::string& id, bool exists, bool enabled, const TaskDef& def);
    void ScheduleRefresh();
    void Resume();

    test::TempFolder folder_;
    platform::fake::FakeZoneClock clock_;
    std::mt19937 random_;
    std::int64_t realMs_ = 0;
    std::int64_t monoMs_ = 0;
    std::int64_t shiftMs_ = 0;
    bool asleep_ = false;
    std::int64_t sleepEndRealMs_ = 0;
    std::int64_t wakeLatencyMs_ = 0;
    bool wakingAllowed_ = true;
    int insideConfirmation_ = 0;
    int handOvers_ = 0;

    QtTimer poll_{false, 0, 10'000, true};
    QtTimer doWake_{false, 0, 500, false};
    QtTimer doNoWake_{false, 0, 500, false};
    QtTimer refresh_{false, 0, 3'000, false};

    std::multimap<std::int64_t, std::function<void()>> events_;
    std::vector<SimTimer*> timers_;
    std::unique_ptr<data::SqliteConnection> lock_;

    std::map<std::string, std::vector<TaskVersion>> history_;
    std::map<std::string, TaskDef> defs_;
    std::vector<RunRecord> runs_;
    std::vector<NotRunRecord> notRuns_;
    std::vector<Interval> confirmations_, sleeps_, locks_;
    std::vector<ClockSegment> segments_;
    std::map<std::string, int> launches_;
    std::vector<std::string> errors_;

    i18n::EnglishTextLookup text_;
    std::unique_ptr<data::TaskStore> store_;
    std::unique_ptr<platform::WakeTimerFactory> timerFactory_;
    std::unique_ptr<scheduler::Scheduler> scheduler_;
};

} // namespace orvanta::sim
