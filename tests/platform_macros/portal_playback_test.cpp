// Macro playback through the RemoteDesktop portal, against a stand-in for the portal on the private
// session bus that keeps every call with the moment it came.
#include "macros/macro_player.h"
#include "platform/linux/actions/bus_requests.h"
#include "platform/linux/input/portal_synthetic_input.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <thread>
#include <vector>

extern char** environ;

namespace orvanta::platform::linux_backend {
namespace {

using namespace std::chrono_literals;
using Calls = std::vector<std::string>;

struct Call {
    std::string what; // "Method detail"
    double ms = 0;
};

// remote_desktop_stand_in.py as a process of its own on the session bus, ended by its id.
class RemoteDesktopStandIn {
  public:
    RemoteDesktopStandIn() {
        const char* argv[] = {"/usr/bin/python3", ORVANTA_REMOTE_DESKTOP_STAND_IN, nullptr};
        if (posix_spawn(&pid_, argv[0], nullptr, nullptr, const_cast<char**>(argv), environ) != 0) pid_ = -1;
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (pid_ > 0 && !Present() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(50ms);
    }
    ~RemoteDesktopStandIn() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (Present() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(20ms);
    }
    bool Present() const { return bus_ && NameHasOwner(bus_.get(), "org.freedesktop.portal.Desktop"); }

    std::vector<Call> Timed() const {
        std::vector<Call> calls;
        sd_bus_message* reply = nullptr;
        if (Control("Calls", &reply, "") >= 0 && sd_bus_message_enter_container(reply, 'a', "(ssd)") >= 0) {
            const char *method = nullptr, *detail = nullptr;
            double ms = 0;
            while (sd_bus_message_read(reply, "(ssd)", &method, &detail, &ms) > 0)
                calls.push_back({*detail ? std::string(method) + " " + detail : std::string(method), ms});
        }
        sd_bus_message_unref(reply);
        return calls;
    }
    Calls All() const {
        Calls all;
        for (const Call& c : Timed())
            all.push_back(c.what);
        return all;
    }
    // The Notify calls only, without their common prefix.
    Calls Notified() const {
        Calls notified;
        for (const std::string& c : All())
            if (c.rfind("Notify", 0) == 0) notified.push_back(c.substr(6));
        return notified;
    }
    int OpenSessions() const {
        sd_bus_message* reply = nullptr;
        int count = -1;
        if (Control("OpenSessions", &reply, "") >= 0) sd_bus_message_read(reply, "i", &count);
        sd_bus_message_unref(reply);
        return count;
    }
    void AnswerStarts(std::uint32_t code) const { Control("AnswerStarts", nullptr, "u", code); }

  private:
    template <typename... Args>
    int Control(const char* method, sd_bus_message** reply, const char* signature, Args... args) const {
        sd_bus_error error = SD_BUS_ERROR_NULL;
        const int r = sd_bus_call_method(
            bus_.get(), "org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
            "org.orvanta.test.RemoteDesktopStandIn", method, &error, reply, signature, args...);
        sd_bus_error_free(&error);
        return r;
    }

    pid_t pid_ = -1;
    SystemBus bus_ = OpenSessionBus(5s);
};

class NoClipboard : public macros::ClipboardPort {
  public:
    void setClipboardText(const std::string&) override {}
};

class PortalPlaybackTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(portal.Present()) << "the stand-in did not come up"; }

    macros::MacroPorts Ports() {
        macros::MacroPorts ports{input, clipboard, waiter, stop, [this] { ++released; }};
        ports.refused = [this](const std::string& why) { refusals.push_back(why); };
        return ports;
    }

