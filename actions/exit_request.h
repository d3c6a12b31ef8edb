#pragma once

namespace orvanta::actions {

// The five ways the program ends the session or the system.
enum class ExitRequest {
    LogOff,         // tasks, the reminder, quick launch
    ForcedRestart,  // tasks, the reminder
    ForcedShutDown, // tasks, the reminder; with power off
    ShutDown,       // quick launch; with power off
    Restart,        // quick launch
};

// What a request asks for. Built afresh for every request, so nothing one request set can leak into
// the next.
struct ExitSwitches {
    bool logOff = false;   // end the user session only
    bool reboot = false;   // restart instead of shutting down
    bool force = false;    // end applications without asking them
    bool powerOff = false; // switch the power off after shutting down

    bool operator==(const ExitSwitches&) const = default;
};

// The exit flag bits, valued as ExitWindowsEx takes them, so the Windows backend can rebuild the exact
// word from the operation it is asked for.
inline constexpr unsigned kExitLogOff = 0;
inline constexpr unsigned kExitShutDown = 1;
inline constexpr unsigned kExitReboot = 2;
inline constexpr unsigned kExitForce = 4;
inline constexpr unsigned kExitPowerOff = 8;

ExitSwitches SwitchesFor(ExitRequest request);

// Log off 0, forced restart 6, forced shut down 13, shut down 9, restart 2.
unsigned ExitFlags(const ExitSwitches& switches);

// What the platform is asked to do for a set of exit flags.
struct ExitOperation {
    enum class Kind { LogOff, Reboot, PowerOff } kind = Kind::LogOff;
    bool force = false;

    bool operator==(const ExitOperation&) const = default;
};

ExitOperation OperationFor(unsigned exitFlags);

} // namespace orvanta::actions
