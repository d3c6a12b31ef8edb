#pragma once

#include "actions/exit_request.h"
#include "platform/api/session_power.h"

#include <functional>
#include <string>

namespace orvanta::actions {

// Receives one line of text; used for reports that go to the program's standard output.
using LineSink = std::function<void(const std::string& line)>;

// Writes each line to standard output. Without a console the lines are simply lost, which is fine:
// they are for whoever runs the program from a terminal.
LineSink StandardOutputLines();

// The power and session operations. Their results are deliberately not acted on: a refused request
// leaves the program running as before, without a message.
class SessionActions {
  public:
    // privilegeReports receives the problems met while taking the shutdown privilege.
    SessionActions(platform::SessionPower& power, LineSink privilegeReports);

    // Takes the shutdown privilege (reporting any problem), then makes the request, whatever came of
    // the privilege. Callers that end the session for a task allow the main window to close first.
    // Answers how the system took the request.
    platform::RequestResult RequestExitWindows(ExitRequest request);

    // True when the privilege was taken without a problem; nothing is reported.
    bool EnableShutdownPrivilege();

    // Takes the shutdown privilege first; the system's wake-up events stay enabled, so a wake-up
    // timer can end the sleep.
    platform::RequestResult SuspendComputer(bool hibernate);

    // True when the lock was handed to the system, false where it has nothing to lock with.
    bool LockComputer();
    platform::RequestResult LockSession();

    platform::RequestResult TurnMonitorOff();

  private:
    platform::SessionPower& power_;
    LineSink privilegeReports_;
};

} // namespace orvanta::actions
