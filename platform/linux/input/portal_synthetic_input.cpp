#include "platform/linux/input/portal_synthetic_input.h"

#include "platform/linux/actions/bus_requests.h"
#include "platform/linux/hotkeys/vk_keysym.h"
#include "platform/linux/portal/portal_request.h"

#include <cstdint>
#include <mutex>
#include <systemd/sd-bus.h>
#include <utility>

namespace orvanta::platform::linux_backend {
namespace {

constexpr const char* kRemoteDesktop = "org.freedesktop.portal.RemoteDesktop";
constexpr std::uint32_t kKeyboard = 1;
constexpr std::uint32_t kPointer = 2;
// Kept until the user revokes it in the desktop's settings.
constexpr std::uint32_t kPersistUntilRevoked = 2;
constexpr int kWheelNotch = 120;
// Far enough to reach the top-left corner of any screen layout from anywhere on it.
constexpr double kToTheCorner = -100000.0;

// The evdev codes the portal takes for the buttons.
std::int32_t EvdevButton(MouseButton button) {
    switch (button) {
    case MouseButton::Left:
        return 0x110;
    case MouseButton::Right:
        return 0x111;
    case MouseButton::Middle:
        return 0x112;
    }
    return 0x110;
}

// The entries of the a{sv} a Response carries that this backend reads.
struct Results {
    std::string sessionHandle;
    std::string restoreToken;
    std::uint32_t devices = 0;
    bool devicesTold = false;
};

Results ReadResults(sd_bus_message* m) {
    Results results;
    if (!m || sd_bus_message_enter_container(m, 'a', "{sv}") < 0) return results;
    while (sd_bus_message_enter_container(m, 'e', "sv") > 0) {
        const char* key = nullptr;
        char type = 0;
        const char* inside = nullptr;
        sd_bus_message_read(m, "s", &key);
        const std::string name = key ? key : "";
        sd_bus_message_peek_type(m, &type, &inside);
        const std::string contents = inside ? inside : "";
        const char* text = nullptr;
        if ((name == "session_handle" || name == "restore_token") && (contents == "s" || contents == "o") &&
            sd_bus_message_read(m, "v", contents.c_str(), &text) >= 0 && text) {
            (name == "session_handle" ? results.sessionHandle : results.restoreToken) = text;
        } else if (name == "devices" && contents == "u" &&
                   sd_bus_message_read(m, "v", "u", &results.devices) >= 0) {
            results.devicesTold = true;
        } else {
            sd_bus_message_skip(m, "v");
        }
        sd_bus_message_exit_container(m);
    }
    sd_bus_message_exit_container(m);
    return results;
}

std::string StartRefusal(const portal::PortalResponse& started) {
    if (!started.answered()) return started.failure();
    if (started.code() == 1) return "the user did not let Orvanta control the keyboard and the pointer";
    return "the desktop did not let Orvanta control the keyboard and the pointer";
}

} // namespace

struct PortalSyntheticInput::Impl {
    PortalInputOptions options;

    // One playback's calls at a time; the connection is used by whichever playback holds this.
    std::mutex mutex;
    SystemBus bus;
    std::string session;
    std::uint32_t devices = 0;
    int playbacks = 0;
    bool closedByDesktop = false;
    sd_bus_slot* closedSlot = nullptr;
    std::string restoreToken;
    bool tokenLoaded = false;
    int nextToken = 0;
    // Where this session has put the pointer, once it has been taken to a known place.
    std::optional<CursorPoint> pointer;
    int wheelRemainder = 0;

    explicit Impl(PortalInputOptions o) : options(std::move(o)) {}
    ~Impl() {
        const std::lock_guard lock(mutex);
        CloseSession();
    }

    std::string Token() { return "orvanta_input" + std::to_string(++nextToken); }

    static int OnClosed(sd_bus_message*, void* data, sd_bus_error*) {
        static_cast<Impl*>(data)->closedByDesktop = true;
        return 0;
    }

