#include "platform/linux/hotkeys/portal_global_hotkeys.h"

#include "platform/linux/actions/bus_requests.h"
#include "platform/linux/portal/portal_request.h"
#include "platform/linux/session_bus_loop.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdint>
#include <map>
#include <mutex>
#include <systemd/sd-bus.h>
#include <utility>

namespace orvanta::platform::linux_backend {
namespace {

constexpr const char* kShortcuts = "org.freedesktop.portal.GlobalShortcuts";

struct Combination {
    unsigned modifiers = 0;
    unsigned virtualKey = 0;
    bool operator==(const Combination&) const = default;
    auto operator<=>(const Combination&) const = default;
};

std::string ShortcutId(const Combination& c) {
    return "hotkey-" + PortalTrigger(c.modifiers, c.virtualKey);
}

std::vector<HotkeyRefusal> AllRefused(const std::map<int, Combination>& wanted, const std::string& why) {
    std::vector<HotkeyRefusal> refused;
    for (const auto& [id, combination] : wanted)
        refused.push_back({id, HotkeyRefusal::Why::DesktopRefused, why});
    return refused;
}

// Moves to the value of `key` in the a{sv} the message stands at; false when it has none. The caller
// exits the variant, the entry and the array.
bool EnterResult(sd_bus_message* m, const char* key, const char* contents) {
    if (sd_bus_message_enter_container(m, 'a', "{sv}") < 0) return false;
    while (sd_bus_message_enter_container(m, 'e', "sv") > 0) {
        const char* name = nullptr;
        if (sd_bus_message_read(m, "s", &name) < 0) return false;
        char type = 0;
        const char* inside = nullptr;
        if (std::string(name) == key && sd_bus_message_peek_type(m, &type, &inside) >= 0 && inside &&
            std::string(inside) == contents)
            return sd_bus_message_enter_container(m, 'v', contents) >= 0;
        sd_bus_message_skip(m, "v");
        sd_bus_message_exit_container(m);
    }
    return false;
}

std::string SessionHandle(sd_bus_message* results) {
    for (const char* type : {"o", "s"}) {
        sd_bus_message_rewind(results, 1);
        std::uint32_t code = 0;
        sd_bus_message_read(results, "u", &code);
        const char* handle = nullptr;
        if (EnterResult(results, "session_handle", type) &&
            sd_bus_message_read(results, type, &handle) >= 0 && handle)
            return handle;
    }
    return {};
}

// The response's results again, however far they were read: past the code, at the a{sv}.
sd_bus_message* AtResults(sd_bus_message* response) {
    sd_bus_message_rewind(response, 1);
    std::uint32_t code = 0;
    sd_bus_message_read(response, "u", &code);
    return response;
}

// The shortcuts a bind kept, by id, with the desktop's description of their triggers.
std::map<std::string, std::string> BoundShortcuts(sd_bus_message* results) {
    std::map<std::string, std::string> bound;
    if (!EnterResult(results, "shortcuts", "a(sa{sv})")) return bound;
    if (sd_bus_message_enter_container(results, 'a', "(sa{sv})") < 0) return bound;
    while (sd_bus_message_enter_container(results, 'r', "sa{sv}") > 0) {
        const char* id = nullptr;
        sd_bus_message_read(results, "s", &id);
        std::string& description = bound[id ? id : ""];
        if (sd_bus_message_enter_container(results, 'a', "{sv}") >= 0) {
            while (sd_bus_message_enter_container(results, 'e', "sv") > 0) {
                const char* key = nullptr;
                const char* text = nullptr;
                char type = 0;
                const char* inside = nullptr;
                sd_bus_message_read(results, "s", &key);
                if (key && std::string(key) == "trigger_description" &&
                    sd_bus_message_peek_type(results, &type, &inside) >= 0 && inside &&
                    std::string(inside) == "s" && sd_bus_message_read(results, "v", "s", &text) >= 0 && text)
                    description = text;
                else
                    sd_bus_message_skip(results, "v");
                sd_bus_message_exit_container(results);
            }
            sd_bus_message_exit_container(results);
        }
        sd_bus_message_exit_container(results);
    }
    return bound;
}

} // namespace

std::string PortalTrigger(unsigned modifiers, unsigned virtualKey) {
    std::string key;
    if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z'))
        key = std::string(1, char(virtualKey));
    else if (virtualKey >= 112 && virtualKey <= 135)
        key = "F" + std::to_string(virtualKey - 111);
    else
        return {};
    std::string text;
    if (modifiers & kHotkeyControl) text += "CTRL+";
    if (modifiers & kHotkeyAlt) text += "ALT+";
    if (modifiers & kHotkeyShift) text += "SHIFT+";
    if (modifiers & kHotkeyWin) text += "LOGO+";
    return text + key;
}

bool SameTrigger(const std::string& description, const std::string& trigger) {
    auto plain = [](const std::string& text) {
        std::string out;
        for (const char c : text)
            if (!std::isspace(static_cast<unsigned char>(c)))
                out += char(std::toupper(static_cast<unsigned char>(c)));
        return out;
    };
    // Desktops write the Windows key as Meta or Super.
    std::string described = plain(description);
    for (const char* other : {"META+", "SUPER+"})
        for (std::size_t at; (at = described.find(other)) != std::string::npos;)
            described.replace(at, std::string(other).size(), "LOGO+");
    return described == plain(trigger);
}

struct PortalGlobalHotkeys::Impl {
    Log& log;
    PortalHotkeyOptions options;

