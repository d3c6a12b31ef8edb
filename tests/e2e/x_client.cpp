#include "tests/e2e/x_client.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <vector>

namespace orvanta::test {
namespace {

int grabError = 0;

int NoteError(Display*, XErrorEvent* event) {
    grabError = event->error_code;
    return 0;
}

} // namespace

ForeignAltKeyGrab::ForeignAltKeyGrab(const std::string& keysymName) {
    Display* display = XOpenDisplay(nullptr);
    display_ = display;
    if (!display) return;
    keycode_ = XKeysymToKeycode(display, XStringToKeysym(keysymName.c_str()));
    if (keycode_ == 0) return;
    grabError = 0;
    XErrorHandler previous = XSetErrorHandler(NoteError);
    XGrabKey(display, keycode_, Mod1Mask, DefaultRootWindow(display), True, GrabModeAsync, GrabModeAsync);
    XSync(display, False);
    XSetErrorHandler(previous);
    held_ = grabError == 0;
}

ForeignAltKeyGrab::~ForeignAltKeyGrab() {
    Release();
    if (display_) XCloseDisplay(static_cast<Display*>(display_));
}

void ForeignAltKeyGrab::Release() {
    if (!held_) return;
    auto* display = static_cast<Display*>(display_);
    XUngrabKey(display, keycode_, Mod1Mask, DefaultRootWindow(display));
    XSync(display, False);
    held_ = false;
}

std::optional<std::pair<int, int>> FindCheckBox(unsigned long window) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return std::nullopt;
    std::optional<std::pair<int, int>> found;
    XWindowAttributes attributes{};
    XImage* image = nullptr;
    if (XGetWindowAttributes(display, window, &attributes))
        image = XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (image) {
        const int w = attributes.width, h = attributes.height;
        std::vector<bool> dark(std::size_t(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const unsigned long p = XGetPixel(image, x, y);
                const int sum = int((p >> 16) & 0xff) + int((p >> 8) & 0xff) + int(p & 0xff);
                dark[std::size_t(y) * w + x] = sum < 3 * 110;
            }
        auto at = [&](int x, int y) {
            return x >= 0 && y >= 0 && x < w && y < h && dark[std::size_t(y) * w + x];
        };
        auto line = [&](int x, int y, int dx, int dy, int n) {
            for (int i = 0; i < n; ++i)
                if (!at(x + i * dx, y + i * dy)) return false;
            return true;
        };
        for (int y = 0; y < h && !found; ++y)
            for (int x = 0; x < w && !found; ++x) {
                if (!at(x, y) || at(x - 1, y) || at(x, y - 1)) continue;
                for (int side = 7; side <= 16 && !found; ++side) {
                    const int e = side - 1;
                    // The outline closes exactly at this size, and a corner of the inside is light.
                    if (line(x, y, 1, 0, side) && line(x, y, 0, 1, side) && line(x + e, y, 0, 1, side) &&
                        line(x, y + e, 1, 0, side) && !at(x + side, y) && !at(x, y + side) &&
                        !at(x + 1, y + 1) && !at(x + 2, y + 1))
                        found = std::make_pair(x + side / 2, y + side / 2);
                }
            }
        XDestroyImage(image);
    }
    XCloseDisplay(display);
    return found;
}

} // namespace orvanta::test
