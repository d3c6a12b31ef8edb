#include "tools/orvantactl/program_link.h"

#include "data/error.h"
#include "tools/orvantactl/display_row_lines.h"

namespace orvanta::ctl {
namespace {

using Reply = platform::RunningProgram::Reply;

void RaiseUnlessDone(const Reply& reply) {
    if (reply.done()) return;
    if (reply.kind == Reply::Kind::kAbsent) throw Error("the running program has ended");
    throw Error(reply.message);
}

std::vector<scheduler::RowProblem> Problems(const std::vector<platform::RunningProgram::Problem>& told) {
    std::vector<scheduler::RowProblem> problems;
    for (const auto& p : told)
        problems.push_back({p.taskId, p.problem});
    return problems;
}

} // namespace

platform::RunningProgram* ProgramOfFolder(platform::RunningProgram* program, const std::string& folder) {
    return program && program->reachCopyOf(folder) ? program : nullptr;
}

void TellOfChange(platform::RunningProgram& program, std::ostream& err) {
    bool deferred = false;
    const Reply reply = program.rebuild(deferred);
    if (!reply.done())
        throw Error("the change is stored, but the running program could not take it in: " +
                    (reply.message.empty() ? std::string("it has ended") : reply.message));
    if (deferred)
        err << "orvantactl: the running program has a window open that holds its tasks; it takes the change "
               "in once that window closes\n";
}

std::vector<scheduler::RowProblem> ListFromProgram(platform::RunningProgram& program, std::ostream& out) {
    std::vector<std::vector<std::string>> told;
    std::vector<platform::RunningProgram::Problem> problems;
    RaiseUnlessDone(program.listScheduled(told, problems));
    scheduler::DisplayRows rows;
    for (const auto& columns : told) {
        if (columns.size() != scheduler::kDisplayColumnCount)
            throw Error("the running program answered a list row of " + std::to_string(columns.size()) +
                        " columns instead of " + std::to_string(scheduler::kDisplayColumnCount));
        scheduler::DisplayRows::Cells cells;
        std::copy(columns.begin(), columns.end(), cells.begin());
        rows.Append(cells);
    }
    WriteDisplayRowLines(out, rows);
    return Problems(problems);
}

std::vector<scheduler::RowProblem> NextFromProgram(platform::RunningProgram& program, std::ostream& out) {
    std::string hint;
    std::vector<platform::RunningProgram::Problem> problems;
    RaiseUnlessDone(program.nextTask(hint, problems));
    const std::string line = EscapedLine(hint);
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
    return Problems(problems);
}

void RunInProgram(platform::RunningProgram& program, const std::string& id, std::ostream& out) {
    std::vector<std::string> actions;
    RaiseUnlessDone(program.runTask(id, actions));
    for (const std::string& action : actions)
        out << "run: " << action << '\n';
}

} // namespace orvanta::ctl
