#include "actions/quick_launch.h"

namespace orvanta::actions {

void RunQuickLaunch(QuickLaunchCommand command, SessionActions& session, scheduler::CloseAllowance& close) {
    switch (command) {
    case QuickLaunchCommand::ShutDown:
        close.AllowClose();
        session.RequestExitWindows(ExitRequest::ShutDown);
        break;
    case QuickLaunchCommand::Restart:
        close.AllowClose();
        session.RequestExitWindows(ExitRequest::Restart);
        break;
    case QuickLaunchCommand::LogOff:
        session.RequestExitWindows(ExitRequest::LogOff);
        break;
    // Sleep and hibernate take the shutdown privilege like a task's suspend does. Without it they
    // would only work once a task had suspended the computer, which a user clicking "Sleep" cannot
    // know.
    case QuickLaunchCommand::Sleep:
        session.SuspendComputer(false);
        break;
    case QuickLaunchCommand::Hibernate:
        session.SuspendComputer(true);
        break;
    case QuickLaunchCommand::LockDesktop:
        session.LockComputer();
        break;
    case QuickLaunchCommand::CloseMonitor:
        session.TurnMonitorOff();
        break;
    }
}

} // namespace orvanta::actions