    std::mutex mutex;
    PressedCallback onPressed;
    BoundCallback onBound;
    std::map<int, Combination> wanted;
    bool batching = false;
    // Bumped by every change of the wanted set: a bind that ends with a newer set waiting reports nothing,
    // since the bind of that set follows and its outcome is the one that counts.
    std::uint64_t generation = 0;
    bool bindQueued = false;
    // Whether the portal's name has an owner: without one a registration cannot be bound.
    bool portalPresent = false;
    // Set as the backend ends: a bind waiting for the desktop's answer (a question to the user) gives up
    // rather than hold the program's exit for the answer limit.
    std::atomic<bool> ending{false};
    // Whether a registration was answered Unavailable for want of the portal since it was last there.
    bool turnedAwayWhileAbsent = false;
    AvailableAgainCallback onAvailableAgain;
    // Bumped whenever the portal's name changes hands: a session made across that belongs to nobody.
    std::uint64_t ownerChanges = 0;
    // The session the portal made for the last bind, and what it holds; touched on the bus thread.
    std::string sessionPath;
    std::map<Combination, std::string> boundSet;
    std::map<std::string, int> boundIds;
    bool appIdRegistered = false;
    int nextToken = 0;
    sd_bus_slot* activated = nullptr;
    sd_bus_slot* ownerChanged = nullptr;

    // Last: it ends first, so no job or signal runs on what follows it out.
    SessionBusLoop loop;

    Impl(Log& l, PortalHotkeyOptions o) : log(l), options(std::move(o)) {
        loop.RunAndWait([this](sd_bus* bus) { Watch(bus); }, std::chrono::seconds(2));
    }

    ~Impl() {
        ending = true;
        loop.RunAndWait(
            [this](sd_bus* bus) {
                CloseSession(bus);
                activated = sd_bus_slot_unref(activated);
                ownerChanged = sd_bus_slot_unref(ownerChanged);
            },
            std::chrono::seconds(2));
    }

    std::string Token() { return "orvanta" + std::to_string(++nextToken); }

    void Watch(sd_bus* bus) {
        if (!bus) return;
        {
            const std::lock_guard lock(mutex);
            portalPresent = NameHasOwner(bus, portal::kService);
        }
        // Only the portal may press our shortcuts: any program on the session bus can send a signal that
        // looks like it.
        sd_bus_match_signal(bus, &activated, portal::kService, portal::kObject, kShortcuts, "Activated",
                            OnActivated, this);
        sd_bus_add_match(bus, &ownerChanged,
                         "type='signal',sender='org.freedesktop.DBus',interface='org.freedesktop.DBus',"
                         "member='NameOwnerChanged',arg0='org.freedesktop.portal.Desktop'",
                         OnOwnerChanged, this);
    }

