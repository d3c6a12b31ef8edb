#pragma once

#include "platform/api/desktop_notifications.h"

#include <vector>

namespace orvanta::platform::fake {

// A notification server the test sets up: it records what it is asked and answers as the test says.
class FakeDesktopNotifications : public DesktopNotifications {
  public:
    bool present = false;
    bool actions = false;
    // What notify() answers; a server that fails answers 0.
    bool failing = false;

    std::vector<NotificationRequest> shown;
    std::vector<Id> closedIds;

    bool serverPresent() const override { return present; }
    bool supportsActions() const override { return present && actions; }
    Id notify(const NotificationRequest& request) override {
        if (!present || failing) return 0;
        shown.push_back(request);
        return Id(shown.size());
    }
    void close(Id id) override { closedIds.push_back(id); }
    void setEvents(Events events) override { events_ = std::move(events); }

    // The user chooses an action of the notification, as the server reports it.
    void invoke(Id id, const std::string& key) const {
        if (events_.actionInvoked) events_.actionInvoked(id, key);
    }
    void dismiss(Id id) const {
        if (events_.closed) events_.closed(id);
    }
    bool listened() const { return bool(events_.actionInvoked); }

  private:
    Events events_;
};

} // namespace orvanta::platform::fake
