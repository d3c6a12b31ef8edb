#include "platform/linux/hotkeys/key_positions.h"

#include "platform/linux/hotkeys/vk_keysym.h"

#include <X11/XKBlib.h>
#include <cstring>
#include <string_view>

namespace orvanta::platform::linux_backend {

namespace {

struct Place {
    const char* name;
    unsigned virtualKey;
};

// The US layout's codes by place; XKB names the rows E (digits) to B (bottom) and counts from the left.
constexpr Place kPlaces[] = {
    {"TLDE", 0xC0}, {"AE01", '1'},  {"AE02", '2'}, {"AE03", '3'},  {"AE04", '4'},  {"AE05", '5'},
    {"AE06", '6'},  {"AE07", '7'},  {"AE08", '8'}, {"AE09", '9'},  {"AE10", '0'},  {"AE11", 0xBD},
    {"AE12", 0xBB}, {"AD01", 'Q'},  {"AD02", 'W'}, {"AD03", 'E'},  {"AD04", 'R'},  {"AD05", 'T'},
    {"AD06", 'Y'},  {"AD07", 'U'},  {"AD08", 'I'}, {"AD09", 'O'},  {"AD10", 'P'},  {"AD11", 0xDB},
    {"AD12", 0xDD}, {"AC01", 'A'},  {"AC02", 'S'}, {"AC03", 'D'},  {"AC04", 'F'},  {"AC05", 'G'},
    {"AC06", 'H'},  {"AC07", 'J'},  {"AC08", 'K'}, {"AC09", 'L'},  {"AC10", 0xBA}, {"AC11", 0xDE},
    {"BKSL", 0xDC}, {"AC12", 0xDC}, {"AB01", 'Z'}, {"AB02", 'X'},  {"AB03", 'C'},  {"AB04", 'V'},
    {"AB05", 'B'},  {"AB06", 'N'},  {"AB07", 'M'}, {"AB08", 0xBC}, {"AB09", 0xBE}, {"AB10", 0xBF},
    {"LSGT", 0xE2},
};

bool IsLetterOrDigit(unsigned virtualKey) {
    return (virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z');
}

} // namespace

void KeyPositions::read(Display* display) {
    codeOfKey_.clear();
    keyOfCode_.clear();
    XkbDescPtr xkb = XkbGetMap(display, 0, XkbUseCoreKbd);
    if (!xkb) return;
    if (XkbGetNames(display, XkbKeyNamesMask, xkb) == Success && xkb->names && xkb->names->keys) {
        for (int code = xkb->min_key_code; code <= xkb->max_key_code; ++code) {
            const std::string_view name(xkb->names->keys[code].name,
                                        strnlen(xkb->names->keys[code].name, XkbKeyNameLength));
            for (const Place& place : kPlaces) {
                if (name != place.name) continue;
                const auto keycode = static_cast<KeyCode>(code);
                codeOfKey_[keycode] = place.virtualKey;
                keyOfCode_.try_emplace(place.virtualKey, keycode); // BKSL before AC12
            }
        }
    }
    XkbFreeKeyboard(xkb, 0, True);
}

unsigned KeyPositions::VirtualKeyAt(KeyCode keycode) const {
    const auto it = codeOfKey_.find(keycode);
    return it == codeOfKey_.end() ? 0 : it->second;
}

KeyCode KeyPositions::KeycodeAt(unsigned virtualKey) const {
    const auto it = keyOfCode_.find(virtualKey);
    return it == keyOfCode_.end() ? 0 : it->second;
}

bool IsPunctuationVirtualKey(unsigned virtualKey) {
    return (virtualKey >= 0xBA && virtualKey <= 0xC0) || (virtualKey >= 0xDB && virtualKey <= 0xDE) ||
           virtualKey == 0xE2;
}

unsigned RecordedVirtualKey(unsigned long keysym, unsigned long fallback, KeyCode keycode,
                            const KeyPositions& positions) {
    const unsigned produced = KeysymToVirtualKey(keysym);
    const unsigned place = positions.VirtualKeyAt(keycode);
    if (produced && (IsLetterOrDigit(produced) || !place)) return produced;
    if (place) return place;
    return KeysymToVirtualKey(fallback);
}

} // namespace orvanta::platform::linux_backend
