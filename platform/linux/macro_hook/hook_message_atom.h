#pragma once

namespace orvanta::platform::linux_backend {

// The type of the client message that carries the hook message to the recorder window. Its first data
// word is the message number, then the event code and the second parameter.
inline constexpr char kHookMessageAtomName[] = "_ORVANTA_MACRO_HOOK";

// The names of the two shared blocks as POSIX shared-memory objects.
inline constexpr char kHandleBlockName[] = "KSMMcoHook";
inline constexpr char kPointerBlockName[] = "KSMFmapp";

// Every block is mapped with this many bytes: the four 32-bit fields.
inline constexpr unsigned kSharedBlockBytes = 16;

} // namespace orvanta::platform::linux_backend
