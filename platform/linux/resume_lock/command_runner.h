#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace orvanta::platform::linux_backend {

// How a program run to completion ended.
struct CommandResult {
    bool started = false; // false: no such program, or it could not be started
    int exitStatus = -1;  // the exit code; -1 when it did not exit normally in time
    std::string output;   // what it wrote to its standard output

    bool succeeded() const { return started && exitStatus == 0; }
};

// Runs a program from its argument vector (argv[0] looked up on $PATH) and waits for it to end.
using CommandRunner = std::function<CommandResult(const std::vector<std::string>& argv)>;

// The real runner: never through a shell; standard input empty, standard error discarded, the
// environment ours. A program still running after the time limit is killed.
CommandResult RunCommand(const std::vector<std::string>& argv,
                         std::chrono::milliseconds timeLimit = std::chrono::seconds(10));

} // namespace orvanta::platform::linux_backend
