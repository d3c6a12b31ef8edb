#pragma once

#include "platform/api/tray_hosts.h"

#include <memory>
#include <mutex>

namespace orvanta::platform::linux_backend {

class SessionBusLoop;

} // namespace orvanta::platform::linux_backend

struct sd_bus;

namespace orvanta::platform::linux_backend {

// Watches both kinds of tray host: the owner of the X screen's _NET_SYSTEM_TRAY_S<n> selection (through
// XFixes selection events on a display connection of its own), and org.kde.StatusNotifierWatcher on the
// session bus with a host registered with it. Without a display or a bus that kind is simply absent.
class LinuxTrayHostWatch : public TrayHostWatch {
  public:
    // embeddingCounts false: the XEmbed tray is not watched at all. On a Wayland desktop the one XWayland
    // shows takes no Wayland window, so counting it would hide the window into an icon nobody sees.
    explicit LinuxTrayHostWatch(bool embeddingCounts = true);
    ~LinuxTrayHostWatch() override;

    TrayHosts current() const override;
    void watch(std::function<void(const TrayHosts&)> onChange) override;
    void stop() override;

  private:
    struct XSide;
    void AskStatusNotifier(sd_bus* bus);

    mutable std::mutex mutex_;
    TrayHosts hosts_;
    std::function<void(const TrayHosts&)> onChange_;
    std::unique_ptr<XSide> x_;
    std::unique_ptr<SessionBusLoop> loop_;
};

} // namespace orvanta::platform::linux_backend
