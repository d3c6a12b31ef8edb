#pragma once

namespace orvanta::platform::linux_backend {

// The X keysym of a Windows virtual-key code, or 0 when the key has none here. Letters map to their
// lower-case keysyms, so a letter never implies Shift.
unsigned long VirtualKeyToKeysym(unsigned virtualKey);

} // namespace orvanta::platform::linux_backend
