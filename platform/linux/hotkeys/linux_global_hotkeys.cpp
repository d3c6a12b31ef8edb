#include "platform/linux/hotkeys/linux_global_hotkeys.h"

#include "platform/linux/hotkeys/vk_keysym.h"
#include "platform/linux/unique_fd.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <thread>

namespace orvanta::platform::linux_backend {

namespace {

// Xlib's error handler is process-wide. While a grab is checked, errors of the checking connection are
// caught here and every other connection's errors go on to the handler that was there before.
std::mutex gTrapMutex;
Display* gTrapDisplay = nullptr;
int gTrapError = 0;
XErrorHandler gPreviousHandler = nullptr;

int TrapError(Display* display, XErrorEvent* event) {
    if (display == gTrapDisplay) {
        if (gTrapError == 0) gTrapError = event->error_code;
        return 0;
    }
    return gPreviousHandler ? gPreviousHandler(display, event) : 0;
}

// Runs the requests against the display and returns the first X error they caused, 0 for none.
int WithErrorsTrapped(Display* display, const std::function<void()>& requests) {
    const std::lock_guard lock(gTrapMutex);
    gTrapDisplay = display;
    gTrapError = 0;
    gPreviousHandler = XSetErrorHandler(TrapError);
    requests();
    XSync(display, False);
    XSetErrorHandler(gPreviousHandler);
    gTrapDisplay = nullptr;
    return gTrapError;
}

constexpr unsigned kRelevantModifiers = ShiftMask | ControlMask | Mod1Mask | Mod4Mask;

} // namespace

struct LinuxGlobalHotkeys::Impl {
    struct Grab {
        KeyCode keycode = 0;
        unsigned mask = 0;
        unsigned modifiers = 0;
        unsigned virtualKey = 0;
    };

    Log& log;
    Display* display = nullptr;
    Window root = 0;
    unsigned numLockMask = Mod2Mask;
    UniqueFd wake;
    std::thread thread;

    std::mutex mutex; // guards the fields below
    std::deque<std::function<void()>> requests;
    bool stopping = false;
    PressedCallback onPressed;

    std::map<int, Grab> grabs; // touched only on the thread

    Impl(Log& log, const std::string& displayName) : log(log) {
        display = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
        if (!display) {
            log.warn("no X display \"" + std::string(XDisplayName(displayName.c_str())) +
                     "\": hotkey tasks cannot be registered");
            return;
        }
        wake = UniqueFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
        if (wake.get() < 0) {
            XCloseDisplay(display);
            display = nullptr;
            return;
        }
        root = DefaultRootWindow(display);
        numLockMask = FindNumLockMask();
        thread = std::thread([this] { Run(); });
    }

    ~Impl() {
        if (!display) return;
        {
            const std::lock_guard lock(mutex);
            stopping = true;
        }
        Wake();
        thread.join();
        XCloseDisplay(display);
    }

    unsigned FindNumLockMask() const {
        unsigned mask = 0;
        XModifierKeymap* map = XGetModifierMapping(display);
        if (!map) return Mod2Mask;
        const KeyCode numLock = XKeysymToKeycode(display, XK_Num_Lock);
        for (int modifier = 0; modifier < 8 && numLock != 0; ++modifier)
            for (int k = 0; k < map->max_keypermod; ++k)
                if (map->modifiermap[modifier * map->max_keypermod + k] == numLock) mask = 1u << modifier;
        XFreeModifiermap(map);
        return mask ? mask : Mod2Mask;
    }

    void Wake() const {
        const eventfd_t one = 1;
        (void)!write(wake.get(), &one, sizeof one);
    }

    // Runs the work on the thread and waits for it.
    void Call(std::function<void()> work) {
        std::mutex doneMutex;
        std::condition_variable doneChanged;
        bool done = false;
        {
            const std::lock_guard lock(mutex);
            requests.push_back([&] {
                work();
                const std::lock_guard doneLock(doneMutex);
                done = true;
                doneChanged.notify_one();
            });
        }
        Wake();
        std::unique_lock doneLock(doneMutex);
        doneChanged.wait(doneLock, [&] { return done; });
    }

    // The four variants, so Caps Lock and Num Lock do not hide a press.
    void ForEachVariant(const Grab& grab, const std::function<void(unsigned)>& action) const {
        for (unsigned extra : {0u, unsigned(LockMask), numLockMask, unsigned(LockMask) | numLockMask})
            action(grab.mask | extra);
    }

    KeyCode KeycodeOf(unsigned virtualKey) const {
        const unsigned long keysym = VirtualKeyToKeysym(virtualKey);
        return keysym ? XKeysymToKeycode(display, keysym) : 0;
    }

    // The keyboard's layout changed (a desktop sets its own after log-in, the user switches): the keys
    // are grabbed anew where their keysyms are now, so a combination keeps meaning its letter. A key the
    // new layout lacks stays registered without a grab until a layout has it again.
    void OnMappingChanged(XMappingEvent& event) {
        XRefreshKeyboardMapping(&event);
        if (event.request != MappingKeyboard && event.request != MappingModifier) return;
        std::map<int, Grab> before;
        before.swap(grabs);
        for (auto& [id, grab] : before)
            if (grab.keycode) Ungrab(grab);
        numLockMask = FindNumLockMask();
        for (auto& [id, grab] : before) {
            grab.keycode = KeycodeOf(grab.virtualKey);
            bool clash = false;
            for (const auto& [otherId, other] : grabs)
                clash = clash || (other.keycode == grab.keycode && other.mask == grab.mask);
            if (grab.keycode && clash)
                Say("after the keyboard layout changed, the hotkey", grab, "is on another hotkey's key");
            if (grab.keycode && (clash || !GrabAll(grab))) grab.keycode = 0;
            grabs[id] = grab;
        }
    }

