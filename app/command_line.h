#pragma once

#include <string>
#include <vector>

namespace orvanta::app {

// What the program was asked to do by its command line (the desktop entry's actions use it too).
struct CommandLine {
    enum class Outcome { run, help, version, error };
    Outcome outcome = Outcome::run;
    // Bring the window forward, also when the settings say to start hidden.
    bool show = false;
    // Come forward and open the editor for a new timed task.
    bool newTask = false;
    // For Outcome::error: what was wrong, in one line.
    std::string error;
};

// Reads the arguments after the program name. --help or --version anywhere wins, so that a user who
// asks for help gets it whatever else was typed; else the first argument that is not an option of the
// program makes the outcome an error.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The text --help prints; program is the name the user typed.
std::string UsageText(const std::string& program);

// The exit status of a command line the program does not understand.
inline constexpr int kUsageExitStatus = 2;

} // namespace orvanta::app
