#pragma once

#include "platform/api/running_program.h"
#include "scheduler/run_table_builder.h"

#include <ostream>
#include <string>
#include <vector>

namespace orvanta::ctl {

// The running program when it works on the same data folder as this command; nullptr when none runs, or
// it keeps its tasks elsewhere (then it has nothing to do with this command's files).
platform::RunningProgram* ProgramOfFolder(platform::RunningProgram* program, const std::string& folder);

// Tells the program that its task file has changed and waits until it has rebuilt its table and reloaded
// its hotkeys. Raises when it could not be told; a program that holds its table (a window open) takes the
// change in later, which err notes.
void TellOfChange(platform::RunningProgram& program, std::ostream& err);

// list, next and run answered by the program, with the output they have when read from the file.
std::vector<scheduler::RowProblem> ListFromProgram(platform::RunningProgram& program, std::ostream& out);
std::vector<scheduler::RowProblem> NextFromProgram(platform::RunningProgram& program, std::ostream& out);
void RunInProgram(platform::RunningProgram& program, const std::string& id, std::ostream& out);

} // namespace orvanta::ctl
