#include "platform/fake/fake_log.h"
#include "platform/linux/actions/bus_requests.h"
#include "platform/linux/hotkeys/portal_global_hotkeys.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <optional>
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
using Why = HotkeyRefusal::Why;

constexpr const char* kStandInControl = "org.orvanta.test.PortalStandIn";

// The portal stand-in (portal_stand_in.py) as a process of its own on the session bus, ended by its id.
class PortalStandIn {
  public:
    PortalStandIn() { Start(); }
    ~PortalStandIn() { Stop(); }

    bool Present() const { return bus_ && NameHasOwner(bus_.get(), "org.freedesktop.portal.Desktop"); }

    // A new process takes the name, as when the desktop starts its portal again.
    void Start() {
        const char* argv[] = {"/usr/bin/python3", ORVANTA_PORTAL_STAND_IN, nullptr};
        if (posix_spawn(&pid_, argv[0], nullptr, nullptr, const_cast<char**>(argv), environ) != 0) pid_ = -1;
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (pid_ > 0 && !Present() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(50ms);
    }

    void Stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (Present() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(20ms);
    }

    // Every call the portal took, as "Method detail".
    std::vector<std::string> Calls() const {
        std::vector<std::string> calls;
        sd_bus_message* reply = nullptr;
        if (Call("Calls", &reply, "") >= 0 && sd_bus_message_enter_container(reply, 'a', "(ss)") >= 0) {
            const char *method = nullptr, *detail = nullptr;
            while (sd_bus_message_read(reply, "(ss)", &method, &detail) > 0)
                calls.push_back(std::string(method) + " " + detail);
        }
        sd_bus_message_unref(reply);
        return calls;
    }
    std::vector<std::string> CallsOf(const std::string& method) const {
        std::vector<std::string> of;
        for (const auto& call : Calls())
            if (call.rfind(method + " ", 0) == 0) of.push_back(call.substr(method.size() + 1));
        return of;
    }
    bool Activate(const std::string& shortcut) const {
        sd_bus_message* reply = nullptr;
        int activated = 0;
        const bool answered = Call("Activate", &reply, "s", shortcut.c_str()) >= 0 &&
                              sd_bus_message_read(reply, "b", &activated) >= 0;
        sd_bus_message_unref(reply);
        return answered && activated;
    }
    int OpenSessions() const {
        sd_bus_message* reply = nullptr;
        int count = -1;
        if (Call("OpenSessions", &reply, "") >= 0) sd_bus_message_read(reply, "i", &count);
        sd_bus_message_unref(reply);
        return count;
    }
    void Drop(const std::string& shortcut) const { Call("Drop", nullptr, "s", shortcut.c_str()); }
    void Assign(const std::string& shortcut, const std::string& trigger) const {
        Call("Assign", nullptr, "ss", shortcut.c_str(), trigger.c_str());
    }
    void RefuseBinds() const { Call("RefuseBinds", nullptr, "b", 1); }
    // From now on the shortcuts are bound with the session, and BindShortcuts binds nothing (Plasma 5.27).
    void BindAtCreate() const { Call("BindAtCreate", nullptr, "b", 1); }
    // Every later bind is answered only after this long, as by a desktop that asks the user first.
    void DelayBinds(std::chrono::milliseconds delay) const {
        Call("DelayBinds", nullptr, "u", std::uint32_t(delay.count()));
    }
    // An Activated signal as any other program on the session bus can send it.
    void Forge(const std::string& session, const std::string& shortcut) const {
        sd_bus_emit_signal(bus_.get(), "/org/freedesktop/portal/desktop",
                           "org.freedesktop.portal.GlobalShortcuts", "Activated", "osta{sv}", session.c_str(),
                           shortcut.c_str(), std::uint64_t(0), 0);
        sd_bus_flush(bus_.get());
    }

  private:
    template <typename... Args>
    int Call(const char* method, sd_bus_message** reply, const char* signature, Args... args) const {
        sd_bus_error error = SD_BUS_ERROR_NULL;
        const int r = sd_bus_call_method(bus_.get(), "org.freedesktop.portal.Desktop",
                                         "/org/freedesktop/portal/desktop", kStandInControl, method, &error,
                                         reply, signature, args...);
        sd_bus_error_free(&error);
        return r;
    }

    pid_t pid_ = -1;
    SystemBus bus_ = OpenSessionBus(5s);
};

struct Presses {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> seen;

