#pragma once

#include "platform/api/running_program.h"
#include "platform/linux/system_bus.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

struct sd_bus_message;

namespace orvanta::platform::linux_backend {

// The program's interface on the session bus, asked through sd-bus. A call never starts the program: a
// command line that finds none works on the files instead.
class LinuxRunningProgram final : public RunningProgram {
  public:
    // busName: the program's name on the bus (its application ID).
    explicit LinuxRunningProgram(std::string busName,
                                 std::chrono::milliseconds callLimit = std::chrono::seconds(60));

    bool reachCopyOf(const std::string& dataFolder) override;
    Reply rebuild(bool& deferred) override;
    Reply listScheduled(std::vector<std::vector<std::string>>& rows, std::vector<Problem>& problems) override;
    Reply nextTask(std::string& hint, std::vector<Problem>& problems) override;
    Reply runTask(const std::string& id, std::vector<std::string>& actions) override;
    Reply showWindow() override;
    Reply newTask() override;

  private:
    // Sends one call to the copy reached (the name's holder before one is); append adds its arguments,
    // read takes the answer. Both return sd-bus results. limit: how long the answer may take.
    Reply Call(const char* interface, const char* method, const std::function<int(sd_bus_message*)>& append,
               const std::function<int(sd_bus_message*)>& read, std::chrono::milliseconds limit);
    Reply Call(const char* interface, const char* method, const std::function<int(sd_bus_message*)>& append,
               const std::function<int(sd_bus_message*)>& read) {
        return Call(interface, method, append, read, callLimit_);
    }
    bool Connected();
    // Every connection holding the name or waiting for it, the holder first.
    std::vector<std::string> Copies();

    std::string busName_;
    std::string destination_; // the unique name of the copy reached; empty before
    std::chrono::milliseconds callLimit_;
    SystemBus bus_;
    bool tried_ = false;
};

} // namespace orvanta::platform::linux_backend
