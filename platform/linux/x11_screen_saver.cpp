#include "platform/linux/x11_screen_saver.h"

#include "platform/linux/x11_display.h"

#include <X11/extensions/dpms.h>
#include <X11/extensions/scrnsaver.h>
#include <memory>

namespace orvanta::platform::linux_backend {

bool X11ScreenSaver::wakeDisplay() {
    DisplayConnection display = OpenDisplay(displayName_);
    if (!display) return false;
    int eventBase = 0;
    int errorBase = 0;
    if (DPMSQueryExtension(display.get(), &eventBase, &errorBase) && DPMSCapable(display.get()))
        DPMSForceLevel(display.get(), DPMSModeOn);
    XResetScreenSaver(display.get());
    XSync(display.get(), False);
    return true;
}

std::optional<std::chrono::milliseconds> X11ScreenSaver::userIdleTime() {
    DisplayConnection display = OpenDisplay(displayName_);
    if (!display) return std::nullopt;
    int eventBase = 0;
    int errorBase = 0;
    if (!XScreenSaverQueryExtension(display.get(), &eventBase, &errorBase)) return std::nullopt;
    std::unique_ptr<XScreenSaverInfo, int (*)(void*)> info(XScreenSaverAllocInfo(), XFree);
    if (!info || !XScreenSaverQueryInfo(display.get(), DefaultRootWindow(display.get()), info.get()))
        return std::nullopt;
    return std::chrono::milliseconds(info->idle);
}

} // namespace orvanta::platform::linux_backend
