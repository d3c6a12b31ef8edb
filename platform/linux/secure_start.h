#pragma once

namespace orvanta::platform::linux_backend {

// A program that gains a file capability (the package gives this one CAP_WAKE_ALARM) starts as a
// secure one, and the C library takes TMPDIR, LD_LIBRARY_PATH, TZDIR and their like out of its
// environment, so every program a task starts would run without them. Where only capabilities were
// gained (the user is who they were), the variables the user started the program with are put back
// for the programs it starts; the program's own loader has already ignored them. Returns how many.
int RestoreUserEnvironment();

} // namespace orvanta::platform::linux_backend