    std::string OpenSession(const std::atomic<bool>& stop) {
        bus = OpenSessionBus(std::chrono::seconds(5));
        if (!bus) return "there is no session bus";
        sd_bus* b = bus.get();
        const std::string sessionToken = Token();
        const std::string createToken = Token();
        portal::PortalResponse created = portal::CallPortal(
            b, kRemoteDesktop, "CreateSession", createToken,
            [&](sd_bus_message* m) {
                return sd_bus_message_append(m, "a{sv}", 2, "handle_token", "s", createToken.c_str(),
                                             "session_handle_token", "s", sessionToken.c_str());
            },
            options.answerLimit, &stop);
        if (!created.answered()) return created.failure();
        if (created.code() != 0) return "the desktop made no remote desktop session";
        session = ReadResults(created.results()).sessionHandle;
        if (session.empty()) session = portal::HandlePath(b, "session", sessionToken);
        sd_bus_match_signal(b, &closedSlot, portal::kService, session.c_str(),
                            "org.freedesktop.portal.Session", "Closed", OnClosed, this);

        if (!tokenLoaded && options.loadRestoreToken) restoreToken = options.loadRestoreToken();
        tokenLoaded = true;
        const bool remember = options.portalVersion >= 2;
        const std::string selectToken = Token();
        portal::PortalResponse selected = portal::CallPortal(
            b, kRemoteDesktop, "SelectDevices", selectToken,
            [&](sd_bus_message* m) {
                int r = sd_bus_message_append(m, "o", session.c_str());
                if (r >= 0) r = sd_bus_message_open_container(m, 'a', "{sv}");
                if (r >= 0) r = sd_bus_message_append(m, "{sv}", "handle_token", "s", selectToken.c_str());
                if (r >= 0) r = sd_bus_message_append(m, "{sv}", "types", "u", kKeyboard | kPointer);
                if (r >= 0 && remember)
                    r = sd_bus_message_append(m, "{sv}", "persist_mode", "u", kPersistUntilRevoked);
                if (r >= 0 && remember && !restoreToken.empty())
                    r = sd_bus_message_append(m, "{sv}", "restore_token", "s", restoreToken.c_str());
                if (r >= 0) r = sd_bus_message_close_container(m);
                return r;
            },
            options.answerLimit, &stop);
        if (!selected.answered()) return selected.failure();
        if (selected.code() != 0) return "the desktop offered no keyboard and pointer to control";

        const std::string startToken = Token();
        portal::PortalResponse started = portal::CallPortal(
            b, kRemoteDesktop, "Start", startToken,
            [&](sd_bus_message* m) {
                return sd_bus_message_append(m, "osa{sv}", session.c_str(), "", 1, "handle_token", "s",
                                             startToken.c_str());
            },
            options.answerLimit, &stop);
        if (!started.answered() || started.code() != 0) return StartRefusal(started);
        const Results granted = ReadResults(started.results());
        devices = granted.devicesTold ? granted.devices : kKeyboard | kPointer;
        if (remember && !granted.restoreToken.empty() && granted.restoreToken != restoreToken) {
            // A token is good for one session only; the next one asks with the new one.
            restoreToken = granted.restoreToken;
            if (options.saveRestoreToken) options.saveRestoreToken(restoreToken);
        }
        if (!(devices & (kKeyboard | kPointer)))
            return "the desktop granted neither the keyboard nor the pointer";
        return {};
    }

    void CloseSession() {
        if (bus && !session.empty() && !closedByDesktop) {
            sd_bus_error error = SD_BUS_ERROR_NULL;
            sd_bus_call_method(bus.get(), portal::kService, session.c_str(), "org.freedesktop.portal.Session",
                               "Close", &error, nullptr, "");
            sd_bus_error_free(&error);
        }
        closedSlot = sd_bus_slot_unref(closedSlot);
        bus.reset();
        session.clear();
        devices = 0;
        closedByDesktop = false;
        pointer.reset();
        wheelRemainder = 0;
    }

    // Sends one Notify call without waiting for its reply: a round trip per event would push every later
    // event back, and the spacing between them is the macro's. The caller holds the mutex.
    template <typename... Args>
    void Notify(std::uint32_t device, const char* method, const char* signature, Args... args) {
        if (!bus || session.empty() || !(devices & device)) return;
        sd_bus* b = bus.get();
        // Takes in what the portal sent meanwhile, among it a Closed when the user ended the control.
        while (sd_bus_process(b, nullptr) > 0) {
        }
        if (closedByDesktop) return;
        sd_bus_message* m = nullptr;
        int r =
            sd_bus_message_new_method_call(b, &m, portal::kService, portal::kObject, kRemoteDesktop, method);
        if (r >= 0) r = sd_bus_message_append(m, "oa{sv}", session.c_str(), 0);
        if (r >= 0) r = sd_bus_message_append(m, signature, args...);
        if (r >= 0) r = sd_bus_message_set_expect_reply(m, 0);
        if (r >= 0) r = sd_bus_send(b, m, nullptr);
        if (r >= 0) sd_bus_flush(b);
        sd_bus_message_unref(m);
    }

