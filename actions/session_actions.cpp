#include "actions/session_actions.h"

#include <iostream>

namespace orvanta::actions {

LineSink StandardOutputLines() {
    return [](const std::string& line) { std::cout << line << std::endl; };
}

SessionActions::SessionActions(platform::SessionPower& power, LineSink privilegeReports)
    : power_(power), privilegeReports_(std::move(privilegeReports)) {}

void SessionActions::RequestExitWindows(ExitRequest request) {
    const platform::PrivilegeResult privilege = power_.enableShutdownPrivilege();
    if (privilegeReports_)
        for (const std::string& problem : privilege.problems)
            privilegeReports_(problem);

    const ExitOperation operation = OperationFor(ExitFlags(SwitchesFor(request)));
    switch (operation.kind) {
    case ExitOperation::Kind::LogOff:
        if (operation.force)
            power_.terminateSession();
        else
            power_.logOffPolitely();
        break;
    case ExitOperation::Kind::Reboot:
        power_.reboot(operation.force);
        break;
    case ExitOperation::Kind::PowerOff:
        power_.powerOff(operation.force);
        break;
    }
}

bool SessionActions::EnableShutdownPrivilege() {
    return power_.enableShutdownPrivilege().enabled;
}

void SessionActions::SuspendComputer(bool hibernate) {
    EnableShutdownPrivilege();
    if (hibernate)
        power_.hibernate();
    else
        power_.suspend();
}

bool SessionActions::LockComputer() {
    return power_.lockSession() != platform::RequestResult::unavailable;
}

void SessionActions::TurnMonitorOff() {
    power_.turnMonitorOff();
}

} // namespace orvanta::actions
