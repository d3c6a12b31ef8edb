#include "actions/exit_request.h"

namespace orvanta::actions {

ExitSwitches SwitchesFor(ExitRequest request) {
    switch (request) {
    case ExitRequest::LogOff:
        return {.logOff = true};
    case ExitRequest::ForcedRestart:
        return {.reboot = true, .force = true};
    case ExitRequest::ForcedShutDown:
        return {.force = true, .powerOff = true};
    case ExitRequest::ShutDown:
        return {.powerOff = true};
    case ExitRequest::Restart:
        return {.reboot = true};
    }
    return {};
}

unsigned ExitFlags(const ExitSwitches& s) {
    unsigned flags = 0;
    if (s.force) flags |= kExitForce;
    flags |= s.reboot ? kExitReboot : kExitShutDown;
    if (s.powerOff && !s.reboot) flags |= kExitPowerOff;
    // A log off keeps only what is not about shutting down, which leaves the force bit.
    if (s.logOff) flags &= 0xF4u;
    return flags;
}

ExitOperation OperationFor(unsigned exitFlags) {
    const bool force = (exitFlags & kExitForce) != 0;
    if (exitFlags & kExitReboot) return {ExitOperation::Kind::Reboot, force};
    // A shut down without the power-off bit still powers off: no request of ours asks for a halt that
    // leaves the machine on, and not every system can do one.
    if (exitFlags & (kExitShutDown | kExitPowerOff)) return {ExitOperation::Kind::PowerOff, force};
    return {ExitOperation::Kind::LogOff, force};
}

} // namespace orvanta::actions
