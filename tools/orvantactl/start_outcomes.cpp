#include "tools/orvantactl/start_outcomes.h"

namespace orvanta::ctl {

bool NotingLauncher::Noted(bool started, const std::string& what) {
    if (!started) outcomes_.NoteFailure("could not " + what);
    return started;
}

bool NotingLauncher::startProgram(const platform::ProgramStart& start) {
    return Noted(inner_.startProgram(start), "start " + start.program);
}

bool NotingLauncher::openDocument(const std::string& path) {
    return Noted(inner_.openDocument(path), "open " + path);
}

bool NotingLauncher::openAddressWithProtocolHandler(const std::string& address) {
    return Noted(inner_.openAddressWithProtocolHandler(address), "open the address " + address);
}

bool NotingLauncher::runElevated(const platform::ProgramStart& start) {
    return Noted(inner_.runElevated(start), "start " + start.program + " as administrator");
}

platform::RequestResult NotingSessionPower::Noted(platform::RequestResult result, const std::string& what) {
    if (result == platform::RequestResult::refused) outcomes_.NoteFailure(what + ": the system refused");
    if (result == platform::RequestResult::unavailable) outcomes_.NoteFailure(what + ": not available here");
    return result;
}

} // namespace orvanta::ctl