    GlobalHotkeys::PressedCallback Callback() {
        return [this](int id, unsigned modifiers, unsigned key) {
            const std::lock_guard lock(mutex);
            seen.push_back(std::to_string(id) + ":" + std::to_string(modifiers) + "+" + std::to_string(key));
            changed.notify_all();
        };
    }
    bool WaitFor(std::size_t count) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 10s, [&] { return seen.size() >= count; });
    }
};

// What the backend tells after its binds, in order.
struct Outcomes {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::vector<HotkeyRefusal>> seen;
    std::size_t taken = 0;

    GlobalHotkeys::BoundCallback Callback() {
        return [this](std::vector<HotkeyRefusal> refused) {
            const std::lock_guard lock(mutex);
            seen.push_back(std::move(refused));
            changed.notify_all();
        };
    }
    // The next outcome not looked at yet; none when it does not come within the limit.
    std::optional<std::vector<HotkeyRefusal>> Next(std::chrono::milliseconds limit = 15s) {
        std::unique_lock lock(mutex);
        if (!changed.wait_for(lock, limit, [&] { return seen.size() > taken; })) return std::nullopt;
        return seen[taken++];
    }
};

const std::optional<std::vector<HotkeyRefusal>> kAllKept = std::vector<HotkeyRefusal>{};

template <typename Condition> bool Eventually(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

PortalHotkeyOptions Options() {
    PortalHotkeyOptions options;
    options.appId = "org.orvanta.Orvanta";
    options.registerAppId = true;
    options.answerLimit = 5s;
    return options;
}

class PortalHotkeysTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!std::getenv("DBUS_SESSION_BUS_ADDRESS")) GTEST_SKIP() << "needs the test desktop's session bus";
        ASSERT_TRUE(portal.Present()) << "the portal stand-in did not take its name";
    }
    PortalStandIn portal;
    fake::RecordingLog log;
    Presses presses;
    Outcomes bound;
};

TEST(PortalTrigger, NamesTheCombinationAsThePortalTakesIt) {
    EXPECT_EQ(PortalTrigger(kHotkeyAlt, 'A'), "ALT+A");
    EXPECT_EQ(PortalTrigger(kHotkeyControl, '5'), "CTRL+5");
    EXPECT_EQ(PortalTrigger(kHotkeyAlt, 123), "ALT+F12");
    EXPECT_EQ(PortalTrigger(kHotkeyControl | kHotkeyShift | kHotkeyWin, 'Z'), "CTRL+SHIFT+LOGO+Z");
    EXPECT_EQ(PortalTrigger(kHotkeyAlt, 0x2E), "") << "no name for Delete";
    EXPECT_TRUE(SameTrigger("Alt+A", "ALT+A"));
    EXPECT_TRUE(SameTrigger("ctrl + 5", "CTRL+5"));
    EXPECT_TRUE(SameTrigger("Meta+Q", "LOGO+Q"));
    EXPECT_FALSE(SameTrigger("Ctrl+Shift+A", "CTRL+A"));
}

