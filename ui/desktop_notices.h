#pragma once

#include "platform/api/desktop_notifications.h"

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <functional>
#include <map>

namespace orvanta::ui {

// The desktop's notification server as the windows use it: notifications in the program's name, with the
// answers brought to the GUI thread and to whoever sent the notification.
class DesktopNotices : public QObject {
    Q_OBJECT

  public:
    using Id = platform::DesktopNotifications::Id;
    using Urgency = platform::NotificationUrgency;

    struct Notice {
        QString summary;
        QString body;
        Urgency urgency = Urgency::Normal;
        // Each action's key and label, in the order the buttons are shown.
        QList<QPair<QString, QString>> actions;
        int timeoutMilliseconds = -1;
    };

    explicit DesktopNotices(platform::DesktopNotifications& server, QObject* parent = nullptr);
    ~DesktopNotices() override;

    bool available() const { return server_.serverPresent(); }
    bool offersActions() const { return server_.supportsActions(); }

    // Shows the notice; 0 when the server could not. onAction gets the key of each action chosen, on the
    // GUI thread, until the notice is withdrawn or gone.
    Id Show(const Notice& notice, std::function<void(const QString& actionKey)> onAction = {});
    // Takes the notice back from the desktop; its actions reach nobody any more.
    void Withdraw(Id id);

  private:
    void ActionInvoked(Id id, const QString& key);

    platform::DesktopNotifications& server_;
    std::map<Id, std::function<void(const QString&)>> answering_;
};

} // namespace orvanta::ui
