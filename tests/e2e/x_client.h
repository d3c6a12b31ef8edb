#pragma once

#include <optional>
#include <string>
#include <utility>

namespace orvanta::test {

// Another X client holding Alt plus a key on the root window, as another program would; released when
// it ends. An X display is required.
class ForeignAltKeyGrab {
  public:
    explicit ForeignAltKeyGrab(const std::string& keysymName);
    ~ForeignAltKeyGrab();
    ForeignAltKeyGrab(const ForeignAltKeyGrab&) = delete;
    ForeignAltKeyGrab& operator=(const ForeignAltKeyGrab&) = delete;

    // True once the server has granted the grab.
    bool held() const { return held_; }
    void Release();

  private:
    void* display_ = nullptr;
    int keycode_ = 0;
    bool held_ = false;
};

// The centre of the topmost flat check box drawn in a window: a square outline of 7 to 16 pixels with a
// light inside, in the window's coordinates.
std::optional<std::pair<int, int>> FindCheckBox(unsigned long window);

} // namespace orvanta::test
