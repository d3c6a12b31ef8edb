#include "platform/linux/input/xtest_synthetic_input.h"

#include "platform/linux/hotkeys/key_positions.h"
#include "platform/linux/hotkeys/vk_keysym.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <cstdlib>
#include <map>
#include <mutex>
#include <vector>

namespace orvanta::platform::linux_backend {

namespace {

// Windows wheel units: one notch is 120; X reports notches as presses of buttons 4 (away) and 5.
constexpr int kWheelNotch = 120;

unsigned ButtonNumber(MouseButton button) {
    switch (button) {
    case MouseButton::Left:
        return 1;
    case MouseButton::Middle:
        return 2;
    case MouseButton::Right:
        return 3;
    }
    return 1;
}

} // namespace

struct XTestSyntheticInput::Impl {
    Display* display = nullptr;
    std::mutex mutex; // one Xlib call sequence at a time on the connection
    int wheelRemainder = 0;
    // Keysyms the keyboard has on no key's first level (the keypad digits while Num Lock is off, keys
    // the layout lacks) are bound to spare keycodes for as long as this connection lives.
    std::map<unsigned long, KeyCode> spareKeys;
    KeyPositions positions;

    explicit Impl(const std::string& displayName) {
        display = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
        if (!display) return;
        int eventBase = 0, errorBase = 0, major = 0, minor = 0;
        if (!XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor)) {
            XCloseDisplay(display);
            display = nullptr;
            return;
        }
        positions.read(display);
    }
    ~Impl() {
        if (!display) return;
        for (const auto& [keysym, keycode] : spareKeys) {
            KeySym none = NoSymbol;
            XChangeKeyboardMapping(display, keycode, 1, &none, 1);
        }
        XCloseDisplay(display);
    }

    // The key that types the keysym without a modifier, binding a spare one when no key does.
    KeyCode KeycodeFor(unsigned long keysym) {
        const KeyCode keycode = XKeysymToKeycode(display, keysym);
        if (keycode && XkbKeycodeToKeysym(display, keycode, 0, 0) == keysym) return keycode;
        if (auto bound = spareKeys.find(keysym); bound != spareKeys.end()) return bound->second;
        const KeyCode spare = SpareKeycode();
        if (!spare) return keycode; // at least the key that carries it on another level
        KeySym sym = keysym;
        XChangeKeyboardMapping(display, spare, 1, &sym, 1);
        XSync(display, False);
        spareKeys.emplace(keysym, spare);
        return spare;
    }

    // A keycode without any keysym and not yet taken here, from the top of the range; 0 when none is left.
    KeyCode SpareKeycode() {
        int first = 0, last = 0;
        XDisplayKeycodes(display, &first, &last);
        int perKey = 0;
        KeySym* map = XGetKeyboardMapping(display, static_cast<KeyCode>(first), last - first + 1, &perKey);
        if (!map) return 0;
        KeyCode found = 0;
        for (int code = last; code >= first && !found; --code) {
            bool empty = true;
            for (int i = 0; i < perKey && empty; ++i)
                empty = map[(code - first) * perKey + i] == NoSymbol;
            bool taken = false;
            for (const auto& entry : spareKeys)
                taken = taken || entry.second == code;
            if (empty && !taken) found = static_cast<KeyCode>(code);
        }
        XFree(map);
        return found;
    }

