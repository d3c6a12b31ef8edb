#pragma once

#include "platform/api/global_hotkeys.h"

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace orvanta::hotkeys {

// Registers combinations under names, each name standing for one atom id as long as it is in use. The
// GUI thread registers the tasks' combinations; a macro player releases the stop combination from its
// own thread, so every call is serialised.
class HotkeyRegistrar {
  public:
    explicit HotkeyRegistrar(platform::GlobalHotkeys& hotkeys) : hotkeys_(hotkeys) {}

    // Adds the name's atom and registers the combination under it; true when the system accepted it.
    bool RegisterTaskHotkey(const std::string& name, unsigned modifiers, unsigned virtualKey);
    // The same, with the system's answer, which tells a combination held elsewhere from a desktop that
    // lets no program have one.
    platform::HotkeyRegistration TakeTaskHotkey(const std::string& name, unsigned modifiers,
                                                unsigned virtualKey);
    // Releases the combination registered under the name and deletes one use of its atom.
    void UnregisterTaskHotkey(const std::string& name);

    // Whether another program holds the combination: it is taken and let go at once under an id of its own.
    // Meant for a combination this program does not hold itself (which would be refused as well); without a
    // keyboard to ask, nobody is said to hold it.
    bool HeldByAnotherProgram(unsigned modifiers, unsigned virtualKey);

    // The atom id of a name while it is in use.
    int atomOf(const std::string& name) const;

    // The registrations up to EndBatch are bound together; EndBatch names those that were not kept.
    struct NamedRefusal {
        std::string name;
        platform::HotkeyRefusal refusal;
    };
    void BeginBatch();
    std::vector<NamedRefusal> EndBatch();
    // Names refusals the backend tells after a bind that ended later; one whose id no name holds any more
    // (the list was loaded again meanwhile) is left out.
    std::vector<NamedRefusal> NameRefusals(std::vector<platform::HotkeyRefusal> refused) const;

  private:
    // Called with the mutex held.
    std::vector<NamedRefusal> Named(std::vector<platform::HotkeyRefusal> refused) const;

    struct Atom {
        int id = 0;
        int uses = 0;
    };

    platform::GlobalHotkeys& hotkeys_;
    mutable std::mutex mutex_;
    std::map<std::string, Atom> atoms_;
    int nextAtom_ = 0xC000; // string atoms live above the integer ones
    static constexpr int kProbeId = 0xBFFF;
};

// The macro player's stop combination, Alt+F12.
inline constexpr const char* kMacroStopHotkeyName = "OrvantaF12";
inline constexpr unsigned kMacroStopModifiers = platform::kHotkeyAlt;
inline constexpr unsigned kMacroStopKey = 123;

} // namespace orvanta::hotkeys
