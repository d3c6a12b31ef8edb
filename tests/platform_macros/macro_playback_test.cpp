#include "hotkeys/hotkey_registrar.h"
#include "macros/macro_player.h"
#include "macros/macro_text.h"
#include "macros/task_macro_starter.h"
#include "platform/fake/fake_log.h"
#include "platform/linux/hotkeys/linux_global_hotkeys.h"
#include "platform/linux/input/playback_thread_timing.h"
#include "platform/linux/input/xtest_synthetic_input.h"
#include "tests/platform/test_environment.h"
#include "tests/platform_macros/macro_file_writer.h"
#include "tests/platform_macros/x_test_window.h"
#include "tests/support/temp_folder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <mutex>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace orvanta::macros {
namespace {

using platform::CursorPoint;
using platform::linux_backend::XTestSyntheticInput;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The test window covers this part of the screen, away from the tray host at the top right.
constexpr int kLeft = 50, kTop = 60;
constexpr unsigned kWidth = 500, kHeight = 400;

std::u16string Widen(const std::string& ascii) {
    return {ascii.begin(), ascii.end()};
}

class NoClipboard : public ClipboardPort {
  public:
    void setClipboardText(const std::string&) override {}
};

// The pointer as another client reads it.
CursorPoint PointerSeenElsewhere(Display* display) {
    Window root = 0, child = 0;
    int x = -1, y = -1, winX = 0, winY = 0;
    unsigned mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y, &winX, &winY, &mask);
    return {x, y};
}

// The real waiter, reading the pointer before each wait: the position the line before left.
class PointerSamplingWaiter : public MacroWaiter {
  public:
    PointerSamplingWaiter() : display_(XOpenDisplay(nullptr)) {}
    ~PointerSamplingWaiter() override {
        if (display_) XCloseDisplay(display_);
    }
    void wait(milliseconds duration) override { waitUntil(Clock::now() + duration, duration); }
    void waitUntil(Clock::time_point moment, milliseconds spacing) override {
        if (display_) seen.push_back(PointerSeenElsewhere(display_));
        steady_.waitUntil(moment, spacing);
    }
    std::vector<CursorPoint> seen;

  private:
    Display* display_;
    SteadyMacroWaiter steady_;
};

// Notes when each pointer placement was handed to the display.
class TimestampingInput : public platform::SyntheticInput {
  public:
    explicit TimestampingInput(platform::SyntheticInput& inner) : inner_(inner) {}
    void keyDown(unsigned vk) override { inner_.keyDown(vk); }
    void keyUp(unsigned vk) override { inner_.keyUp(vk); }
    void mouseMoveBy(int dx, int dy) override { inner_.mouseMoveBy(dx, dy); }
    void buttonDown(platform::MouseButton b) override { inner_.buttonDown(b); }
    void buttonUp(platform::MouseButton b) override { inner_.buttonUp(b); }
    void wheel(int delta) override { inner_.wheel(delta); }
    void setCursorPos(int x, int y) override {
        {
            const std::lock_guard lock(mutex_);
            times_.push_back(Clock::now());
        }
        inner_.setCursorPos(x, y);
    }
    std::optional<CursorPoint> cursorPos() override { return inner_.cursorPos(); }
    std::vector<Clock::time_point> times() {
        const std::lock_guard lock(mutex_);
        return times_;
    }

  private:
    platform::SyntheticInput& inner_;
    std::mutex mutex_;
    std::vector<Clock::time_point> times_;
};

class MacroPlaybackTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* display = std::getenv("DISPLAY");
        ORVANTA_REQUIRE_RESOURCE(display && *display, "no X display");
        ASSERT_TRUE(input.available()) << "the display has no XTest";
        window = std::make_unique<test::XTestWindow>(kLeft, kTop, kWidth, kHeight);
        ASSERT_TRUE(window->ready());
    }

    // The lines as the player gets them: written in the recorder's format and read back from the file.
    std::vector<std::string> ThroughAFile(const std::vector<std::string>& lines) {
        std::vector<std::u16string> wide;
        for (const auto& line : lines)
            wide.push_back(Widen(line));
        const std::string path = folder.file("macro.mco");
        test::WriteRecordedMacro(path, wide);
        auto read = ReadMacroFile(path);
        EXPECT_TRUE(read.has_value());
        return read.value_or(std::vector<std::string>{});
    }

    void Play(const std::vector<std::string>& lines, MacroWaiter& waiter, platform::SyntheticInput& via) {
        DoDo2 player({via, clipboard, waiter, stop, [this] { ++releases; }});
        player.Start(ThroughAFile(lines));
        player.WaitAll();
    }

    test::TempFolder folder;
    XTestSyntheticInput input;
    NoClipboard clipboard;
    std::atomic<bool> stop{false};
    std::atomic<int> releases{0};
    std::unique_ptr<test::XTestWindow> window;
};