    // Takes in the layout changes the server announced since the last key, so a key goes where its
    // keysym is now and not where it was when the connection was made.
    void FollowMappingChanges() {
        bool changed = false;
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != MappingNotify) continue;
            XRefreshKeyboardMapping(&event.xmapping);
            changed = true;
        }
        if (changed) positions.read(display);
    }

    // The key for a code: punctuation by its place; a letter or digit where the layout group in use types
    // it without a modifier, else by its place (the Q key of a Cyrillic layout); other keys as before.
    KeyCode KeycodeForVirtualKey(unsigned virtualKey, unsigned long keysym) {
        const KeyCode place = positions.KeycodeAt(virtualKey);
        if (place && IsPunctuationVirtualKey(virtualKey)) return place;
        XkbStateRec state{};
        const int group = XkbGetState(display, XkbUseCoreKbd, &state) == Success ? state.group : 0;
        const KeyCode direct = XKeysymToKeycode(display, keysym);
        if (direct && XkbKeycodeToKeysym(display, direct, group, 0) == keysym) return direct;
        if (place) return place;
        return KeycodeFor(keysym);
    }

    void Key(unsigned virtualKey, bool down) {
        FollowMappingChanges();
        const unsigned long keysym = VirtualKeyToKeysym(virtualKey);
        if (!keysym) return;
        const KeyCode keycode = KeycodeForVirtualKey(virtualKey, keysym);
        if (!keycode) return;
        XTestFakeKeyEvent(display, keycode, down ? True : False, CurrentTime);
        XFlush(display);
    }

    void Button(unsigned number, bool down) {
        XTestFakeButtonEvent(display, number, down ? True : False, CurrentTime);
        XFlush(display);
    }
};

XTestSyntheticInput::XTestSyntheticInput(const std::string& displayName)
    : impl_(std::make_unique<Impl>(displayName)) {}

XTestSyntheticInput::~XTestSyntheticInput() = default;

bool XTestSyntheticInput::available() const {
    return impl_->display != nullptr;
}

void XTestSyntheticInput::keyDown(unsigned virtualKey) {
    if (!impl_->display) return;
    const std::lock_guard lock(impl_->mutex);
    impl_->Key(virtualKey, true);
}

void XTestSyntheticInput::keyUp(unsigned virtualKey) {
    if (!impl_->display) return;
    const std::lock_guard lock(impl_->mutex);
    impl_->Key(virtualKey, false);
}

void XTestSyntheticInput::mouseMoveBy(int dx, int dy) {
    if (!impl_->display) return;
    const std::lock_guard lock(impl_->mutex);
    XTestFakeRelativeMotionEvent(impl_->display, dx, dy, CurrentTime);
    XFlush(impl_->display);
}

void XTestSyntheticInput::buttonDown(MouseButton button) {
    if (!impl_->display) return;
    const std::lock_guard lock(impl_->mutex);
    impl_->Button(ButtonNumber(button), true);
}

void XTestSyntheticInput::buttonUp(MouseButton button) {
    if (!impl_->display) return;
    const std::lock_guard lock(impl_->mutex);
    impl_->Button(ButtonNumber(button), false);
}

void XTestSyntheticInput::wheel(int delta) {
    if (!impl_->display) return;
    const std::lock_guard lock(impl_->mutex);
    // Fine-grained deltas add up until they make a whole notch.
    impl_->wheelRemainder += delta;
    while (std::abs(impl_->wheelRemainder) >= kWheelNotch) {
        const bool away = impl_->wheelRemainder > 0;
        impl_->Button(away ? 4 : 5, true);
        impl_->Button(away ? 4 : 5, false);
        impl_->wheelRemainder += away ? -kWheelNotch : kWheelNotch;
    }
}

void XTestSyntheticInput::setCursorPos(int x, int y) {
    if (!impl_->display) return;
    const std::lock_guard lock(impl_->mutex);
    XTestFakeMotionEvent(impl_->display, -1, x, y, CurrentTime);
    // A round trip, so a click that follows on any connection lands at the new position.
    XSync(impl_->display, False);
}

bool XTestSyntheticInput::anyKeyHeld() {
    if (!impl_->display) return false;
    const std::lock_guard lock(impl_->mutex);
    char keys[32] = {};
    XQueryKeymap(impl_->display, keys);
    for (char byte : keys)
        if (byte) return true;
    return false;
}

std::optional<CursorPoint> XTestSyntheticInput::cursorPos() {
    if (!impl_->display) return std::nullopt;
    const std::lock_guard lock(impl_->mutex);
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned mask = 0;
    if (!XQueryPointer(impl_->display, DefaultRootWindow(impl_->display), &root, &child, &rootX, &rootY,
                       &winX, &winY, &mask))
        return std::nullopt;
    return CursorPoint{rootX, rootY};
}

} // namespace orvanta::platform::linux_backend