    // Grabs every variant; on an error releases those that went through and answers false.
    bool GrabAll(const Grab& grab) {
        const int error = WithErrorsTrapped(display, [&] {
            ForEachVariant(grab, [&](unsigned mask) {
                XGrabKey(display, grab.keycode, mask, root, False, GrabModeAsync, GrabModeAsync);
            });
        });
        if (error == 0) return true;
        char text[128] = "";
        XGetErrorText(display, error, text, sizeof text);
        Say("the X server refused to grab the hotkey", grab, "(" + std::string(text) + ")");
        // Release the variants that did go through; another client keeps its own.
        Ungrab(grab);
        return false;
    }

    // The hotkey as the core knows it (virtual key and modifier bits) and as X does (key code, mask).
    void Say(const char* before, const Grab& grab, const std::string& after) const {
        char keys[96];
        std::snprintf(keys, sizeof keys, "virtual key 0x%02X with modifiers 0x%X (key code %u, mask 0x%X)",
                      grab.virtualKey, grab.modifiers, unsigned(grab.keycode), grab.mask);
        log.warn(std::string(before) + " " + keys + " " + after);
    }

    void Ungrab(const Grab& grab) {
        WithErrorsTrapped(display, [&] {
            ForEachVariant(grab, [&](unsigned mask) { XUngrabKey(display, grab.keycode, mask, root); });
        });
    }

    HotkeyRegistration Register(unsigned modifiers, unsigned virtualKey, int id) {
        const KeyCode keycode = KeycodeOf(virtualKey);
        if (keycode == 0) return HotkeyRegistration::Unavailable;
        Grab grab{keycode, 0, modifiers, virtualKey};
        if (modifiers & kHotkeyAlt) grab.mask |= Mod1Mask;
        if (modifiers & kHotkeyControl) grab.mask |= ControlMask;
        if (modifiers & kHotkeyShift) grab.mask |= ShiftMask;
        if (modifiers & kHotkeyWin) grab.mask |= Mod4Mask;
        // Our own grabs would be silently re-grabbed by X; the system refuses them like any other.
        for (const auto& [otherId, other] : grabs)
            if (other.keycode == grab.keycode && other.mask == grab.mask) return HotkeyRegistration::Refused;
        if (grabs.contains(id)) Unregister(id);
        if (!GrabAll(grab)) return HotkeyRegistration::Refused;
        grabs[id] = grab;
        return HotkeyRegistration::Registered;
    }

    void Unregister(int id) {
        const auto it = grabs.find(id);
        if (it == grabs.end()) return;
        const Grab grab = it->second;
        grabs.erase(it);
        if (grab.keycode) Ungrab(grab);
    }

    void Deliver(const XKeyEvent& event) {
        const unsigned mask = event.state & kRelevantModifiers;
        for (const auto& [id, grab] : grabs) {
            if (!grab.keycode || grab.keycode != event.keycode || grab.mask != mask) continue;
            PressedCallback callback;
            {
                const std::lock_guard lock(mutex);
                callback = onPressed;
            }
            if (callback) callback(id, grab.modifiers, grab.virtualKey);
            return;
        }
    }

    void Run() {
        const int xfd = ConnectionNumber(display);
        for (;;) {
            eventfd_t drained = 0;
            (void)!read(wake.get(), &drained, sizeof drained);
            std::deque<std::function<void()>> work;
            {
                const std::lock_guard lock(mutex);
                if (stopping) return;
                work.swap(requests);
            }
            for (auto& request : work)
                request();
            while (XPending(display) > 0) {
                XEvent event;
                XNextEvent(display, &event);
                if (event.type == KeyPress) Deliver(event.xkey);
                if (event.type == MappingNotify) OnMappingChanged(event.xmapping);
            }
            pollfd fds[2] = {{xfd, POLLIN, 0}, {wake.get(), POLLIN, 0}};
            poll(fds, 2, -1);
        }
    }
};

LinuxGlobalHotkeys::LinuxGlobalHotkeys(Log& log, const std::string& displayName)
    : impl_(std::make_unique<Impl>(log, displayName)) {}

LinuxGlobalHotkeys::~LinuxGlobalHotkeys() = default;

bool LinuxGlobalHotkeys::available() const {
    return impl_->display != nullptr;
}

void LinuxGlobalHotkeys::setOnPressed(PressedCallback onPressed) {
    const std::lock_guard lock(impl_->mutex);
    impl_->onPressed = std::move(onPressed);
}

HotkeyRegistration LinuxGlobalHotkeys::registerHotkey(unsigned modifiers, unsigned virtualKey, int id) {
    if (!impl_->display) return HotkeyRegistration::Unavailable;
    HotkeyRegistration result = HotkeyRegistration::Unavailable;
    impl_->Call([&] { result = impl_->Register(modifiers, virtualKey, id); });
    return result;
}

void LinuxGlobalHotkeys::unregisterHotkey(int id) {
    if (!impl_->display) return;
    impl_->Call([&] { impl_->Unregister(id); });
}

} // namespace orvanta::platform::linux_backend
