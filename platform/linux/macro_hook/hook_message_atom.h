#pragma once

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace orvanta::platform::linux_backend {

// The type of the client message that carries the hook message to the recorder window. Its first data
// word is the message number, then the event code and the second parameter.
inline constexpr char kHookMessageAtomName[] = "_ORVANTA_MACRO_HOOK";

// The names of the two shared blocks as POSIX shared-memory objects.
inline constexpr char kHandleBlockName[] = "KSMMcoHook";
inline constexpr char kPointerBlockName[] = "KSMFmapp";

// Every block is mapped with this many bytes: the four 32-bit fields.
inline constexpr unsigned kSharedBlockBytes = 16;

// The POSIX object of a block: its name, then the user and the X display, so that another user's
// recorder, or ours in another session, never meets this one's block.
inline std::string SharedBlockObjectName(const std::string& name, const std::string& displayName = {}) {
    const char* display = displayName.empty() ? std::getenv("DISPLAY") : displayName.c_str();
    std::string object = "/" + name + "." + std::to_string(geteuid()) + ".";
    for (const char* c = display ? display : ""; *c; ++c)
        object += *c == '/' ? '_' : *c;
    return object;
}

} // namespace orvanta::platform::linux_backend
