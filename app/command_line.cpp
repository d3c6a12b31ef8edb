#include "app/command_line.h"

namespace orvanta::app {

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    bool help = false, version = false;
    std::string firstError;
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h")
            help = true;
        else if (argument == "--version")
            version = true;
        else if (argument == "--show")
            line.show = true;
        else if (argument == "--new-task")
            line.newTask = true;
        else if (firstError.empty())
            firstError = argument.size() > 1 && argument[0] == '-' ? "unknown option '" + argument + "'"
                                                                   : "unexpected argument '" + argument + "'";
    }
    if (help)
        line.outcome = CommandLine::Outcome::help;
    else if (version)
        line.outcome = CommandLine::Outcome::version;
    else if (!firstError.empty()) {
        line.outcome = CommandLine::Outcome::error;
        line.error = firstError;
    }
    // The new task's editor opens in the window, so asking for it asks for the window too.
    if (line.newTask) line.show = true;
    return line;
}

std::string UsageText(const std::string& program) {
    return "Usage: " + program +
           " [--new-task | --show]\n"
           "A desktop task scheduler: programs, reminders, macros and power actions at set times or on a "
           "hotkey.\n"
           "When a copy already runs, the options are passed to it and this one ends.\n"
           "\n"
           "  --new-task  bring the window forward and open the editor for a new scheduled task\n"
           "  --show      bring the window forward with the task list, even when set to start hidden\n"
           "  --help      show this help and end\n"
           "  --version   show the version and end\n";
}

} // namespace orvanta::app
