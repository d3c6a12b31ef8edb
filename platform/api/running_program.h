#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace orvanta::platform {

// The program as it runs in this user's session, seen from the command line: it is told of changes and
// answers from its own table. Every call waits for the program's answer.
class RunningProgram {
  public:
    struct Reply {
        enum class Kind {
            kDone,
            kAbsent,  // no running program answered
            kRefused, // the program refused (its settings are locked); message says so
            kFailed,  // the program answered with an error, or the call broke off; message says why
        };
        Kind kind = Kind::kAbsent;
        std::string message;
        bool done() const { return kind == Kind::kDone; }
    };
    // A task the program could not schedule, as its list reports it.
    struct Problem {
        std::string taskId;
        std::string problem;
    };

    virtual ~RunningProgram() = default;

    // Looks among this user's running copies (one per data folder) for the one working on dataFolder,
    // the same folder however it is written, and directs every later call to it. False when no such copy
    // answers; a copy that does not answer at once is taken for none, and the caller works on the files.
    virtual bool reachCopyOf(const std::string& dataFolder) = 0;
    // Rebuilds the run table and reloads the hotkey tasks. deferred is set when the program holds the
    // table (a confirmation or an editor is open) and takes the change in once it is free.
    virtual Reply rebuild(bool& deferred) = 0;
    // The scheduled-task list's rows, eight columns each, and the tasks left out of it.
    virtual Reply listScheduled(std::vector<std::vector<std::string>>& rows,
                                std::vector<Problem>& problems) = 0;
    // The notification-area hint naming the next task, and the tasks left out.
    virtual Reply nextTask(std::string& hint, std::vector<Problem>& problems) = 0;
    // Runs the task now, as its hotkey would; actions names what it started, in order.
    virtual Reply runTask(const std::string& id, std::vector<std::string>& actions) = 0;
    // Shows the main window, or opens the editor on a new task, as a second start of the program asks.
    virtual Reply showWindow() = 0;
    virtual Reply newTask() = 0;
};

// Whether two paths name the same folder: the same directory entry (a link, a trailing separator, "..")
// or, where one does not exist, the same text once tidied.
inline bool SameFolder(const std::string& a, const std::string& b) {
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error)) return true;
    const auto tidy = [](const std::string& path) {
        std::string text = std::filesystem::path(path).lexically_normal().string();
        while (text.size() > 1 && text.back() == '/')
            text.pop_back();
        return text;
    };
    return tidy(a) == tidy(b);
}

// The bus names of the program's interface, shared by both ends.
namespace program_bus {
inline constexpr const char* kObjectPath = "/org/orvanta/Orvanta";
inline constexpr const char* kInterface = "org.orvanta.Orvanta1";
inline constexpr const char* kLockedError = "org.orvanta.Orvanta1.Error.Locked";
inline constexpr const char* kFailedError = "org.orvanta.Orvanta1.Error.Failed";
} // namespace program_bus

} // namespace orvanta::platform
