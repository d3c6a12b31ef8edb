#include "platform/fake/fake_program_launcher.h"

namespace orvanta::platform::fake {

bool FakeProgramLauncher::record(Request request) {
    std::lock_guard lock(mutex_);
    const bool succeeds = !failing_.count(request.kind);
    requests_.push_back(std::move(request));
    return succeeds;
}

bool FakeProgramLauncher::startProgram(const ProgramStart& start) {
    return record({"startProgram", start.program, start});
}

bool FakeProgramLauncher::openDocument(const std::string& path) {
    return record({"openDocument", path, {}});
}

bool FakeProgramLauncher::openAddress(const std::string& address) {
    return record({"openAddress", address, {}});
}

bool FakeProgramLauncher::openAddressWithProtocolHandler(const std::string& address) {
    return record({"openAddressWithProtocolHandler", address, {}});
}

bool FakeProgramLauncher::runElevated(const ProgramStart& start) {
    return record({"runElevated", start.program, start});
}

bool FakeProgramLauncher::openPowerSettings() {
    return record({"openPowerSettings", {}, {}});
}

std::vector<FakeProgramLauncher::Request> FakeProgramLauncher::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void FakeProgramLauncher::failKind(const std::string& kind) {
    std::lock_guard lock(mutex_);
    failing_.insert(kind);
}

} // namespace orvanta::platform::fake