    void Key(unsigned virtualKey, bool down) {
        const unsigned long keysym = VirtualKeyToKeysym(virtualKey);
        if (!keysym) return;
        const std::lock_guard lock(mutex);
        Notify(kKeyboard, "NotifyKeyboardKeysym", "iu", std::int32_t(keysym), std::uint32_t(down ? 1 : 0));
    }

    void Button(MouseButton button, bool down) {
        const std::lock_guard lock(mutex);
        Notify(kPointer, "NotifyPointerButton", "iu", EvdevButton(button), std::uint32_t(down ? 1 : 0));
    }

    void MoveBy(int dx, int dy) {
        if (dx == 0 && dy == 0) return;
        Notify(kPointer, "NotifyPointerMotion", "dd", double(dx), double(dy));
        if (pointer) *pointer = {pointer->x + dx, pointer->y + dy};
    }
};

PortalSyntheticInput::PortalSyntheticInput(PortalInputOptions options)
    : impl_(std::make_unique<Impl>(std::move(options))) {}

PortalSyntheticInput::~PortalSyntheticInput() = default;

std::string PortalSyntheticInput::beginPlayback(const std::atomic<bool>& stop) {
    const std::lock_guard lock(impl_->mutex);
    if (impl_->playbacks > 0 && !impl_->closedByDesktop) {
        ++impl_->playbacks;
        return {};
    }
    impl_->CloseSession();
    std::string refusal = impl_->OpenSession(stop);
    if (!refusal.empty()) {
        impl_->CloseSession();
        return refusal;
    }
    impl_->playbacks = 1;
    return {};
}

void PortalSyntheticInput::endPlayback() {
    const std::lock_guard lock(impl_->mutex);
    if (impl_->playbacks == 0 || --impl_->playbacks > 0) return;
    impl_->CloseSession();
}

void PortalSyntheticInput::keyDown(unsigned virtualKey) {
    impl_->Key(virtualKey, true);
}

void PortalSyntheticInput::keyUp(unsigned virtualKey) {
    impl_->Key(virtualKey, false);
}

void PortalSyntheticInput::mouseMoveBy(int dx, int dy) {
    const std::lock_guard lock(impl_->mutex);
    impl_->MoveBy(dx, dy);
}

void PortalSyntheticInput::buttonDown(MouseButton button) {
    impl_->Button(button, true);
}

void PortalSyntheticInput::buttonUp(MouseButton button) {
    impl_->Button(button, false);
}

void PortalSyntheticInput::wheel(int delta) {
    const std::lock_guard lock(impl_->mutex);
    impl_->wheelRemainder += delta;
    const int notches = impl_->wheelRemainder / kWheelNotch;
    if (notches == 0) return;
    impl_->wheelRemainder -= notches * kWheelNotch;
    // A notch away from the user scrolls up, which the portal counts as a negative step on axis 0.
    impl_->Notify(kPointer, "NotifyPointerAxisDiscrete", "ui", std::uint32_t(0), std::int32_t(-notches));
}

// Without a screen cast stream the portal moves the pointer only by relative steps, and it tells no
// program where the pointer is. The macro's positions are absolute, counted from the top-left corner of
// the whole screen layout, so the first position of a session pushes the pointer far past that corner,
// where the desktop stops it, and moves on by the position from there; later positions move by the
// difference from the last one. The user's own movements during a playback are not seen and shift what
// follows, as the corner is not revisited: each visit would sweep the pointer over the screen edge.
void PortalSyntheticInput::setCursorPos(int x, int y) {
    const std::lock_guard lock(impl_->mutex);
    if (!impl_->bus || !(impl_->devices & kPointer)) return;
    if (!impl_->pointer) {
        impl_->Notify(kPointer, "NotifyPointerMotion", "dd", kToTheCorner, kToTheCorner);
        impl_->pointer = CursorPoint{0, 0};
    }
    impl_->MoveBy(x - impl_->pointer->x, y - impl_->pointer->y);
}

} // namespace orvanta::platform::linux_backend