TEST_F(MacroPlaybackTest, ThePointerGoesToEachRecordedPositionAndClicksThere) {
    PointerSamplingWaiter waiter;
    Play({"0 MOUSE_MOVE 100 120", "10 MOUSE_MOVE 140 150", "20 MOUSE_LEFTDOWN 160 170",
          "30 MOUSE_LEFTUP 180 190", "40 MOUSE_RIGHTDOWN 200 210", "50 MOUSE_RIGHTUP 200 210",
          "60 MOUSE_MIDDLEDOWN 220 230", "70 MOUSE_MIDDLEUP 220 230", "80 mouse_wheel -120 0",
          "90 MOUSE_WHEEL 240 999", "100 JUMP 300 310"},
         waiter, input);

    EXPECT_EQ(waiter.seen, (std::vector<CursorPoint>{{100, 120},
                                                     {140, 150},
                                                     {160, 170},
                                                     {180, 190},
                                                     {200, 210},
                                                     {200, 210},
                                                     {220, 230},
                                                     {220, 230},
                                                     {220, 230}, // the wheel leaves the pointer alone
                                                     {220, 230}}));
    EXPECT_EQ(input.cursorPos(), (CursorPoint{300, 310}));
    EXPECT_EQ(releases.load(), 1);

    // A drag from press to release, the other buttons where they were recorded, and one notch toward the
    // user (button 5) then two away (button 4).
    ASSERT_TRUE(window->PumpUntil([&] { return window->buttons.size() >= 12; }, milliseconds(5000)));
    window->PumpFor(milliseconds(100));
    std::vector<std::string> clicks;
    for (const auto& b : window->buttons)
        clicks.push_back(std::string(b.pressed ? "press " : "release ") + std::to_string(b.button) + " at " +
                         std::to_string(b.rootX) + "," + std::to_string(b.rootY));
    EXPECT_EQ(clicks, (std::vector<std::string>{
                          "press 1 at 160,170", "release 1 at 180,190", "press 3 at 200,210",
                          "release 3 at 200,210", "press 2 at 220,230", "release 2 at 220,230",
                          "press 5 at 220,230", "release 5 at 220,230", "press 4 at 220,230",
                          "release 4 at 220,230", "press 4 at 220,230", "release 4 at 220,230"}));
}

TEST_F(MacroPlaybackTest, RecordedKeysArriveAsTheirKeysymsAndCharacters) {
    // Each entry: the virtual keys held in turn (let go in reverse), and what the window must see.
    struct Stroke {
        std::vector<unsigned> keys;
        std::string keysym;
        std::string text;
    };
    const std::vector<Stroke> strokes = {
        {{0x41}, "a", "a"},
        {{0x5A}, "z", "z"},
        {{0x10, 0x41}, "A", "A"}, // Shift
        {{0x30}, "0", "0"},
        {{0x39}, "9", "9"},
        {{0x10, 0x31}, "exclam", "!"},
        {{0x70}, "F1", ""},
        {{0x74}, "F5", ""},
        {{0x7B}, "F12", ""},
        {{0xBA}, "semicolon", ";"},
        {{0xBB}, "equal", "="},
        {{0xBC}, "comma", ","},
        {{0xBD}, "minus", "-"},
        {{0xBE}, "period", "."},
        {{0xBF}, "slash", "/"},
        {{0xC0}, "grave", "`"},
        {{0xDB}, "bracketleft", "["},
        {{0xDC}, "backslash", "\\"},
        {{0xDD}, "bracketright", "]"},
        {{0xDE}, "apostrophe", "'"},
        {{0x60}, "KP_0", "0"},
        {{0x65}, "KP_5", "5"},
        {{0x69}, "KP_9", "9"},
        {{0x6A}, "KP_Multiply", "*"},
        {{0x6B}, "KP_Add", "+"},
        {{0x6D}, "KP_Subtract", "-"},
        {{0x6E}, "KP_Decimal", "."},
        {{0x6F}, "KP_Divide", "/"},
        {{0x20}, "space", " "},
        {{0x0D}, "Return", "\r"},
        {{0x25}, "Left", ""},
        {{0x24}, "Home", ""},
        {{0x2E}, "Delete", "\x7f"},
    };
    std::vector<std::string> lines = {"Keys for the test window"};
    int t = 0;
    for (const auto& stroke : strokes) {
        for (unsigned vk : stroke.keys)
            lines.push_back(std::to_string(t += 2) + " KEY_DOWN " + std::to_string(vk));
        for (auto vk = stroke.keys.rbegin(); vk != stroke.keys.rend(); ++vk)
            lines.push_back(std::to_string(t += 2) + " KEY_UP " + std::to_string(*vk));
    }
    SteadyMacroWaiter waiter;
    Play(lines, waiter, input);

    // Shift itself arrives as a key too; only the keys of the table are compared.
    const auto isTableKey = [](const test::ReceivedKey& key) { return key.keysym != "Shift_L"; };
    const auto tablePresses = [&] {
        return std::count_if(window->keys.begin(), window->keys.end(),
                             [&](const auto& k) { return k.pressed && isTableKey(k); });
    };
    window->PumpUntil([&] { return tablePresses() >= static_cast<long>(strokes.size()); },
                      milliseconds(5000));
    window->PumpFor(milliseconds(100));

    std::vector<std::string> expected, seen;
    for (const auto& stroke : strokes)
        expected.push_back(stroke.keysym + " '" + stroke.text + "'");
    for (const auto& key : window->keys)
        if (key.pressed && isTableKey(key)) seen.push_back(key.keysym + " '" + key.text + "'");
    EXPECT_EQ(seen, expected);
    // Every press was let go again, Shift included.
    const long presses =
        std::count_if(window->keys.begin(), window->keys.end(), [](auto& k) { return k.pressed; });
    EXPECT_EQ(presses, static_cast<long>(window->keys.size()) - presses);
}