// One load of the hotkey list is one session with one bind holding every shortcut, each with its
// combination as the preferred trigger; the app ID is registered first; a press arrives as Activated.
TEST_F(PortalHotkeysTest, ABatchBindsEveryShortcutOnceAndAnActivationIsAPress) {
    PortalGlobalHotkeys hotkeys(log, Options());
    hotkeys.setOnPressed(presses.Callback());
    hotkeys.setOnBound(bound.Callback());
    hotkeys.beginBatch();
    EXPECT_EQ(hotkeys.registerHotkey(kHotkeyAlt, 'A', 0xC000), HotkeyRegistration::Registered);
    EXPECT_EQ(hotkeys.registerHotkey(kHotkeyControl, '5', 0xC001), HotkeyRegistration::Registered);
    EXPECT_EQ(hotkeys.registerHotkey(kHotkeyAlt, 'A', 0xC002), HotkeyRegistration::Refused)
        << "held under 0xC000";
    EXPECT_TRUE(portal.CallsOf("BindShortcuts").empty()) << "nothing is bound before the batch ends";
    EXPECT_TRUE(hotkeys.endBatch().empty());
    EXPECT_EQ(bound.Next(), kAllKept);

    const auto calls = portal.Calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[0], "Register org.orvanta.Orvanta");
    EXPECT_EQ(calls[1].rfind("CreateSession ", 0), 0u) << calls[1];
    EXPECT_EQ(portal.CallsOf("BindShortcuts"),
              std::vector<std::string>{"hotkey-ALT+A=ALT+A hotkey-CTRL+5=CTRL+5"});

    ASSERT_TRUE(portal.Activate("hotkey-CTRL+5"));
    ASSERT_TRUE(presses.WaitFor(1));
    EXPECT_EQ(presses.seen, std::vector<std::string>{std::to_string(0xC001) + ":2+53"});

    // A reload with the same combinations under new ids keeps the session and delivers the new ids.
    hotkeys.beginBatch();
    hotkeys.unregisterHotkey(0xC000);
    hotkeys.unregisterHotkey(0xC001);
    hotkeys.registerHotkey(kHotkeyAlt, 'A', 0xC003);
    hotkeys.registerHotkey(kHotkeyControl, '5', 0xC004);
    EXPECT_TRUE(hotkeys.endBatch().empty());
    EXPECT_EQ(bound.Next(), kAllKept);
    EXPECT_EQ(portal.CallsOf("BindShortcuts").size(), 1u);
    ASSERT_TRUE(portal.Activate("hotkey-ALT+A"));
    ASSERT_TRUE(presses.WaitFor(2));
    EXPECT_EQ(presses.seen[1], std::to_string(0xC003) + ":1+65");
}

// Only the portal presses shortcuts: the same signal from another program on the bus, naming the live
// session and a bound shortcut, runs nothing.
TEST_F(PortalHotkeysTest, AnActivationFromAnyoneButThePortalIsNoPress) {
    PortalGlobalHotkeys hotkeys(log, Options());
    hotkeys.setOnPressed(presses.Callback());
    hotkeys.setOnBound(bound.Callback());
    hotkeys.beginBatch();
    ASSERT_EQ(hotkeys.registerHotkey(kHotkeyAlt, 'S', 0xC010), HotkeyRegistration::Registered);
    ASSERT_TRUE(hotkeys.endBatch().empty());
    ASSERT_EQ(bound.Next(), kAllKept);
    const auto sessions = portal.CallsOf("CreateSession");
    ASSERT_EQ(sessions.size(), 1u);
    portal.Forge(sessions[0], "hotkey-ALT+S");
    // Sent after the forgery from the same connection, so the bus delivers it later.
    ASSERT_TRUE(portal.Activate("hotkey-ALT+S"));
    ASSERT_TRUE(presses.WaitFor(1));
    std::this_thread::sleep_for(200ms);
    const std::lock_guard lock(presses.mutex);
    EXPECT_EQ(presses.seen, std::vector<std::string>{std::to_string(0xC010) + ":1+83"});
}

// A desktop that binds the shortcuts given with the session (KDE Plasma 5.27) gets them there and is not
// asked to bind them again: its BindShortcuts binds nothing and opens its shortcut settings on the
// user's screen at every change of the list.
TEST_F(PortalHotkeysTest, ADesktopThatBindsWithTheSessionIsNotAskedAgain) {
    portal.BindAtCreate();
    portal.Assign("hotkey-ALT+C", "Ctrl+Shift+C");
    PortalGlobalHotkeys hotkeys(log, Options());
    hotkeys.setOnPressed(presses.Callback());
    hotkeys.setOnBound(bound.Callback());
    hotkeys.beginBatch();
    hotkeys.registerHotkey(kHotkeyAlt, 'A', 1);
    hotkeys.registerHotkey(kHotkeyAlt, 'C', 3);
    hotkeys.endBatch();
    EXPECT_EQ(bound.Next(), (std::vector<HotkeyRefusal>{{3, Why::AssignedOther, "Ctrl+Shift+C"}}));
    EXPECT_EQ(portal.CallsOf("CreateSessionShortcuts"),
              std::vector<std::string>{"hotkey-ALT+A=ALT+A hotkey-ALT+C=ALT+C"});
    EXPECT_TRUE(portal.CallsOf("BindShortcuts").empty());
    ASSERT_TRUE(portal.Activate("hotkey-ALT+A"));
    ASSERT_TRUE(presses.WaitFor(1));
    EXPECT_EQ(presses.seen, std::vector<std::string>{"1:1+65"});
}