    static int OnActivated(sd_bus_message* m, void* data, sd_bus_error*) {
        auto* self = static_cast<Impl*>(data);
        const char* session = nullptr;
        const char* shortcut = nullptr;
        if (sd_bus_message_read(m, "os", &session, &shortcut) < 0) return 0;
        PressedCallback callback;
        int id = 0;
        Combination combination;
        {
            const std::lock_guard lock(self->mutex);
            const auto it = self->boundIds.find(shortcut);
            if (session != self->sessionPath || it == self->boundIds.end()) return 0;
            const auto held = self->wanted.find(it->second);
            if (held == self->wanted.end()) return 0;
            id = it->second;
            combination = held->second;
            callback = self->onPressed;
        }
        if (callback) callback(id, combination.modifiers, combination.virtualKey);
        return 0;
    }

    static int OnOwnerChanged(sd_bus_message* m, void* data, sd_bus_error*) {
        auto* self = static_cast<Impl*>(data);
        const char *name = nullptr, *before = nullptr, *after = nullptr;
        if (sd_bus_message_read(m, "sss", &name, &before, &after) < 0) return 0;
        AvailableAgainCallback tell;
        {
            const std::lock_guard lock(self->mutex);
            // The session and the application ID went with the old owner; a new one knows neither. A bind
            // under way tells nothing: what it got is gone, and the set stays wanted for the next owner.
            const bool held = !self->sessionPath.empty();
            self->sessionPath.clear();
            self->boundSet.clear();
            self->boundIds.clear();
            self->appIdRegistered = false;
            ++self->ownerChanges;
            ++self->generation;
            self->portalPresent = after && *after;
            if (!self->portalPresent) {
                if (held)
                    self->log.warn(
                        "the desktop portal went away: the hotkeys are bound again when it returns");
                return 0;
            }
            if (std::exchange(self->turnedAwayWhileAbsent, false)) tell = self->onAvailableAgain;
            if (!self->wanted.empty()) {
                self->log.warn("the desktop portal has a new owner: the hotkeys are bound again");
                // At once, even when the caller is told to register again: its reload may wait (an editor
                // holds the list) or not come. A desktop that asks before it binds may then ask twice.
                self->RequestBind();
            }
        }
        // Outside the lock: the caller registers again from here or from its own thread.
        if (tell) tell();
        return 0;
    }

    void CloseSession(sd_bus* bus) {
        std::string path;
        {
            const std::lock_guard lock(mutex);
            path = std::exchange(sessionPath, {});
            boundSet.clear();
            boundIds.clear();
        }
        if (!bus || path.empty()) return;
        sd_bus_error error = SD_BUS_ERROR_NULL;
        sd_bus_call_method(bus, portal::kService, path.c_str(), "org.freedesktop.portal.Session", "Close",
                           &error, nullptr, "");
        sd_bus_error_free(&error);
    }

    void RegisterAppId(sd_bus* bus) {
        if (!options.registerAppId || appIdRegistered) return;
        appIdRegistered = true;
        sd_bus_error error = SD_BUS_ERROR_NULL;
        if (sd_bus_call_method(bus, portal::kService, portal::kObject, "org.freedesktop.host.portal.Registry",
                               "Register", &error, nullptr, "sa{sv}", options.appId.c_str(), 0) < 0)
            log.warn("the desktop portal did not take the application ID " + options.appId + ": " +
                     (error.message ? error.message : "no answer"));
        sd_bus_error_free(&error);
    }

    // Called with the mutex held. At most one bind waits in the loop's queue, and it takes the set as it is
    // when it runs, so a burst of changes costs one bind and the last change is never left unbound.
    void RequestBind() {
        ++generation;
        if (bindQueued) return;
        bindQueued = true;
        loop.Post([this](sd_bus* bus) { BindNewest(bus); });
    }