TEST_F(MacroPlaybackTest, TwentyMillisecondStepsKeepTheirSpacing) {
    constexpr int kSteps = 20, kStep = 20;
    std::vector<std::string> lines;
    for (int i = 0; i < kSteps; ++i)
        lines.push_back(std::to_string(i * kStep) + " MOUSE_MOVE " + std::to_string(100 + 10 * i) + " 200");
    TimestampingInput timed(input);
    // As the program makes it.
    SteadyMacroWaiter waiter(platform::linux_backend::TunePlaybackThread,
                             platform::linux_backend::kTunedThreadSleepMargin);
    const auto played = ThroughAFile(lines);
    DoDo2 player({timed, clipboard, waiter, stop, {}});
    const auto before = Clock::now();
    player.Start(played);
    player.WaitAll();

    const auto times = timed.times();
    ASSERT_EQ(times.size(), static_cast<std::size_t>(kSteps));
    std::vector<double> gaps;
    for (int i = 0; i < kSteps; ++i) {
        // Never before its moment.
        EXPECT_GE(times[i] - before, milliseconds(i * kStep)) << "step " << i;
        if (i > 0) gaps.push_back(std::chrono::duration<double, std::milli>(times[i] - times[i - 1]).count());
    }
    std::sort(gaps.begin(), gaps.end());
    const double median = gaps[gaps.size() / 2];
    EXPECT_GE(median, 19.0);
    EXPECT_LE(median, 25.0);
    // Lateness does not pile up over the steps; the bound is loose for a busy machine.
    EXPECT_LE(times.back() - before, milliseconds((kSteps - 1) * kStep + 250));
    EXPECT_EQ(input.cursorPos(), (CursorPoint{100 + 10 * (kSteps - 1), 200}));
}

// The program's own key grab holds the keyboard from the hotkey's press to its release; a macro that
// typed meanwhile would type into that grab and its first keys would be lost.
TEST_F(MacroPlaybackTest, AMacroStartedByItsHotkeyTypesItsFirstKeysAfterTheHotkeyIsLetGo) {
    platform::fake::RecordingLog hotkeysLog;
    platform::linux_backend::LinuxGlobalHotkeys hotkeys(hotkeysLog);
    ASSERT_TRUE(hotkeys.available());
    SteadyMacroWaiter waiter;
    DoDo2 player({input, clipboard, waiter, stop, {}, milliseconds(2000)});
    hotkeys.setOnPressed([&](int, unsigned, unsigned) { player.Start({"0 KEY_DOWN 66", "0 KEY_UP 66"}); });
    ASSERT_EQ(hotkeys.registerHotkey(platform::kHotkeyAlt, 'K', 5), platform::HotkeyRegistration::Registered);

    XTestSyntheticInput user;
    user.keyDown(0x12);
    user.keyDown('K');
    // The user lets go a moment later, as fingers do.
    window->PumpFor(milliseconds(300));
    user.keyUp('K');
    user.keyUp(0x12);
    ASSERT_TRUE(window->PumpUntil(
        [&] {
            return std::any_of(window->keys.begin(), window->keys.end(),
                               [](auto& k) { return k.keysym == "b"; });
        },
        milliseconds(3000)))
        << "the macro's key went into the hotkey's grab";
    player.WaitAll();
    hotkeys.setOnPressed({});
}

