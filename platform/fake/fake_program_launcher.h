#pragma once

#include "platform/api/program_launcher.h"

#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace orvanta::platform::fake {

// Records every request; each answers true unless the test made that kind of request fail.
class FakeProgramLauncher : public ProgramLauncher {
  public:
    struct Request {
        std::string kind;   // "startProgram", "openDocument", "openAddress",
                            // "openAddressWithProtocolHandler", "runElevated", "openPowerSettings"
        std::string target; // the path or address; for programs the program
        ProgramStart start; // for programs

        bool operator==(const Request&) const = default;
    };

    bool startProgram(const ProgramStart& start) override;
    bool openDocument(const std::string& path) override;
    bool openAddress(const std::string& address) override;
    bool openAddressWithProtocolHandler(const std::string& address) override;
    bool runElevated(const ProgramStart& start) override;
    bool openPowerSettings() override;

    std::vector<Request> requests() const;
    // Requests of this kind answer false from now on.
    void failKind(const std::string& kind);

  private:
    bool record(Request request);

    mutable std::mutex mutex_;
    std::vector<Request> requests_;
    std::set<std::string> failing_;
};

} // namespace orvanta::platform::fake