// A shortcut the desktop leaves out or binds to another trigger is named with the reason; a change of
// the set ends the old session and binds the new set in a new one.
TEST_F(PortalHotkeysTest, AShortcutLeftOutOrMovedIsRefusedAndAChangeBindsANewSession) {
    portal.Drop("hotkey-ALT+B");
    portal.Assign("hotkey-ALT+C", "Ctrl+Shift+C");
    PortalGlobalHotkeys hotkeys(log, Options());
    hotkeys.setOnPressed(presses.Callback());
    hotkeys.setOnBound(bound.Callback());
    hotkeys.beginBatch();
    for (const auto& [key, id] : {std::pair{'A', 1}, std::pair{'B', 2}, std::pair{'C', 3}})
        hotkeys.registerHotkey(kHotkeyAlt, unsigned(key), id);
    EXPECT_TRUE(hotkeys.endBatch().empty());
    EXPECT_EQ(bound.Next(),
              (std::vector<HotkeyRefusal>{{2, Why::NotBound, ""}, {3, Why::AssignedOther, "Ctrl+Shift+C"}}));
    EXPECT_EQ(portal.OpenSessions(), 1);
    EXPECT_FALSE(portal.Activate("hotkey-ALT+B"));

    // Alt+F12 taken outside a batch, as a playback does: bound at once, in a session of its own set.
    EXPECT_EQ(hotkeys.registerHotkey(kHotkeyAlt, 123, 9), HotkeyRegistration::Registered);
    EXPECT_EQ(bound.Next(), kAllKept);
    EXPECT_EQ(portal.CallsOf("BindShortcuts").back(), "hotkey-ALT+A=ALT+A hotkey-ALT+F12=ALT+F12");
    EXPECT_EQ(portal.CallsOf("Close").size(), 1u);
    EXPECT_EQ(portal.OpenSessions(), 1);
    ASSERT_TRUE(portal.Activate("hotkey-ALT+F12"));
    ASSERT_TRUE(presses.WaitFor(1));
    EXPECT_EQ(presses.seen, std::vector<std::string>{"9:1+123"});

    hotkeys.unregisterHotkey(9);
    hotkeys.unregisterHotkey(1);
    EXPECT_TRUE(Eventually([&] { return portal.OpenSessions() == 0; })) << "nothing held, no session left";
}

// A desktop that asks the user before it binds holds nobody meanwhile: the registrations and the end of
// the batch come back at once, and what it did not keep is told once it has answered.
TEST_F(PortalHotkeysTest, ABindTheDesktopAnswersLateHoldsNoCallerAndItsRefusalsFollow) {
    portal.DelayBinds(3s);
    portal.Drop("hotkey-ALT+B");
    PortalGlobalHotkeys hotkeys(log, Options());
    hotkeys.setOnPressed(presses.Callback());
    hotkeys.setOnBound(bound.Callback());
    const auto asked = std::chrono::steady_clock::now();
    hotkeys.beginBatch();
    EXPECT_EQ(hotkeys.registerHotkey(kHotkeyAlt, 'A', 1), HotkeyRegistration::Registered);
    EXPECT_EQ(hotkeys.registerHotkey(kHotkeyAlt, 'B', 2), HotkeyRegistration::Registered);
    EXPECT_TRUE(hotkeys.endBatch().empty());
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 500ms);

    EXPECT_EQ(bound.Next(), (std::vector<HotkeyRefusal>{{2, Why::NotBound, ""}}));
    EXPECT_GE(std::chrono::steady_clock::now() - asked, 2500ms) << "told only once the desktop answered";
    ASSERT_TRUE(portal.Activate("hotkey-ALT+A"));
    ASSERT_TRUE(presses.WaitFor(1));
    EXPECT_EQ(presses.seen, std::vector<std::string>{"1:1+65"});
}

