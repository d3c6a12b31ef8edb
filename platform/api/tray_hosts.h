#pragma once

#include <functional>

namespace orvanta::platform {

// The notification-area hosts the desktop has at one moment. A panel often starts after the programs of
// the session, and may be restarted or replaced while they run, so this is asked again and again.
struct TrayHosts {
    // A host that takes in the icon's own window: the XEmbed tray of the X screen, the Windows
    // notification area.
    bool embedding = false;
    // A StatusNotifierWatcher on the session bus with a host registered to show the items.
    bool statusNotifier = false;

    bool any() const { return embedding || statusNotifier; }
    bool operator==(const TrayHosts&) const = default;
};

// Tells which notification-area hosts there are, and when that changes.
class TrayHostWatch {
  public:
    virtual ~TrayHostWatch() = default;

    virtual TrayHosts current() const = 0;

    // From now on onChange gets the new hosts each time they change, on a thread the watch owns: the
    // receiver hands them over to its own thread and does not call back into the watch from there.
    virtual void watch(std::function<void(const TrayHosts&)> onChange) = 0;

    // Ends delivery; when it returns no change is being delivered and none will be.
    virtual void stop() = 0;
};

} // namespace orvanta::platform
