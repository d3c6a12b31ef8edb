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
    if (!askToRun()) return false;

    testTimer_ = ports_.timers.create("waketest", true);
    if (testTimer_) {
        testTimer_->setOnFired([this] { ports_.mainTimers.StartWakeUpNudge(); });
        testTimer_->armAfter(kWakeAfter);
    }
    // On mains the deeper sleep is tried; of unknown power, the lighter one.
    ports_.suspend(ac == platform::AcLineStatus::Online);
    return true;
}

} // namespace orvanta::scheduler
