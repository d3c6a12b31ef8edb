#include "tests/platform_macros/x_test_window.h"

#include <thread>

// clang-format off
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
// clang-format on

namespace orvanta::test {

XTestWindow::XTestWindow(int x, int y, unsigned width, unsigned height) {
    display_ = XOpenDisplay(nullptr);
    if (!display_) return;
    clipboard_ = XInternAtom(display_, "CLIPBOARD", False);
    utf8_ = XInternAtom(display_, "UTF8_STRING", False);
    pasteProperty_ = XInternAtom(display_, "ORVANTA_TEST_PASTE", False);

    XSetWindowAttributes attributes{};
    // No window manager runs in the test desktop; the window stays where it is put.
    attributes.override_redirect = True;
    attributes.event_mask =
        KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask;
    const Window root = DefaultRootWindow(display_);
    const Window window = XCreateWindow(display_, root, x, y, width, height, 0, CopyFromParent, InputOutput,
                                        CopyFromParent, CWOverrideRedirect | CWEventMask, &attributes);
    XMapRaised(display_, window);
    XEvent event;
    do {
        XWindowEvent(display_, window, StructureNotifyMask, &event);
    } while (event.type != MapNotify);
    XSetInputFocus(display_, window, RevertToPointerRoot, CurrentTime);
    XSync(display_, False);
    window_ = window;
}

XTestWindow::~XTestWindow() {
    if (!display_) return;
    if (window_) XDestroyWindow(display_, window_);
    XCloseDisplay(display_);
}

void XTestWindow::Handle(XEvent& event) {
    switch (event.type) {
    case KeyPress:
    case KeyRelease: {
        char text[32] = {};
        KeySym keysym = NoSymbol;
        const int length = XLookupString(&event.xkey, text, sizeof text - 1, &keysym, nullptr);
        const char* name = XKeysymToString(keysym);
        keys.push_back(
            {name ? name : "?", std::string(text, length > 0 ? length : 0), event.type == KeyPress});
        if (event.type == KeyPress && (event.xkey.state & ControlMask) && (keysym == XK_v || keysym == XK_V))
            XConvertSelection(display_, clipboard_, utf8_, pasteProperty_, window_, event.xkey.time);
        break;
    }
    case ButtonPress:
    case ButtonRelease:
        buttons.push_back(
            {event.xbutton.button, event.xbutton.x_root, event.xbutton.y_root, event.type == ButtonPress});
        break;
    case MappingNotify:
        XRefreshKeyboardMapping(&event.xmapping);
        break;
    case SelectionNotify: {
        if (event.xselection.property == 0) {
            pastes.push_back("(the clipboard had no text)");
            break;
        }
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(display_, window_, pasteProperty_, 0, 1 << 16, True, AnyPropertyType, &type,
                           &format, &count, &after, &data);
        pastes.emplace_back(data ? reinterpret_cast<const char*>(data) : "", data ? count : 0);
        if (data) XFree(data);
        break;
    }
    default:
        break;
    }
}

bool XTestWindow::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit,
                            const std::function<void()>& idle) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (true) {
        while (XPending(display_)) {
            XEvent event;
            XNextEvent(display_, &event);
            Handle(event);
        }
        if (done && done()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return done && done();
        if (idle) idle();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void XTestWindow::PumpFor(std::chrono::milliseconds time, const std::function<void()>& idle) {
    PumpUntil({}, time, idle);
}

std::vector<std::string> XTestWindow::PressedKeysyms() const {
    std::vector<std::string> names;
    for (const auto& key : keys)
        if (key.pressed) names.push_back(key.keysym);
    return names;
}

} // namespace orvanta::test
