#pragma once

#include <string>
#include <vector>

namespace orvanta::platform::linux_backend {

struct SpawnPlan {
    std::string executable;             // the file to run
    std::vector<std::string> arguments; // argv, starting with the name the program is started under
};

// Starts the program in a session of its own and lets go of it: it outlives this process, is never
// waited for, and leaves no zombie behind (it is handed to the system's reaper). Its standard input is
// empty; output goes where ours goes. When a fallback is given and the program exits unsuccessfully, the
// fallback runs in its place. True when the program was started; what it does then is its own business.
// Safe to call from any thread: between fork and exec only async-signal-safe calls are made. When the
// program could not be started and startError is given, it receives the system's error number (ENOEXEC:
// the file is no program the system can run).
bool SpawnDetached(const SpawnPlan& plan, const SpawnPlan* fallback = nullptr, int* startError = nullptr);

} // namespace orvanta::platform::linux_backend