// The layout of the test display for one playback, put back to US however the test ends.
struct Layout {
    explicit Layout(const char* name) { Set(name); }
    ~Layout() { Set("us"); }
    static void Set(const char* name) {
        std::vector<std::string> args{"setxkbmap", name};
        std::vector<char*> argv{args[0].data(), args[1].data(), nullptr};
        pid_t pid = 0;
        int status = 0;
        ASSERT_EQ(posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ), 0);
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << name;
    }
};

// What the recorder writes on each layout plays back as the same characters there.
TEST_F(MacroPlaybackTest, KeysTypeTheSameCharactersOnTheLayoutTheyWereRecordedOn) {
    struct Case {
        const char* layout;
        unsigned virtualKey;
        std::string keysym;
    };
    const std::vector<Case> cases = {
        {"ru", 0x51, "Cyrillic_shorti"}, {"ru", 0x41, "Cyrillic_ef"}, {"de", 0x5A, "z"},
        {"de", 0xDB, "udiaeresis"},      {"fr", 0x41, "a"},           {"fr", 0x31, "ampersand"},
        {"fr", 0xDE, "ugrave"},          {"us", 0xDE, "apostrophe"},
    };
    for (const Case& c : cases) {
        const Layout layout(c.layout);
        test::XTestWindow& typedInto = *window;
        typedInto.PumpFor(milliseconds(100)); // the layout change reaches the window first
        typedInto.keys.clear();
        stop = false; // the last player set it as it ended
        SteadyMacroWaiter waiter;
        Play({"0 KEY_DOWN " + std::to_string(c.virtualKey), "5 KEY_UP " + std::to_string(c.virtualKey)},
             waiter, input);
        typedInto.PumpUntil([&] { return typedInto.keys.size() >= 2; }, milliseconds(3000));
        ASSERT_FALSE(typedInto.keys.empty()) << c.layout << " " << c.virtualKey;
        EXPECT_EQ(typedInto.keys.front().keysym, c.keysym) << c.layout << " " << c.virtualKey;
    }
}

TEST_F(MacroPlaybackTest, AltF12StopsTheTaskMacroDuringItsWaitAndIsFreeAfterwards) {
    platform::fake::RecordingLog hotkeysLog;
    platform::linux_backend::LinuxGlobalHotkeys hotkeys(hotkeysLog);
    ASSERT_TRUE(hotkeys.available());
    // As the program's hotkey handler does for Alt+F12, from the thread the press arrives on.
    hotkeys.setOnPressed([&](int, unsigned modifiers, unsigned key) {
        if (modifiers == hotkeys::kMacroStopModifiers && key == hotkeys::kMacroStopKey) stop = true;
    });
    hotkeys::HotkeyRegistrar registrar(hotkeys);
    SteadyMacroWaiter waiter;
    MacroStopKey stopKey(registrar);
    DoDo2 player({input, clipboard, waiter, stop, [&] { stopKey.Release(); }});
    TaskMacroStarter starter(player, stopKey, stop);
    platform::fake::RecordingLog otherProgramLog;
    platform::linux_backend::LinuxGlobalHotkeys otherProgram(otherProgramLog);

    const std::string path = folder.file("task.mco");
    test::WriteRecordedMacro(path, {u"0 KEY_DOWN 65", u"0 KEY_UP 65", u"300 KEY_DOWN 66", u"400 KEY_UP 66",
                                    u"500 KEY_DOWN 67", u"500 KEY_UP 67"});
    stop = true; // left over from an earlier stop
    ASSERT_TRUE(starter.StartTaskMacro(path));
    ASSERT_TRUE(window->PumpUntil([&] { return window->keys.size() >= 2; }, milliseconds(2000)));
    EXPECT_EQ(otherProgram.registerHotkey(platform::kHotkeyAlt, 123, 7),
              platform::HotkeyRegistration::Refused)
        << "Alt+F12 is not held while the macro plays";

    // The user presses Alt+F12 while the player waits for "300 KEY_DOWN 66".
    XTestSyntheticInput user;
    user.keyDown(0x12);
    user.keyDown(123);
    user.keyUp(123);
    user.keyUp(0x12);
    player.WaitAll();
    window->PumpFor(milliseconds(700));

    // The playback ends in its wait: the line it waited for does not play.
    std::vector<std::string> seen;
    for (const auto& key : window->keys)
        if (key.keysym != "Alt_L") seen.push_back((key.pressed ? "press " : "release ") + key.keysym);
    EXPECT_EQ(seen, (std::vector<std::string>{"press a", "release a"}));
    EXPECT_TRUE(stop.load());

    EXPECT_EQ(otherProgram.registerHotkey(platform::kHotkeyAlt, 123, 7),
              platform::HotkeyRegistration::Registered)
        << "Alt+F12 stayed taken after the playback";
    otherProgram.unregisterHotkey(7);
}

} // namespace
} // namespace orvanta::macros
