#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace orvanta::platform {

enum class NotificationUrgency { Low = 0, Normal = 1, Critical = 2 };

struct NotificationRequest {
    std::string appName;
    // An icon name of the desktop's theme.
    std::string appIcon;
    std::string summary;
    std::string body; // plain text, whatever the server makes of markup
    // The desktop entry the server files the notification under (its name without ".desktop").
    std::string desktopEntry;
    NotificationUrgency urgency = NotificationUrgency::Normal;
    // The buttons, each as the key sent back when it is chosen and the label shown.
    std::vector<std::pair<std::string, std::string>> actions;
    // -1: the server's default; 0: until it is answered or withdrawn.
    int timeoutMilliseconds = -1;
};

// The desktop's notification server (the bubbles beside the clock), where there is one.
class DesktopNotifications {
  public:
    using Id = std::uint32_t; // the server's number for one notification; 0 is none

    struct Events {
        // The user chose one of the notification's actions.
        std::function<void(Id, const std::string& actionKey)> actionInvoked;
        // The notification went away: expired, dismissed, answered or withdrawn.
        std::function<void(Id)> closed;
    };

    virtual ~DesktopNotifications() = default;

    // Whether a server is there now (or would be started by the first notification).
    virtual bool serverPresent() const = 0;
    // Whether that server shows a notification's actions as buttons.
    virtual bool supportsActions() const = 0;

    // Shows the notification and waits for the server's number; 0 when it could not be shown.
    virtual Id notify(const NotificationRequest& request) = 0;
    // Withdraws a notification shown before; one already gone is left alone.
    virtual void close(Id id) = 0;

    // Where the server's answers go, on a thread the backend owns: the receiver hands them over to its own
    // thread and does not call back into the backend from there. Empty events end the delivery; when that
    // call returns, none is being delivered.
    virtual void setEvents(Events events) = 0;
};

} // namespace orvanta::platform
