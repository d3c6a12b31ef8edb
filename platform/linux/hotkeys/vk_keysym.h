#pragma once

namespace orvanta::platform::linux_backend {

// The X keysym of a Windows virtual-key code, or 0 when the key has none here. Letters map to their
// lower-case keysyms, so a letter never implies Shift.
unsigned long VirtualKeyToKeysym(unsigned virtualKey);

// The Windows virtual-key code of an X keysym, or 0 when it has none. Upper- and lower-case letters give
// the same code; a modifier without a side of its own gives the generic code (Shift, Control, Alt), the
// right-hand ones their own; keypad navigation keys give the navigation codes they stand for.
unsigned KeysymToVirtualKey(unsigned long keysym);

} // namespace orvanta::platform::linux_backend
