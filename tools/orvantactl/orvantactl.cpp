#include "tools/orvantactl/orvantactl.h"

#include "data/data_set.h"
#include "data/error.h"
#include "data/settings/data_folder.h"
#include "data/settings/settings.h"
#include "data/task_store.h"
#include "tools/orvantactl/command_line.h"
#include "tools/orvantactl/database_files.h"
#include "tools/orvantactl/doctor.h"
#include "tools/orvantactl/fixed_clock.h"
#include "tools/orvantactl/history_lines.h"
#include "tools/orvantactl/program_link.h"
#include "tools/orvantactl/run_task.h"
#include "tools/orvantactl/scheduled_list.h"
#include "tools/orvantactl/task_builder.h"
#include "tools/orvantactl/task_commands.h"
#include "tools/orvantactl/usage_error.h"
#include "tools/orvantactl/usage_text.h"

#include <optional>
#include <sstream>

namespace orvanta::ctl {
namespace {

// Store messages carry carriage returns between their parts; the report must stay one line.
std::string OneLine(std::string message) {
    for (char& c : message)
        if (c == '\r' || c == '\n') c = ' ';
    return message;
}

// What a command leaves beside its output: the tasks a rebuild had to leave out (the output is complete
// without them), and the status of a check that found something missing.
struct Outcome {
    std::vector<scheduler::RowProblem> problems;
    int status = 0;
};

int Doctor(const data::TaskStore& store, const DoctorPorts& doctor, std::ostream& out) {
    if (!doctor.probe) throw Error("doctor is not available on this system");
    std::vector<data::TaskRecord> tasks;
    for (data::DataSet rows = store.readAllTasks(); !rows.eof(); rows.next())
        tasks.push_back(data::ReadTaskRecord(rows));
    const AutostartEntry autostart{doctor.autostartProgram ? doctor.autostartProgram() : std::string()};
    return ReportDesktop(doctor.probe(), autostart, tasks, out);
}

Outcome Run(const Invocation& invocation, std::ostream& out, std::ostream& err, const platform::Clock& clock,
            const platform::SystemPaths& paths, scheduler::TaskActions& actions, const DoctorPorts& doctor,
            platform::RunningProgram* runningProgram) {
    // The history is the system's, not the data folder's: nothing there is made or looked at for it.
    if (invocation.command == Command::History) {
        if (!doctor.runHistory) throw Error("history is not available on this system");
        platform::HistoryQuery query;
        if (invocation.since) query.sinceUtcMs = clock.utcMsOf(*invocation.since);
        query.taskId = invocation.taskFilter;
        PrintHistory(*doctor.runHistory, query, clock, out);
        return {};
    }
    // A task is checked completely before the database is even looked at.
    std::optional<data::TaskRecord> newTask;
    if (invocation.command == Command::Add) newTask = BuildTaskRecord(invocation.add, clock.now());

    const std::string folder = ChooseDataFolder(invocation.dataFolder, paths);
    const std::string database = PrepareTaskDatabase(folder, paths.pathSeparator());
    // Scripts start commands side by side, and the program writes too: a command waits out another's
    // hold on the file, and reports it as locked, never as damaged, when it lasts longer.
    constexpr int kCommandLockWaitMs = 3000;
    const data::TaskStore store(database, clock, kCommandLockWaitMs);
    const data::Settings settings(data::SettingsFilePath(folder, paths.pathSeparator()));
    // A damaged file is named and left as it is, as the program does, before anything writes to it. An
    // import replaces the whole file, which is how it is restored, so it is not held back.
    const bool writes = invocation.command == Command::Add || invocation.command == Command::Enable ||
                        invocation.command == Command::Disable || invocation.command == Command::Delete;
    if (writes) store.checkIntegrity();
    // The program running on these files answers from its own table and must hear of every change. A
    // command for a moment of its own (--now) is answered from the files, as the program lives in the
    // present.
    const bool asksProgram =
        writes || invocation.command == Command::Import ||
        (!invocation.now && (invocation.command == Command::List || invocation.command == Command::Next ||
                             invocation.command == Command::Run));
    platform::RunningProgram* program = asksProgram ? ProgramOfFolder(runningProgram, folder) : nullptr;
    if (program) {
        switch (invocation.command) {
        case Command::List:
            return {ListFromProgram(*program, out)};
        case Command::Next:
            return {NextFromProgram(*program, out)};
        case Command::Run:
            RunInProgram(*program, invocation.operand, out);
            return {};
        default:
            break;
        }
    }
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
    case Command::List:
        return {ListScheduledTasks(store, clock, settings, out)};
    case Command::Next:
        return {PrintUpcomingTask(store, clock, settings, out)};
    case Command::Doctor:
        return {{}, Doctor(store, doctor, out)};
    case Command::Run:
        RunTaskNow(store, invocation.operand, actions, clock, out);
        break;
    case Command::History:
        break;
    }
    if (program) {
        // The new ID (add) is out before the wait, so a failure to tell the program does not hide it.
        out.flush();
        TellOfChange(*program, err);
    }
    return {};
}

// One "orvantactl: " line per line of the description.
void ReportProblems(const std::vector<scheduler::RowProblem>& problems, std::ostream& err) {
    std::istringstream lines(scheduler::DescribeRowProblems(problems));
    std::string report;
    for (std::string line; std::getline(lines, line);)
        report += "orvantactl: " + OneLine(line) + '\n';
    err << report;
}

} // namespace

int RunOrvantactl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const platform::Clock& clock, const platform::SystemPaths& paths,
                  scheduler::TaskActions& actions, const DoctorPorts& doctor,
                  platform::RunningProgram* runningProgram) {
    try {
        const Invocation invocation = ParseCommandLine(args);
        if (invocation.command == Command::Help) {
            out << UsageText();
            return 0;
        }
        std::optional<FixedClock> fixedClock;
        if (invocation.now) fixedClock.emplace(*invocation.now);
        const Outcome outcome =
            Run(invocation, out, err, fixedClock ? static_cast<const platform::Clock&>(*fixedClock) : clock,
                paths, actions, doctor, runningProgram);
        out.flush();
        if (outcome.problems.empty()) return outcome.status;
        ReportProblems(outcome.problems, err);
        return 1;
    } catch (const UsageError& e) {
        err << "orvantactl: " << OneLine(e.what()) << '\n';
        return 2;
    } catch (const std::exception& e) {
        err << "orvantactl: " << OneLine(e.what()) << '\n';
        return 1;
    }
}

} // namespace orvanta::ctl
