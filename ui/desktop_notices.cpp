#include "ui/desktop_notices.h"

#include <orvanta_app_id.h>

namespace orvanta::ui {

DesktopNotices::DesktopNotices(platform::DesktopNotifications& server, QObject* parent)
    : QObject(parent), server_(server) {
    // The answers come on the backend's thread; a notice's sender lives on this one. Posted to this
    // object, an answer that arrives after it has gone is dropped with it.
    server_.setEvents({[this](Id id, const std::string& key) {
                           QMetaObject::invokeMethod(
                               this,
                               [this, id, key = QString::fromStdString(key)] { ActionInvoked(id, key); },
                               Qt::QueuedConnection);
                       },
                       [this](Id id) {
                           QMetaObject::invokeMethod(
                               this, [this, id] { answering_.erase(id); }, Qt::QueuedConnection);
                       }});
}

DesktopNotices::~DesktopNotices() {
    server_.setEvents({});
}

DesktopNotices::Id DesktopNotices::Show(const Notice& notice, std::function<void(const QString&)> onAction) {
    platform::NotificationRequest request;
    request.appName = "Orvanta";
    // The theme's icon and the desktop entry are both named after the application ID.
    request.appIcon = kAppId;
    request.desktopEntry = kAppId;
    request.summary = notice.summary.toStdString();
    request.body = notice.body.toStdString();
    request.urgency = notice.urgency;
    for (const auto& [key, label] : notice.actions)
        request.actions.emplace_back(key.toStdString(), label.toStdString());
    request.timeoutMilliseconds = notice.timeoutMilliseconds;
    const Id id = server_.notify(request);
    if (id != 0 && onAction) answering_[id] = std::move(onAction);
    return id;
}

void DesktopNotices::Withdraw(Id id) {
    if (id == 0) return;
    answering_.erase(id);
    server_.close(id);
}

void DesktopNotices::ActionInvoked(Id id, const QString& key) {
    const auto it = answering_.find(id);
    if (it == answering_.end()) return;
    // The answer may withdraw the notice, and so end the handler, while it runs.
    const auto handler = it->second;
    handler(key);
}

} // namespace orvanta::ui
