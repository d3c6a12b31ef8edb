#pragma once

#include <X11/Xlib.h>
#include <map>

namespace orvanta::platform::linux_backend {

// The keys of the main block (letters, digits and punctuation) by their place on the keyboard, named as
// XKB names places. A virtual-key code of that block stands for a place wherever no keysym says better:
// on a Cyrillic layout the key in Q's place is still the Q key, and on a German one the key right of P
// is the bracket key though it types ü.
class KeyPositions {
  public:
    // Reads the places of the display's keyboard; call again after a layout change.
    void read(Display* display);

    // The main-block code of the key's place, or 0 outside the block.
    unsigned VirtualKeyAt(KeyCode keycode) const;
    // The key in the place of a main-block code, or 0.
    KeyCode KeycodeAt(unsigned virtualKey) const;

  private:
    std::map<KeyCode, unsigned> codeOfKey_;
    std::map<unsigned, KeyCode> keyOfCode_;
};

// True for the main-block codes whose meaning is their place: punctuation. Letters and digits mean
// their character where the layout has it.
bool IsPunctuationVirtualKey(unsigned virtualKey);

// The code a recorded key press stands for. keysym is what the key produced in the current group and
// level: a letter, a digit or a key outside the main block is recorded as itself, so a French A is A and
// a keypad digit with Num Lock on is that digit; anything else of the main block (a Cyrillic letter,
// ü, punctuation) as its place. fallback is the key's first keysym, for keys of neither kind.
unsigned RecordedVirtualKey(unsigned long keysym, unsigned long fallback, KeyCode keycode,
                            const KeyPositions& positions);

} // namespace orvanta::platform::linux_backend
