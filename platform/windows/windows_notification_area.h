#pragma once

#include "platform/api/desktop_notifications.h"
#include "platform/api/tray_hosts.h"

namespace orvanta::platform::windows_backend {

// The taskbar's notification area is part of the shell and always there; the toolkit's icon lives in it.
class WindowsTrayHostWatch : public TrayHostWatch {
  public:
    TrayHosts current() const override { return {true, false}; }
    void watch(std::function<void(const TrayHosts&)>) override {}
    void stop() override {}
};

// Windows has no org.freedesktop.Notifications: the balloons come from the notification-area icon.
class WindowsDesktopNotifications : public DesktopNotifications {
  public:
    bool serverPresent() const override { return false; }
    bool supportsActions() const override { return false; }
    Id notify(const NotificationRequest&) override { return 0; }
    void close(Id) override {}
    void setEvents(Events) override {}
};

} // namespace orvanta::platform::windows_backend
