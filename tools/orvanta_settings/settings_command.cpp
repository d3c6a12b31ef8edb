#include "tools/orvanta_settings/settings_command.h"

namespace orvanta::settings_tool {

int RunSettingsCommand(const std::vector<std::string>& arguments, const SettingsServices& services,
                       std::ostream& err) {
    if (arguments.size() != 1 || (arguments[0] != "0" && arguments[0] != "1" && arguments[0] != "2")) {
        err << "usage: Orvanta_Settings 0|1|2\n"
               "  0  the desktop does not ask for the password on resume from sleep\n"
               "  1  the desktop asks for the password on resume from sleep\n"
               "  2  turn on network time synchronisation\n";
        return kUsage;
    }
    if (arguments[0] == "2") {
        const std::string problem = services.enableNetworkTime();
        if (problem.empty()) return kSucceeded;
        err << "Orvanta_Settings: could not turn on network time synchronisation: " << problem << "\n";
        return kFailed;
    }
    const bool lock = arguments[0] == "1";
    const auto control = services.findLockControl();
    if (!control) {
        err << "Orvanta_Settings: no setting for asking the password on resume was found for this desktop\n";
        return kFailed;
    }
    if (!control->setLocksOnResume(lock)) {
        err << "Orvanta_Settings: could not change " << control->describe() << "\n";
        return kFailed;
    }
    return kSucceeded;
}

} // namespace orvanta::settings_tool