// The program ends while the desktop still asks the user about its shortcuts: it ends at once, not when
// the question times out.
TEST_F(PortalHotkeysTest, EndingWhileTheDesktopAsksTakesNoLongerThanAMoment) {
    portal.DelayBinds(20s);
    auto hotkeys = std::make_unique<PortalGlobalHotkeys>(log, Options());
    EXPECT_EQ(hotkeys->registerHotkey(kHotkeyAlt, 'A', 1), HotkeyRegistration::Registered);
    std::this_thread::sleep_for(300ms); // the bind is under way, waiting for the answer
    const auto ending = std::chrono::steady_clock::now();
    hotkeys.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - ending, 2s);
}

// The set changes while the desktop has yet to answer for the previous one: the newest set is what ends up
// bound, in one live session, and the outcome told is that of the newest set alone.
TEST_F(PortalHotkeysTest, AChangeWhileABindIsUnansweredEndsWithTheNewestSetBound) {
    portal.DelayBinds(2s);
    portal.Drop("hotkey-ALT+B");
    PortalGlobalHotkeys hotkeys(log, Options());
    hotkeys.setOnPressed(presses.Callback());
    hotkeys.setOnBound(bound.Callback());
    hotkeys.beginBatch();
    hotkeys.registerHotkey(kHotkeyAlt, 'A', 1);
    hotkeys.registerHotkey(kHotkeyAlt, 'B', 2);
    EXPECT_TRUE(hotkeys.endBatch().empty());
    ASSERT_TRUE(Eventually([&] { return !portal.CallsOf("BindShortcuts").empty(); }));
    const auto asked = std::chrono::steady_clock::now();
    hotkeys.unregisterHotkey(2);
    EXPECT_EQ(hotkeys.registerHotkey(kHotkeyAlt, 'C', 3), HotkeyRegistration::Registered);
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 500ms);

    EXPECT_EQ(bound.Next(), kAllKept) << "the refusal of 2, no longer asked for, is not told";
    EXPECT_EQ(bound.Next(3s), std::nullopt);
    EXPECT_EQ(portal.CallsOf("BindShortcuts").back(), "hotkey-ALT+A=ALT+A hotkey-ALT+C=ALT+C");
    EXPECT_EQ(portal.OpenSessions(), 1);
    ASSERT_TRUE(portal.Activate("hotkey-ALT+C"));
    ASSERT_TRUE(presses.WaitFor(1));
    EXPECT_EQ(presses.seen, std::vector<std::string>{"3:1+67"});
}

TEST_F(PortalHotkeysTest, ABindTheDesktopRefusesLeavesEveryShortcutUnregisteredWithItsAnswer) {
    portal.RefuseBinds();
    PortalGlobalHotkeys hotkeys(log, Options());
    hotkeys.setOnBound(bound.Callback());
    EXPECT_EQ(hotkeys.registerHotkey(kHotkeyAlt, 'A', 1), HotkeyRegistration::Registered);
    EXPECT_EQ(bound.Next(), (std::vector<HotkeyRefusal>{{1, Why::DesktopRefused, "it did not bind them"}}));
    hotkeys.beginBatch();
    hotkeys.registerHotkey(kHotkeyAlt, 'B', 2);
    EXPECT_TRUE(hotkeys.endBatch().empty());
    EXPECT_EQ(bound.Next(), (std::vector<HotkeyRefusal>{{2, Why::DesktopRefused, "it did not bind them"}}))
        << "the refused 1 is not asked for again";
    EXPECT_EQ(portal.OpenSessions(), 0) << "the refused sessions are closed";
}

