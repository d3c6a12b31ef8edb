#include "platform/linux/hook/lock_watch.h"

#include "platform/linux/user_bus.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <systemd/sd-bus.h>
#include <unistd.h>

namespace orvanta::hook {
namespace {

constexpr const char* kLogind = "org.freedesktop.login1";
constexpr const char* kLogindPath = "/org/freedesktop/login1";
constexpr const char* kManager = "org.freedesktop.login1.Manager";
constexpr const char* kSession = "org.freedesktop.login1.Session";
// HookOn runs on the window's thread: a service that does not answer must not hang it.
constexpr std::uint64_t kCallTimeoutMicroseconds = 1000 * 1000;

sd_bus* Open(int (*open)(sd_bus**)) {
    sd_bus* bus = nullptr;
    if (open(&bus) < 0) return nullptr;
    sd_bus_set_method_call_timeout(bus, kCallTimeoutMicroseconds);
    return bus;
}

void AddPollFd(sd_bus* bus, std::vector<pollfd>& fds) {
    if (!bus) return;
    const int fd = sd_bus_get_fd(bus);
    const int events = sd_bus_get_events(bus);
    if (fd >= 0) fds.push_back({fd, static_cast<short>(events > 0 ? events : POLLIN), 0});
}

void ProcessAll(sd_bus* bus) {
    if (!bus) return;
    while (sd_bus_process(bus, nullptr) > 0) {
    }
}

} // namespace

LockWatch::LockWatch(std::function<void()> changed) : changed_(std::move(changed)) {
    system_ = Open(sd_bus_open_system);
    if (system_ && findSession()) {
        sd_bus_match_signal(system_, nullptr, kLogind, sessionPath_.c_str(),
                            "org.freedesktop.DBus.Properties", "PropertiesChanged",
                            &LockWatch::onSessionChanged, this);
        readSession();
    }
    session_ = Open(platform::linux_backend::OpenUserBus);
    if (!session_) return;
    // The names and paths the desktops' screensavers answer on.
    savers_ = {
        {this, "org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver"},
        {this, "org.freedesktop.ScreenSaver", "/ScreenSaver", "org.freedesktop.ScreenSaver"},
        {this, "org.gnome.ScreenSaver", "/org/gnome/ScreenSaver", "org.gnome.ScreenSaver"}};
    // The list no longer grows, so each entry keeps its place for the handlers.
    for (Saver& saver : savers_) {
        sd_bus_match_signal(session_, nullptr, saver.service, saver.path, saver.interface, "ActiveChanged",
                            &LockWatch::onSaverChanged, &saver);
        readSaver(saver);
    }
}

LockWatch::~LockWatch() {
    if (system_) sd_bus_flush_close_unref(system_);
    if (session_) sd_bus_flush_close_unref(session_);
}

bool LockWatch::locked() const {
    if (sessionLocked_) return true;
    for (const Saver& saver : savers_)
        if (saver.active) return true;
    return false;
}

void LockWatch::addPollFds(std::vector<pollfd>& fds) const {
    AddPollFd(system_, fds);
    AddPollFd(session_, fds);
}

void LockWatch::process() {
    ProcessAll(system_);
    ProcessAll(session_);
}

// The session of $XDG_SESSION_ID, else the one logind finds for this process.
bool LockWatch::findSession() {
    const char* id = std::getenv("XDG_SESSION_ID");
    sd_bus_message* reply = nullptr;
    const int r = id && *id ? sd_bus_call_method(system_, kLogind, kLogindPath, kManager, "GetSession",
                                                 nullptr, &reply, "s", id)
                            : sd_bus_call_method(system_, kLogind, kLogindPath, kManager, "GetSessionByPID",
                                                 nullptr, &reply, "u", static_cast<std::uint32_t>(getpid()));
    const char* path = nullptr;
    if (r >= 0 && sd_bus_message_read(reply, "o", &path) >= 0 && path) sessionPath_ = path;
    sd_bus_message_unref(reply);
    return !sessionPath_.empty();
}

void LockWatch::readSession() {
    int locked = 0;
    if (sd_bus_get_property_trivial(system_, kLogind, sessionPath_.c_str(), kSession, "LockedHint", nullptr,
                                    'b', &locked) >= 0)
        sessionLocked_ = locked != 0;
}

void LockWatch::readSaver(Saver& saver) {
    sd_bus_message* reply = nullptr;
    int active = 0;
    if (sd_bus_call_method(session_, saver.service, saver.path, saver.interface, "GetActive", nullptr, &reply,
                           "") >= 0 &&
        sd_bus_message_read(reply, "b", &active) >= 0)
        saver.active = active != 0;
    sd_bus_message_unref(reply);
}

int LockWatch::onSessionChanged(sd_bus_message* message, void* self, sd_bus_error*) {
    auto* watch = static_cast<LockWatch*>(self);
    // Only the session's own properties count; the new value is asked for, whether it came along or was
    // only said to have changed.
    const char* interface = nullptr;
    if (sd_bus_message_read(message, "s", &interface) < 0 || !interface ||
        std::strcmp(interface, kSession) != 0)
        return 0;
    const bool was = watch->locked();
    watch->readSession();
    watch->turned(was);
    return 0;
}

int LockWatch::onSaverChanged(sd_bus_message* message, void* entry, sd_bus_error*) {
    auto* saver = static_cast<Saver*>(entry);
    int active = 0;
    if (sd_bus_message_read(message, "b", &active) < 0) return 0;
    const bool was = saver->watch->locked();
    saver->active = active != 0;
    saver->watch->turned(was);
    return 0;
}

void LockWatch::turned(bool was) {
    if (locked() != was && changed_) changed_();
}

} // namespace orvanta::hook
