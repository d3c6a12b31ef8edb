#include "scheduler/resume_handling.h"

#include "data/settings/settings_keys.h"

#include <chrono>

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

void ResumeHandling::NoteAutomaticResume() {
    lastAutomaticResume_.store(std::chrono::steady_clock::now().time_since_epoch().count());
}

bool ResumeHandling::ResumedAutomaticallyJustNow() const {
    // The resume announcement and our timer's firing arrive on different threads in either order; a
    // wake-up without the user counts for the firings of the next minute.
    const long long noted = lastAutomaticResume_.load();
    const auto since = std::chrono::steady_clock::now() -
                       std::chrono::steady_clock::time_point(std::chrono::steady_clock::duration(noted));
    return noted != 0 && since < std::chrono::minutes(1);
}

} // namespace orvanta::scheduler
