#pragma once

#include <X11/Xlib.h>
#include <memory>
#include <string>

namespace orvanta::platform::linux_backend {

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
// A connection of its own to the X display, closed when it goes out of scope.
using DisplayConnection = std::unique_ptr<Display, DisplayCloser>;

// An empty name means the display named by $DISPLAY at the time of the call; empty when it cannot be opened.
inline DisplayConnection OpenDisplay(const std::string& name) {
    return DisplayConnection(XOpenDisplay(name.empty() ? nullptr : name.c_str()));
}

} // namespace orvanta::platform::linux_backend