// The portal ends (the desktop restarts it, or the session ends): nothing crashes, the loss is logged, and
// a registration made while it is gone says the desktop is not there.
TEST_F(PortalHotkeysTest, TheDesktopGoingAwayIsLoggedAndWhatItTurnsAwayMeanwhileIsRegisteredOnItsReturn) {
    PortalGlobalHotkeys hotkeys(log, Options());
    hotkeys.setOnPressed(presses.Callback());
    hotkeys.setOnBound(bound.Callback());
    ASSERT_EQ(hotkeys.registerHotkey(kHotkeyAlt, 'A', 1), HotkeyRegistration::Registered);
    ASSERT_EQ(bound.Next(), kAllKept);
    portal.Stop();
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (log.find("desktop portal went away").empty() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(log.find("desktop portal went away").empty());
    EXPECT_EQ(hotkeys.registerHotkey(kHotkeyAlt, 'B', 2), HotkeyRegistration::Unavailable);
    EXPECT_TRUE(presses.seen.empty());

    // When it returns, the caller is told to register again what was turned away, and it binds.
    // The set held is bound at once, whatever the caller does; the caller registers its whole set again,
    // in one batch, later, and that is what ends up bound.
    // As the window does it: later, on its own thread.
    std::atomic<int> toldAgain{0};
    std::thread reload;
    hotkeys.setOnAvailableAgain([&] {
        ++toldAgain;
        reload = std::thread([&] {
            std::this_thread::sleep_for(200ms);
            hotkeys.beginBatch();
            hotkeys.registerHotkey(kHotkeyAlt, 'A', 1);
            hotkeys.registerHotkey(kHotkeyAlt, 'B', 2);
            hotkeys.endBatch();
        });
    });
    portal.Start();
    ASSERT_TRUE(portal.Present());
    EXPECT_TRUE(Eventually([&] { return toldAgain.load() == 1; }));
    EXPECT_EQ(bound.Next(), kAllKept);
    reload.join();
    std::this_thread::sleep_for(300ms);
    const auto binds = portal.CallsOf("BindShortcuts");
    ASSERT_FALSE(binds.empty());
    EXPECT_EQ(binds.front(), "hotkey-ALT+A=ALT+A") << "the set held waited for the caller";
    EXPECT_EQ(binds.back(), "hotkey-ALT+A=ALT+A hotkey-ALT+B=ALT+B");
    ASSERT_TRUE(portal.Activate("hotkey-ALT+B"));
    ASSERT_TRUE(presses.WaitFor(1));
}

// The desktop starts its portal again: the shortcuts held are bound in a session of the new one, under
// the application ID registered anew, and its Activated runs the task.
TEST_F(PortalHotkeysTest, APortalThatComesBackGetsTheSetBoundAgain) {
    PortalGlobalHotkeys hotkeys(log, Options());
    hotkeys.setOnPressed(presses.Callback());
    hotkeys.setOnBound(bound.Callback());
    hotkeys.beginBatch();
    hotkeys.registerHotkey(kHotkeyAlt, 'A', 1);
    hotkeys.registerHotkey(kHotkeyControl, '5', 2);
    hotkeys.endBatch();
    ASSERT_EQ(bound.Next(), kAllKept);
    portal.Stop();
    ASSERT_TRUE(Eventually([&] { return !log.find("desktop portal went away").empty(); }));

    portal.Start();
    ASSERT_TRUE(portal.Present());
    EXPECT_EQ(bound.Next(), kAllKept);
    const auto calls = portal.Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0], "Register org.orvanta.Orvanta");
    EXPECT_EQ(portal.CallsOf("BindShortcuts"),
              std::vector<std::string>{"hotkey-ALT+A=ALT+A hotkey-CTRL+5=CTRL+5"});
    ASSERT_TRUE(portal.Activate("hotkey-CTRL+5"));
    ASSERT_TRUE(presses.WaitFor(1));
    EXPECT_EQ(presses.seen, std::vector<std::string>{"2:2+53"});
    EXPECT_EQ(hotkeys.registerHotkey(kHotkeyAlt, 'B', 3), HotkeyRegistration::Registered);
    EXPECT_EQ(bound.Next(), kAllKept);
}

} // namespace
} // namespace orvanta::platform::linux_backend
