#include "platform/linux/actions/linux_session_power.h"

#include "platform/linux/actions/bus_requests.h"
#include "platform/linux/actions/desktop_logout.h"
#include "platform/linux/actions/logind_requests.h"
#include "platform/linux/actions/x11_desktop.h"
#include "platform/linux/system_bus.h"

namespace orvanta::platform::linux_backend {

RequestResult LinuxSessionPower::managerRequest(const char* method, bool interactive) const {
    const SystemBus bus = OpenSystemBus(options_.callTimeout);
    BusReply reply = CallLogindManager(bus.get(), method, interactive);
    // logind does not always name the program whose inhibitor blocked the request; its list does.
    if (reply.result == RequestResult::refused) {
        const std::string blockers = BlockingInhibitors(bus.get(), method);
        if (!blockers.empty()) reply.error += "; blocked by " + blockers;
    }
    return told(method, reply);
}

RequestResult LinuxSessionPower::told(const char* what, const BusReply& reply) const {
    std::string words;
    if (reply.result == RequestResult::refused)
        words = std::string("logind refused ") + what + ": " + reply.error;
    else if (reply.result == RequestResult::unavailable)
        words = std::string("logind could not be asked to ") + what + ": " + reply.error;
    if (!words.empty()) log_.warn(words);
    std::lock_guard lock(refusalLock_);
    lastRefusal_ = std::move(words);
    return reply.result;
}

std::string LinuxSessionPower::lastRefusal() const {
    std::lock_guard lock(refusalLock_);
    return lastRefusal_;
}

RequestResult LinuxSessionPower::politeRequest(const std::vector<SessionManagerLogout>& calls,
                                               const char* method) const {
    {
        const SystemBus sessionBus = OpenSessionBus(options_.callTimeout);
        if (const auto answer = AskSessionManager(sessionBus.get(), calls)) return *answer;
    }
    return managerRequest(method, true);
}

RequestResult LinuxSessionPower::powerOff(bool force) {
    return force ? managerRequest("PowerOff") : politeRequest(SessionManagerShutdowns(), "PowerOff");
}

RequestResult LinuxSessionPower::reboot(bool force) {
    return force ? managerRequest("Reboot") : politeRequest(SessionManagerReboots(), "Reboot");
}

RequestResult LinuxSessionPower::suspend() {
    return managerRequest("Suspend");
}

RequestResult LinuxSessionPower::hibernate() {
    return managerRequest("Hibernate");
}

RequestResult LinuxSessionPower::logOffPolitely() {
    {
        const SystemBus sessionBus = OpenSessionBus(options_.callTimeout);
        if (const auto answer = AskSessionManagerToLogOff(sessionBus.get())) return *answer;
    }
    return terminateSession();
}

RequestResult LinuxSessionPower::terminateSession() {
    const SystemBus bus = OpenSystemBus(options_.callTimeout);
    return told("TerminateSession", TerminateOwnSession(bus.get()));
}

RequestResult LinuxSessionPower::lockSession() {
    const SystemBus bus = OpenSystemBus(options_.callTimeout);
    return told("Lock", LockOwnSession(bus.get()));
}

RequestResult LinuxSessionPower::turnMonitorOff() {
    return ForceMonitorOff(options_.displayName);
}

} // namespace orvanta::platform::linux_backend
