#pragma once

#include "platform/api/desktop_notifications.h"

#include <atomic>
#include <memory>
#include <mutex>

struct sd_bus;
struct sd_bus_message;

namespace orvanta::platform::linux_backend {

class SessionBusLoop;

// org.freedesktop.Notifications on the session bus. The connection that shows a notification is the one
// that hears its answers (some servers send them to it alone), so both go through one bus loop.
class LinuxDesktopNotifications : public DesktopNotifications {
  public:
    LinuxDesktopNotifications();
    ~LinuxDesktopNotifications() override;

    bool serverPresent() const override { return present_.load(); }
    bool supportsActions() const override { return present_.load() && actions_.load(); }
    Id notify(const NotificationRequest& request) override;
    void close(Id id) override;
    void setEvents(Events events) override;

  private:
    // Whether a server owns the name or can be started, and what it can show.
    void AskServer(sd_bus* bus);
    void Deliver(sd_bus_message* signal, bool action);

    std::atomic<bool> present_{false};
    std::atomic<bool> actions_{false};
    std::atomic<bool> bodyMarkup_{false}; // the body is sent escaped, as it is plain text
    bool startable_ = false;              // read and written on the loop's thread only
    std::mutex eventsMutex_;
    Events events_;
    std::unique_ptr<SessionBusLoop> loop_;
};

} // namespace orvanta::platform::linux_backend
