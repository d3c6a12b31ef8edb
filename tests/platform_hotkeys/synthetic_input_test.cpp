#include "macros/macro_player.h"
#include "platform/linux/input/xtest_synthetic_input.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>

// clang-format off
// Xlib defines macros (None, Bool) that break headers included after it, so it comes last.
#include <X11/Xlib.h>
// clang-format on

namespace orvanta::platform::linux_backend {
namespace {

// The pointer as another client sees it, once it has settled on the expected point or after a generous
// deadline.
CursorPoint PointerSeenElsewhere(CursorPoint expected) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return {-1, -1};
    CursorPoint seen{-1, -1};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    do {
        Window root = 0, child = 0;
        int winX = 0, winY = 0;
        unsigned mask = 0;
        XQueryPointer(display, DefaultRootWindow(display), &root, &child, &seen.x, &seen.y, &winX, &winY,
                      &mask);
        if (seen == expected) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } while (std::chrono::steady_clock::now() < deadline);
    XCloseDisplay(display);
    return seen;
}

class NoClipboard : public macros::ClipboardPort {
  public:
    void setClipboardText(const std::string&) override {}
};

// Reads the pointer before each later line, so each recorded position is checked while it holds.
class PointerSamplingWaiter : public macros::MacroWaiter {
  public:
    explicit PointerSamplingWaiter(std::vector<CursorPoint> expected) : expected_(std::move(expected)) {}
    void wait(std::chrono::milliseconds) override {
        if (seen.size() < expected_.size()) seen.push_back(PointerSeenElsewhere(expected_[seen.size()]));
    }
    std::vector<CursorPoint> seen;

  private:
    std::vector<CursorPoint> expected_;
};

TEST(XTestSyntheticInputTest, AMacroMovesThePointerToItsRecordedPositions) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display (scripts/platform-test-env.sh)";
    XTestSyntheticInput input;
    ASSERT_TRUE(input.available());

    input.setCursorPos(37, 41);
    EXPECT_EQ(PointerSeenElsewhere({37, 41}), (CursorPoint{37, 41}));
    EXPECT_EQ(input.cursorPos(), (CursorPoint{37, 41}));

    NoClipboard clipboard;
    PointerSamplingWaiter waiter({{100, 120}, {200, 210}});
    std::atomic<bool> stop{false};
    macros::PlayMacro({"0 MOUSE_MOVE 100 120", "5 MOUSE_MOVE 200 210", "9 JUMP 300 310"},
                      {input, clipboard, waiter, stop, {}});
    EXPECT_EQ(waiter.seen, (std::vector<CursorPoint>{{100, 120}, {200, 210}}));
    EXPECT_EQ(PointerSeenElsewhere({300, 310}), (CursorPoint{300, 310}));
    // The wheel leaves the pointer where it is.
    input.wheel(-120);
    EXPECT_EQ(input.cursorPos(), (CursorPoint{300, 310}));
}

TEST(XTestSyntheticInputTest, WithoutADisplayNothingHappens) {
    XTestSyntheticInput input(":987");
    EXPECT_FALSE(input.available());
    input.keyDown(65);
    input.setCursorPos(1, 1);
    EXPECT_FALSE(input.cursorPos());
}

} // namespace
} // namespace orvanta::platform::linux_backend
