#include "platform/linux/actions/x11_desktop.h"

#include "platform/linux/x11_display.h"

#include <X11/extensions/dpms.h>
#include <memory>

namespace orvanta::platform::linux_backend {

RequestResult ForceMonitorOff(const std::string& displayName) {
    DisplayConnection display = OpenDisplay(displayName);
    if (!display) return RequestResult::unavailable;
    int eventBase = 0;
    int errorBase = 0;
    if (!DPMSQueryExtension(display.get(), &eventBase, &errorBase) || !DPMSCapable(display.get()))
        return RequestResult::unavailable;
    CARD16 level = 0;
    BOOL enabled = False;
    // Forcing a level while DPMS is disabled is an error, and Xlib's default answer to one ends the process.
    if (!DPMSInfo(display.get(), &level, &enabled)) return RequestResult::unavailable;
    if (!enabled && !DPMSEnable(display.get())) return RequestResult::refused;
    DPMSForceLevel(display.get(), DPMSModeOff);
    XSync(display.get(), False);
    return RequestResult::done;
}

bool X11AlertSound::beep() {
    DisplayConnection display = OpenDisplay(displayName_);
    if (!display) return false;
    XBell(display.get(), 0);
    XSync(display.get(), False);
    return true;
}

} // namespace orvanta::platform::linux_backend
