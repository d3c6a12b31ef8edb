#include "platform/linux/linux_tray_host_watch.h"

#include "platform/linux/actions/bus_requests.h"
#include "platform/linux/session_bus_loop.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <string>
#include <systemd/sd-bus.h>

namespace orvanta::platform::linux_backend {

namespace {

constexpr const char* kWatcherService = "org.kde.StatusNotifierWatcher";
constexpr const char* kWatcherPath = "/StatusNotifierWatcher";
constexpr const char* kWatcherInterface = "org.kde.StatusNotifierWatcher";
constexpr auto kFirstAnswer = std::chrono::seconds(3);

} // namespace

// The display connection the loop's thread reads; made and ended on the owner's thread around it.
struct LinuxTrayHostWatch::XSide {
    Display* display = nullptr;
    Atom selection = None;
    int fixesEventBase = 0;

    XSide() {
        display = XOpenDisplay(nullptr);
        if (!display) return;
        int errorBase = 0;
        if (!XFixesQueryExtension(display, &fixesEventBase, &errorBase)) {
            XCloseDisplay(display);
            display = nullptr;
            return;
        }
        const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(display));
        selection = XInternAtom(display, name.c_str(), False);
        XFixesSelectSelectionInput(display, DefaultRootWindow(display), selection,
                                   XFixesSetSelectionOwnerNotifyMask |
                                       XFixesSelectionWindowDestroyNotifyMask |
                                       XFixesSelectionClientCloseNotifyMask);
        XFlush(display);
    }
    ~XSide() {
        if (display) XCloseDisplay(display);
    }
    bool Owned() const { return display && XGetSelectionOwner(display, selection) != None; }
};

LinuxTrayHostWatch::LinuxTrayHostWatch(bool embeddingCounts)
    : x_(embeddingCounts ? std::make_unique<XSide>() : nullptr) {
    hosts_.embedding = x_ && x_->Owned();
    SessionBusLoop::ExtraSource source;
    if (x_ && x_->display) {
        source.fd = ConnectionNumber(x_->display);
        source.onReadable = [this] {
            bool owned = false;
            // Every event already read is taken, or the descriptor would not wake the thread for them; the
            // owner is asked again until no event came in while asking.
            do {
                while (XPending(x_->display) > 0) {
                    XEvent event;
                    XNextEvent(x_->display, &event);
                }
                owned = x_->Owned();
            } while (XPending(x_->display) > 0);
            std::lock_guard lock(mutex_);
            TrayHosts next = hosts_;
            next.embedding = owned;
            if (next == hosts_) return;
            hosts_ = next;
            if (onChange_) onChange_(hosts_);
        };
    }
    loop_ = std::make_unique<SessionBusLoop>(std::move(source));
    loop_->RunAndWait(
        [this](sd_bus* bus) {
            if (!bus) return;
            auto onSignal = [](sd_bus_message* message, void* self, sd_bus_error*) {
                auto* watch = static_cast<LinuxTrayHostWatch*>(self);
                // Asked after the handler, not inside it: the question is a call of its own.
                (void)message;
                watch->loop_->Post([watch](sd_bus* b) { watch->AskStatusNotifier(b); });
                return 0;
            };
            const std::string owner =
                std::string("type='signal',sender='org.freedesktop.DBus',interface='org."
                            "freedesktop.DBus',member='NameOwnerChanged',arg0='") +
                kWatcherService + "'";
            sd_bus_add_match(bus, nullptr, owner.c_str(), onSignal, this);
            for (const char* member : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"}) {
                const std::string rule = std::string("type='signal',interface='") + kWatcherInterface +
                                         "',member='" + member + "'";
                sd_bus_add_match(bus, nullptr, rule.c_str(), onSignal, this);
            }
            AskStatusNotifier(bus);
        },
        kFirstAnswer);
}

LinuxTrayHostWatch::~LinuxTrayHostWatch() {
    stop();
    loop_.reset();
}

void LinuxTrayHostWatch::AskStatusNotifier(sd_bus* bus) {
    bool shown = false;
    if (bus && NameHasOwner(bus, kWatcherService)) {
        // A watcher alone shows nothing: a panel's host must have registered with it. The toolkit asks
        // the same before it hands its icon to the watcher.
        sd_bus_error error = SD_BUS_ERROR_NULL;
        int registered = 0;
        if (sd_bus_get_property_trivial(bus, kWatcherService, kWatcherPath, kWatcherInterface,
                                        "IsStatusNotifierHostRegistered", &error, 'b', &registered) >= 0)
            shown = registered != 0;
        sd_bus_error_free(&error);
    }
    std::lock_guard lock(mutex_);
    TrayHosts next = hosts_;
    next.statusNotifier = shown;
    if (next == hosts_) return;
    hosts_ = next;
    if (onChange_) onChange_(hosts_);
}

TrayHosts LinuxTrayHostWatch::current() const {
    std::lock_guard lock(mutex_);
    return hosts_;
}

void LinuxTrayHostWatch::watch(std::function<void(const TrayHosts&)> onChange) {
    std::lock_guard lock(mutex_);
    onChange_ = std::move(onChange);
}

void LinuxTrayHostWatch::stop() {
    std::lock_guard lock(mutex_);
    onChange_ = {};
}

} // namespace orvanta::platform::linux_backend
