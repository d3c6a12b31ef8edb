#include "scheduler/power_on_test.h"

#include "data/settings/settings_keys.h"

namespace orvanta::scheduler {

PowerOnTest::PowerOnTest(Ports ports) : ports_(std::move(ports)) {}

bool PowerOnTest::Offer(const std::function<bool()>& askToRun) {
    using data::settings_keys::kFirstRun;
    if (!ports_.settings.read(kFirstRun)) return false;
    // Written before asking, so a first start on battery is not asked again either.
    ports_.settings.write(kFirstRun, false);

    const platform::AcLineStatus ac = ports_.power.acLineStatus();
    if (ac == platform::AcLineStatus::Offline) return false;
    // A test the system would refuse to start only leaves the user waiting for a power-on that never comes.
    const platform::SleepStates allowed = ports_.power.allowedSleepStates();
    if (!allowed.any()) return false;
    // Nor is a test offered that could not wake the computer: it would stay asleep until the user came.
    if (!ports_.power.wakeFromSleep().possible()) return false;
    if (!askToRun()) return false;

    testTimer_ = ports_.timers.create("waketest", true);
    if (!testTimer_ || !testTimer_->wakesSystem() || !testTimer_->armAfter(kWakeAfter)) {
        testTimer_.reset();
        return false;
    }
    testTimer_->setOnFired([this] { ports_.mainTimers.StartWakeUpNudge(); });
    // On mains the deeper sleep is tried; of unknown power, the lighter one; and only a state the system
    // allows.
    const bool hibernate = allowed.suspend ? allowed.hibernate && ac == platform::AcLineStatus::Online : true;
    ports_.suspend(hibernate);
    return true;
}

} // namespace orvanta::scheduler
