#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvanta::platform {

// One running process as the system describes it. A name the system does not tell is empty.
struct ProcessEntry {
    std::int64_t id = 0;
    std::string imagePath;     // full path of the program file the process runs
    std::string imageName;     // the file name part of that path
    std::string shortName;     // the name the system keeps for the process itself, possibly cut short
    std::string firstArgument; // the program name the process was started under (argv[0])

    bool operator==(const ProcessEntry&) const = default;
};

// The running processes and their hard termination. Where the system wants a privilege before one
// program may end another, the backend takes it itself.
class ProcessControl {
  public:
    virtual ~ProcessControl() = default;

    // Every process of the system; nullopt when the system cannot list them.
    virtual std::optional<std::vector<ProcessEntry>> listProcesses() = 0;

    // Ends the process at once, without giving it a chance to clean up. True when the system took it.
    virtual bool killProcess(std::int64_t id) = 0;
};

} // namespace orvanta::platform
