#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// clang-format off
// Xlib defines macros (None, Bool) that break headers included after it, so it comes last.
#include <X11/Xlib.h>
// clang-format on

namespace orvanta::test {

// What reached the test window, as an X client sees it.
struct ReceivedKey {
    std::string keysym; // its name, e.g. "a", "A", "F5", "KP_0"
    std::string text;   // the characters it types
    bool pressed = true;
};

struct ReceivedButton {
    unsigned button = 0;
    int rootX = 0, rootY = 0;
    bool pressed = true;
};

// A plain X window on a connection of its own that takes the keyboard focus and writes down the keys,
// buttons and pastes that reach it. Ctrl+V asks the clipboard's owner for its text, as an editor would.
class XTestWindow {
  public:
    // The window covers this rectangle of the screen.
    XTestWindow(int x, int y, unsigned width, unsigned height);
    ~XTestWindow();
    XTestWindow(const XTestWindow&) = delete;
    XTestWindow& operator=(const XTestWindow&) = delete;

    bool ready() const { return window_ != 0; }

    // Handles the window's events until done answers true or the time is up; idle runs between rounds
    // (to serve another event loop in the same thread). Returns done's last answer.
    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit,
                   const std::function<void()>& idle = {});
    // Handles events for the whole time, for checking that nothing more arrives.
    void PumpFor(std::chrono::milliseconds time, const std::function<void()>& idle = {});

    std::vector<ReceivedKey> keys;
    std::vector<ReceivedButton> buttons;
    std::vector<std::string> pastes;

    // The names of the keysyms of the presses only.
    std::vector<std::string> PressedKeysyms() const;

  private:
    void Handle(XEvent& event);

    Display* display_ = nullptr;
    Window window_ = 0;
    Atom clipboard_ = 0, utf8_ = 0, pasteProperty_ = 0;
};

} // namespace orvanta::test