    void BindNewest(sd_bus* bus) {
        std::map<int, Combination> want;
        std::uint64_t asked = 0;
        {
            const std::lock_guard lock(mutex);
            bindQueued = false;
            // Kept for the portal's return, which binds the set then.
            if (!portalPresent) return;
            want = wanted;
            asked = generation;
        }
        std::vector<HotkeyRefusal> refused = Bind(bus, want);
        BoundCallback report;
        {
            const std::lock_guard lock(mutex);
            if (asked != generation) return;
            for (const auto& refusal : refused)
                wanted.erase(refusal.id);
            report = onBound;
        }
        if (report) report(std::move(refused));
    }

    // Binds the wanted set in a new session, unless the live session holds exactly that set already.
    std::vector<HotkeyRefusal> Bind(sd_bus* bus, const std::map<int, Combination>& want) {
        std::map<Combination, std::string> set;
        for (const auto& [id, combination] : want)
            set[combination] = ShortcutId(combination);
        std::uint64_t owner = 0;
        {
            const std::lock_guard lock(mutex);
            owner = ownerChanges;
            if (!sessionPath.empty() && set == boundSet) {
                boundIds.clear();
                for (const auto& [id, combination] : want)
                    boundIds[ShortcutId(combination)] = id;
                return {};
            }
        }
        CloseSession(bus);
        if (want.empty()) return {};
        if (!bus) return AllRefused(want, "there is no session bus");
        RegisterAppId(bus);

        // The shortcuts as both calls take them: an a(sa{sv}) of id, description and preferred trigger.
        auto appendShortcuts = [&](sd_bus_message* m) {
            int r = sd_bus_message_open_container(m, 'a', "(sa{sv})");
            for (const auto& [combination, shortcut] : set) {
                const std::string trigger = PortalTrigger(combination.modifiers, combination.virtualKey);
                if (r >= 0) r = sd_bus_message_open_container(m, 'r', "sa{sv}");
                if (r >= 0)
                    r = sd_bus_message_append(m, "sa{sv}", shortcut.c_str(), 2, "description", "s",
                                              ("Orvanta " + trigger).c_str(), "preferred_trigger", "s",
                                              trigger.c_str());
                if (r >= 0) r = sd_bus_message_close_container(m);
            }
            return r >= 0 ? sd_bus_message_close_container(m) : r;
        };

        const std::string sessionToken = Token();
        const std::string createToken = Token();
        // Some desktops (KDE Plasma 5.27) take the shortcuts only with the session and answer them there;
        // their BindShortcuts binds nothing and opens the desktop's shortcut settings instead. The others
        // leave that option aside and bind at BindShortcuts.
        portal::PortalResponse created = portal::CallPortal(
            bus, kShortcuts, "CreateSession", createToken,
            [&](sd_bus_message* m) {
                int r = sd_bus_message_open_container(m, 'a', "{sv}");
                if (r >= 0)
                    r = sd_bus_message_append(m, "{sv}{sv}", "handle_token", "s", createToken.c_str(),
                                              "session_handle_token", "s", sessionToken.c_str());
                if (r >= 0) r = sd_bus_message_open_container(m, 'e', "sv");
                if (r >= 0) r = sd_bus_message_append(m, "s", "shortcuts");
                if (r >= 0) r = sd_bus_message_open_container(m, 'v', "a(sa{sv})");
                if (r >= 0) r = appendShortcuts(m);
                if (r >= 0) r = sd_bus_message_close_container(m);
                if (r >= 0) r = sd_bus_message_close_container(m);
                return r >= 0 ? sd_bus_message_close_container(m) : r;
            },
            options.answerLimit, &ending);
        if (!created.answered()) return AllRefused(want, created.failure());
        if (created.code() != 0) return AllRefused(want, "it made no shortcuts session");
        std::string session = SessionHandle(created.results());
        if (session.empty()) session = portal::HandlePath(bus, "session", sessionToken);
        auto dropSession = [&] {
            sd_bus_error error = SD_BUS_ERROR_NULL;
            sd_bus_call_method(bus, portal::kService, session.c_str(), "org.freedesktop.portal.Session",
                               "Close", &error, nullptr, "");
            sd_bus_error_free(&error);
        };

        std::map<std::string, std::string> kept = BoundShortcuts(AtResults(created.results()));
        const bool boundWithSession = std::any_of(
            set.begin(), set.end(), [&](const auto& entry) { return kept.count(entry.second) > 0; });
        if (!boundWithSession) {
            const std::string bindToken = Token();
            portal::PortalResponse bound = portal::CallPortal(
                bus, kShortcuts, "BindShortcuts", bindToken,
                [&](sd_bus_message* m) {
                    int r = sd_bus_message_append(m, "o", session.c_str());
                    if (r >= 0) r = appendShortcuts(m);
                    if (r >= 0)
                        r = sd_bus_message_append(m, "sa{sv}", "", 1, "handle_token", "s", bindToken.c_str());
                    return r;
                },
                options.answerLimit, &ending);
            if (!bound.answered() || bound.code() != 0) {
                dropSession();
                return AllRefused(want, !bound.answered()   ? bound.failure()
                                        : bound.code() == 1 ? "the user cancelled the shortcuts"
                                                            : "it did not bind them");
            }
            kept = BoundShortcuts(bound.results());
        }

        std::vector<HotkeyRefusal> refused;
        std::unique_lock lock(mutex);
        if (owner != ownerChanges) {
            lock.unlock();
            dropSession();
            return {};
        }
        sessionPath = session;
        for (const auto& [id, combination] : want) {
            const std::string shortcut = ShortcutId(combination);
            const auto it = kept.find(shortcut);
            if (it == kept.end()) {
                refused.push_back({id, HotkeyRefusal::Why::NotBound, {}});
            } else if (!it->second.empty() &&
                       !SameTrigger(it->second,
                                    PortalTrigger(combination.modifiers, combination.virtualKey))) {
                refused.push_back({id, HotkeyRefusal::Why::AssignedOther, it->second});
            } else {
                boundSet[combination] = shortcut;
                boundIds[shortcut] = id;
            }
        }
        return refused;
    }
};

PortalGlobalHotkeys::PortalGlobalHotkeys(Log& log, PortalHotkeyOptions options)
    : impl_(std::make_unique<Impl>(log, std::move(options))) {}

PortalGlobalHotkeys::~PortalGlobalHotkeys() = default;

void PortalGlobalHotkeys::setOnPressed(PressedCallback onPressed) {
    const std::lock_guard lock(impl_->mutex);
    impl_->onPressed = std::move(onPressed);
}

void PortalGlobalHotkeys::setOnBound(BoundCallback onBound) {
    const std::lock_guard lock(impl_->mutex);
    impl_->onBound = std::move(onBound);
}

void PortalGlobalHotkeys::setOnAvailableAgain(AvailableAgainCallback onAvailableAgain) {
    const std::lock_guard lock(impl_->mutex);
    impl_->onAvailableAgain = std::move(onAvailableAgain);
}

HotkeyRegistration PortalGlobalHotkeys::registerHotkey(unsigned modifiers, unsigned virtualKey, int id) {
    const Combination combination{modifiers, virtualKey};
    const std::lock_guard lock(impl_->mutex);
    if (PortalTrigger(modifiers, virtualKey).empty()) return HotkeyRegistration::Unavailable;
    if (!impl_->portalPresent) {
        impl_->turnedAwayWhileAbsent = true;
        return HotkeyRegistration::Unavailable;
    }
    for (const auto& [other, held] : impl_->wanted)
        if (held == combination && other != id) return HotkeyRegistration::Refused;
    impl_->wanted[id] = combination;
    if (!impl_->batching) impl_->RequestBind();
    return HotkeyRegistration::Registered;
}

void PortalGlobalHotkeys::unregisterHotkey(int id) {
    const std::lock_guard lock(impl_->mutex);
    if (impl_->wanted.erase(id) == 0 || impl_->batching) return;
    impl_->RequestBind();
}

void PortalGlobalHotkeys::beginBatch() {
    const std::lock_guard lock(impl_->mutex);
    impl_->batching = true;
}

std::vector<HotkeyRefusal> PortalGlobalHotkeys::endBatch() {
    const std::lock_guard lock(impl_->mutex);
    if (!impl_->batching) return {};
    impl_->batching = false;
    impl_->RequestBind();
    return {};
}

} // namespace orvanta::platform::linux_backend
