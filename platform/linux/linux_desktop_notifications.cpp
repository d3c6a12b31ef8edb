#include "platform/linux/linux_desktop_notifications.h"

#include "platform/linux/actions/bus_requests.h"
#include "platform/linux/session_bus_loop.h"

#include <string>
#include <systemd/sd-bus.h>

namespace orvanta::platform::linux_backend {

namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";
constexpr const char* kInterface = "org.freedesktop.Notifications";
// A server started by its first call may take a moment; past this the bubble gives way to the next surface.
constexpr auto kAnswerLimit = std::chrono::seconds(3);

bool Startable(sd_bus* bus) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    bool found = false;
    if (sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                           "ListActivatableNames", &error, &reply, "") >= 0 &&
        sd_bus_message_enter_container(reply, 'a', "s") >= 0) {
        const char* name = nullptr;
        while (!found && sd_bus_message_read(reply, "s", &name) > 0)
            found = std::string(name) == kService;
    }
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    return found;
}

// What the server does beyond plain text; nothing when it does not answer.
struct ServerCapabilities {
    bool actions = false;
    bool bodyMarkup = false;
};

ServerCapabilities AskCapabilities(sd_bus* bus) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    ServerCapabilities found;
    if (sd_bus_call_method(bus, kService, kPath, kInterface, "GetCapabilities", &error, &reply, "") >= 0 &&
        sd_bus_message_enter_container(reply, 'a', "s") >= 0) {
        const char* capability = nullptr;
        while (sd_bus_message_read(reply, "s", &capability) > 0) {
            found.actions = found.actions || std::string(capability) == "actions";
            found.bodyMarkup = found.bodyMarkup || std::string(capability) == "body-markup";
        }
    }
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    return found;
}

// A server that reads the body as markup would take a task title's "<" or "&" for a tag or an entity,
// and show it mangled or not at all.
std::string EscapedForMarkup(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

int AppendRequest(sd_bus_message* m, const NotificationRequest& r, bool bodyMarkup) {
    const std::string body = bodyMarkup ? EscapedForMarkup(r.body) : r.body;
    int rc = sd_bus_message_append(m, "susss", r.appName.c_str(), 0U, r.appIcon.c_str(), r.summary.c_str(),
                                   body.c_str());
    if (rc >= 0) rc = sd_bus_message_open_container(m, 'a', "s");
    for (const auto& [key, label] : r.actions)
        if (rc >= 0) rc = sd_bus_message_append(m, "ss", key.c_str(), label.c_str());
    if (rc >= 0) rc = sd_bus_message_close_container(m);
    if (rc >= 0) rc = sd_bus_message_open_container(m, 'a', "{sv}");
    if (rc >= 0 && !r.desktopEntry.empty())
        rc = sd_bus_message_append(m, "{sv}", "desktop-entry", "s", r.desktopEntry.c_str());
    if (rc >= 0) rc = sd_bus_message_append(m, "{sv}", "urgency", "y", std::uint8_t(r.urgency));
    if (rc >= 0) rc = sd_bus_message_close_container(m);
    if (rc >= 0) rc = sd_bus_message_append(m, "i", std::int32_t(r.timeoutMilliseconds));
    return rc;
}

} // namespace

LinuxDesktopNotifications::LinuxDesktopNotifications() : loop_(std::make_unique<SessionBusLoop>()) {
    loop_->RunAndWait(
        [this](sd_bus* bus) {
            if (!bus) return;
            auto onOwner = [](sd_bus_message*, void* self, sd_bus_error*) {
                auto* n = static_cast<LinuxDesktopNotifications*>(self);
                n->loop_->Post([n](sd_bus* b) { n->AskServer(b); });
                return 0;
            };
            const std::string owner =
                std::string("type='signal',sender='org.freedesktop.DBus',interface='org."
                            "freedesktop.DBus',member='NameOwnerChanged',arg0='") +
                kService + "'";
            sd_bus_add_match(bus, nullptr, owner.c_str(), onOwner, this);
            auto onAction = [](sd_bus_message* m, void* self, sd_bus_error*) {
                static_cast<LinuxDesktopNotifications*>(self)->Deliver(m, true);
                return 0;
            };
            auto onClosed = [](sd_bus_message* m, void* self, sd_bus_error*) {
                static_cast<LinuxDesktopNotifications*>(self)->Deliver(m, false);
                return 0;
            };
            const std::string base =
                std::string("type='signal',path='") + kPath + "',interface='" + kInterface + "',member=";
            sd_bus_add_match(bus, nullptr, (base + "'ActionInvoked'").c_str(), onAction, this);
            sd_bus_add_match(bus, nullptr, (base + "'NotificationClosed'").c_str(), onClosed, this);
            startable_ = Startable(bus);
            AskServer(bus);
        },
        kAnswerLimit);
}

LinuxDesktopNotifications::~LinuxDesktopNotifications() {
    setEvents({});
    loop_.reset();
}

void LinuxDesktopNotifications::AskServer(sd_bus* bus) {
    const bool running = NameHasOwner(bus, kService);
    // Asking a server that is not running starts it, as the first notification would.
    const ServerCapabilities capabilities =
        running || startable_ ? AskCapabilities(bus) : ServerCapabilities{};
    actions_.store(capabilities.actions);
    bodyMarkup_.store(capabilities.bodyMarkup);
    present_.store(running || startable_);
}

void LinuxDesktopNotifications::Deliver(sd_bus_message* signal, bool action) {
    std::uint32_t id = 0;
    const char* key = nullptr;
    const int read =
        action ? sd_bus_message_read(signal, "us", &id, &key) : sd_bus_message_read(signal, "u", &id);
    if (read < 0) return;
    std::lock_guard lock(eventsMutex_);
    if (action && events_.actionInvoked) events_.actionInvoked(id, key ? key : "");
    if (!action && events_.closed) events_.closed(id);
}

DesktopNotifications::Id LinuxDesktopNotifications::notify(const NotificationRequest& request) {
    if (!present_.load()) return 0;
    // Shared with the job, which may still run after a late answer has been given up on.
    auto answer = std::make_shared<std::atomic<Id>>(0);
    const bool bodyMarkup = bodyMarkup_.load();
    loop_->RunAndWait(
        [request, answer, bodyMarkup](sd_bus* bus) {
            if (!bus) return;
            sd_bus_message* call = nullptr;
            sd_bus_message* reply = nullptr;
            sd_bus_error error = SD_BUS_ERROR_NULL;
            std::uint32_t id = 0;
            if (sd_bus_message_new_method_call(bus, &call, kService, kPath, kInterface, "Notify") >= 0 &&
                AppendRequest(call, request, bodyMarkup) >= 0 &&
                sd_bus_call(bus, call, 0, &error, &reply) >= 0 && sd_bus_message_read(reply, "u", &id) >= 0)
                answer->store(id);
            sd_bus_message_unref(reply);
            sd_bus_message_unref(call);
            sd_bus_error_free(&error);
        },
        kAnswerLimit);
    return answer->load();
}

void LinuxDesktopNotifications::close(Id id) {
    if (id == 0) return;
    loop_->Post([id](sd_bus* bus) {
        if (!bus) return;
        sd_bus_call_method_async(bus, nullptr, kService, kPath, kInterface, "CloseNotification", nullptr,
                                 nullptr, "u", id);
    });
}

void LinuxDesktopNotifications::setEvents(Events events) {
    std::lock_guard lock(eventsMutex_);
    events_ = std::move(events);
}

} // namespace orvanta::platform::linux_backend
