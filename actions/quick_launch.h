#pragma once

#include "actions/session_actions.h"
#include "scheduler/dispatch_ports.h"

#include <array>
#include <string_view>

namespace orvanta::actions {

// The seven power and session commands of the main window's File menu and of the notification-area
// menu's Quick Launch submenu. None asks for confirmation.
enum class QuickLaunchCommand { ShutDown, Restart, LogOff, Sleep, Hibernate, LockDesktop, CloseMonitor };

struct QuickLaunchItem {
    QuickLaunchCommand command;
    std::string_view mainMenuItem; // the File menu item
    std::string_view trayMenuItem; // the item of the notification-area menu
    std::string_view caption;      // English default; the language files translate it by item name
    std::string_view handler;      // the one click handler both items share
};

inline constexpr std::array<QuickLaunchItem, 7> kQuickLaunchItems{{
    {QuickLaunchCommand::ShutDown, "Shutoff2", "Shutoff1", "Shut Down", "Shutoff2Click"},
    {QuickLaunchCommand::Restart, "Reboot2", "Reboot1", "Restart", "Reboot2Click"},
    {QuickLaunchCommand::LogOff, "Logoff2", "Logoff1", "Log Off", "Logoff2Click"},
    {QuickLaunchCommand::Sleep, "Standby2", "Standby1", "Sleep", "Standby2Click"},
    {QuickLaunchCommand::Hibernate, "Hibernate2", "Hibernate1", "Hibernate", "Hibernate2Click"},
    {QuickLaunchCommand::LockDesktop, "LockSystem2", "Locksystem1", "Lock Desktop", "LockSystem2Click"},
    {QuickLaunchCommand::CloseMonitor, "CloseMo2", "CloseMo1", "Close Monitor", "CloseMo2Click"},
}};

// Runs one command. Shut down and restart allow the main window to close first, so the session can
// end; log off leaves that to the window's state, so while the window is shown its close query meets
// the log off as it would a user's close.
void RunQuickLaunch(QuickLaunchCommand command, SessionActions& session, scheduler::CloseAllowance& close);

} // namespace orvanta::actions
