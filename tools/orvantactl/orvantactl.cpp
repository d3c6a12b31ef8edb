#include "tools/orvantactl/orvantactl.h"

#include "data/task_store.h"
#include "tools/orvantactl/command_line.h"
#include "tools/orvantactl/database_files.h"
#include "tools/orvantactl/task_builder.h"
#include "tools/orvantactl/task_commands.h"
#include "tools/orvantactl/usage_error.h"
#include "tools/orvantactl/usage_text.h"

#include <optional>

namespace orvanta::ctl {
namespace {

// Store messages carry carriage returns between their parts; the report must stay one line.
std::string OneLine(std::string message) {
    for (char& c : message)
        if (c == '\r' || c == '\n') c = ' ';
    return message;
}

void Run(const Invocation& invocation, std::ostream& out, const platform::Clock& clock,
         const platform::SystemPaths& paths) {
    // A task is checked completely before the database is even looked at.
    std::optional<data::TaskRecord> newTask;
    if (invocation.command == Command::Add) newTask = BuildTaskRecord(invocation.add, clock.now());

    const std::string database = PrepareTaskDatabase(invocation.dataFolder, paths);
    const data::TaskStore store(database, clock);
    switch (invocation.command) {
    case Command::Help:
        break;
    case Command::Add:
        AddTask(store, *newTask, out);
        break;
    case Command::Show:
        ShowTask(store, invocation.operand, out);
        break;
    case Command::Enable:
    case Command::Disable:
        SetTaskEnabled(store, invocation.operand, invocation.command == Command::Enable);
        break;
    case Command::Delete:
        DeleteTask(store, invocation.operand);
        break;
    case Command::Export:
        ExportTasks(database, invocation.operand);
        break;
    case Command::Import:
        ImportTasks(database, invocation.operand);
        break;
    }
}

} // namespace

int RunOrvantactl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const platform::Clock& clock, const platform::SystemPaths& paths) {
    try {
        const Invocation invocation = ParseCommandLine(args);
        if (invocation.command == Command::Help) {
            out << UsageText();
            return 0;
        }
        Run(invocation, out, clock, paths);
        out.flush();
        return 0;
    } catch (const UsageError& e) {
        err << "orvantactl: " << OneLine(e.what()) << '\n';
        return 2;
    } catch (const std::exception& e) {
        err << "orvantactl: " << OneLine(e.what()) << '\n';
        return 1;
    }
}

} // namespace orvanta::ctl
