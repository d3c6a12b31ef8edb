#include "actions/session_actions.h"

#include <iostream>

namespace orvanta::actions {

LineSink StandardOutputLines() {
    return [](const std::string& line) { std::cout << line << std::endl; };
}

SessionActions::SessionActions(platform::SessionPower& power, LineSink privilegeReports)
    : power_(power), privilegeReports_(std::move(privilegeReports)) {}

platform::RequestResult SessionActions::RequestExitWindows(ExitRequest request) {
    const platform::PrivilegeResult privilege = power_.enableShutdownPrivilege();
    if (privilegeReports_)
        for (const std::string& problem : privilege.problems)
            privilegeReports_(problem);

    const ExitOperation operation = OperationFor(ExitFlags(SwitchesFor(request)));
    switch (operation.kind) {
    case ExitOperation::Kind::LogOff:
        return operation.force ? power_.terminateSession() : power_.logOffPolitely();
    case ExitOperation::Kind::Reboot:
        return power_.reboot(operation.force);
    case ExitOperation::Kind::PowerOff:
        return power_.powerOff(operation.force);
    }
    return platform::RequestResult::unavailable;
}

bool SessionActions::EnableShutdownPrivilege() {
    return power_.enableShutdownPrivilege().enabled;
}

platform::RequestResult SessionActions::SuspendComputer(bool hibernate) {
    EnableShutdownPrivilege();
    return hibernate ? power_.hibernate() : power_.suspend();
}

bool SessionActions::LockComputer() {
    return LockSession() != platform::RequestResult::unavailable;
}

platform::RequestResult SessionActions::LockSession() {
    return power_.lockSession();
}

platform::RequestResult SessionActions::TurnMonitorOff() {
    return power_.turnMonitorOff();
}

} // namespace orvanta::actions
