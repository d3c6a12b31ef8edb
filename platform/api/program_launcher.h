#pragma once

#include <string>
#include <vector>

namespace orvanta::platform {

// A program to start. The parameters come twice: as the one text a system that hands programs a
// command line passes on, and already split into the arguments a system that starts programs from an
// argument vector passes. Both say the same.
struct ProgramStart {
    std::string program; // a path, or a bare name the system looks up the way its shell would
    std::string parameters;
    std::vector<std::string> arguments;

    bool operator==(const ProgramStart&) const = default;
};

// Starts programs and opens documents and addresses with the desktop's own programs. Everything
// started runs on its own: it outlives this process and is never waited for. Each call answers whether
// the system started something, not whether that something then succeeded.
class ProgramLauncher {
  public:
    virtual ~ProgramLauncher() = default;

    // A program named by a document rather than by something that runs is opened as a document.
    virtual bool startProgram(const ProgramStart& start) = 0;
    virtual bool openDocument(const std::string& path) = 0;
    virtual bool openAddress(const std::string& address) = 0;
    // The desktop's second way to open an address, for when the first one reported failure.
    virtual bool openAddressWithProtocolHandler(const std::string& address) = 0;
    // Starts the program with administrator rights, asking the user where the system wants that.
    virtual bool runElevated(const ProgramStart& start) = 0;
    // The desktop's own power settings.
    virtual bool openPowerSettings() = 0;
};

} // namespace orvanta::platform