    RemoteDesktopStandIn portal;
    std::vector<std::string> saved;
    PortalSyntheticInput input{{2, 10s, {}, [this](const std::string& token) { saved.push_back(token); }}};
    NoClipboard clipboard;
    macros::SteadyMacroWaiter waiter;
    std::atomic<bool> stop{false};
    int released = 0;
    std::vector<std::string> refusals;
};

TEST_F(PortalPlaybackTest, KeysButtonsMotionAndWheelArriveInOrderWithTheRecordedSpacing) {
    macros::PlayMacro({"0 KEY_DOWN 65", "0 KEY_UP 65", "250 MOUSE_MOVE 100 50", "0 MOUSE_LEFTDOWN 100 50",
                       "0 MOUSE_LEFTUP 110 45", "250 MOUSE_WHEEL 240 0", "0 MOUSE_RIGHTDOWN 110 45",
                       "0 MOUSE_RIGHTUP 110 45"},
                      Ports());
    EXPECT_TRUE(refusals.empty());
    EXPECT_EQ(released, 1);
    // Keys as keysyms ('a' for the A key) pressed and released; the pointer pushed to the top-left
    // corner, then moved by the recorded position; buttons as evdev codes; a notch away is a step up.
    EXPECT_EQ(
        portal.Notified(),
        (Calls{"KeyboardKeysym 97 1", "KeyboardKeysym 97 0", "PointerMotion -100000 -100000",
               "PointerMotion 100 50", "PointerButton 272 1", "PointerMotion 10 -5", "PointerButton 272 0",
               "PointerAxisDiscrete 0 -2", "PointerButton 273 1", "PointerButton 273 0"}));
    const Calls all = portal.All();
    ASSERT_GE(all.size(), 4u);
    EXPECT_EQ((Calls{all.begin(), all.begin() + 3}),
              (Calls{"CreateSession", "SelectDevices types=3 persist=2 token=", "Start"}));
    EXPECT_EQ(all.back(), "Close") << "the session ends with the playback";
    EXPECT_EQ(portal.OpenSessions(), 0);

    std::vector<double> at;
    for (const Call& c : portal.Timed())
        if (c.what == "NotifyKeyboardKeysym 97 0" || c.what == "NotifyPointerMotion 100 50" ||
            c.what == "NotifyPointerAxisDiscrete 0 -2")
            at.push_back(c.ms);
    ASSERT_EQ(at.size(), 3u);
    for (const double gap : {at[1] - at[0], at[2] - at[1]}) {
        EXPECT_GE(gap, 230.0);
        EXPECT_LE(gap, 320.0);
    }
}

// The desktop remembers the user's answer under the token its Start gave; the next session hands it in.
TEST_F(PortalPlaybackTest, TheNextSessionAsksWithTheTokenOfTheLastOne) {
    macros::PlayMacro({"0 KEY_DOWN 66", "0 KEY_UP 66"}, Ports());
    macros::PlayMacro({"0 KEY_DOWN 67", "0 KEY_UP 67"}, Ports());
    Calls selects;
    for (const std::string& c : portal.All())
        if (c.rfind("SelectDevices", 0) == 0) selects.push_back(c);
    EXPECT_EQ(selects, (Calls{"SelectDevices types=3 persist=2 token=",
                              "SelectDevices types=3 persist=2 token=token-1"}));
    EXPECT_EQ(saved, (std::vector<std::string>{"token-1", "token-2"}));
    EXPECT_EQ(portal.Notified(), (Calls{"KeyboardKeysym 98 1", "KeyboardKeysym 98 0", "KeyboardKeysym 99 1",
                                        "KeyboardKeysym 99 0"}));
}

TEST_F(PortalPlaybackTest, ARefusedStartPlaysNothingAndTellsWhy) {
    struct Case {
        std::uint32_t code;
        const char* said;
    };
    for (const Case c : {Case{1, "the user did not let Orvanta control the keyboard and the pointer"},
                         Case{2, "the desktop did not let Orvanta control the keyboard and the pointer"}}) {
        SCOPED_TRACE(c.code);
        refusals.clear();
        portal.AnswerStarts(c.code);
        macros::PlayMacro({"0 KEY_DOWN 65", "0 MOUSE_LEFTDOWN 5 5", "10 KEY_UP 65"}, Ports());
        EXPECT_EQ(refusals, (std::vector<std::string>{c.said}));
        EXPECT_TRUE(portal.Notified().empty());
        EXPECT_EQ(portal.OpenSessions(), 0) << "the refused session is closed";
    }
    EXPECT_EQ(released, 2) << "Alt+F12 is given back each time";
    EXPECT_TRUE(saved.empty());
}

TEST_F(PortalPlaybackTest, AStopDuringAPauseLetsGoOfTheHeldKeyAndButtonBeforeTheSessionCloses) {
    macros::DoDo2 player(Ports());
    player.Start({"0 KEY_DOWN 16", "0 MOUSE_LEFTDOWN 5 5", "10000 KEY_UP 16"});
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (portal.Notified().size() < 4 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
    const auto stopped = std::chrono::steady_clock::now();
    stop = true;
    player.WaitAll();
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, 1s);
    // Shift (Shift_L) and the left button held at the stop; let go in the opposite order.
    EXPECT_EQ(portal.Notified(),
              (Calls{"KeyboardKeysym 65505 1", "PointerMotion -100000 -100000", "PointerMotion 5 5",
                     "PointerButton 272 1", "PointerButton 272 0", "KeyboardKeysym 65505 0"}));
    EXPECT_EQ(portal.All().back(), "Close");
    EXPECT_TRUE(refusals.empty());
}

// Without the portal on the bus the playback is refused with the bus's reason, not played into nothing.
TEST(PortalPlaybackWithoutPortal, ThePlaybackIsRefusedWithTheReason) {
    PortalSyntheticInput input{{2, 5s, {}, {}}};
    NoClipboard clipboard;
    macros::SteadyMacroWaiter waiter;
    std::atomic<bool> stop{false};
    std::vector<std::string> refusals;
    macros::MacroPorts ports{input, clipboard, waiter, stop, {}};
    ports.refused = [&](const std::string& why) { refusals.push_back(why); };
    macros::PlayMacro({"0 KEY_DOWN 65"}, ports);
    ASSERT_EQ(refusals.size(), 1u);
    EXPECT_FALSE(refusals[0].empty());
}

} // namespace
} // namespace orvanta::platform::linux_backend
