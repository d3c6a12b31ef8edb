#include "scheduler/resume_handling.h"

#include "data/settings/settings_keys.h"

namespace orvanta::scheduler {

ResumeHandling::ResumeHandling(Ports ports) : ports_(std::move(ports)) {}

void ResumeHandling::KeepAwakeWithDisplayOn() {
    ports_.keepAwake.wakeDisplay();
    ports_.keepAwake.holdSystemAwake();
}

void ResumeHandling::OnResume(const platform::ResumeEvent& event) {
    if (!event.automatic) {
        ports_.keepAwake.release();
        return;
    }
    KeepAwakeWithDisplayOn();
    // Only the exact text "1" asks for the lock; an administrator's other values mean nothing.
    if (ports_.settings.read(data::settings_keys::kLockOnAutomaticResume) == "1") ports_.lockComputer();
}

void ResumeHandling::Timer12Timer() {
    if (ports_.nudgePointer) ports_.nudgePointer();
    KeepAwakeWithDisplayOn();
}

} // namespace orvanta::scheduler
