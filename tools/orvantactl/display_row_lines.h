#pragma once

#include "scheduler/run_table.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta::ctl {

// Writes the scheduled-task list as text to out: one line per display row, its eight columns in order,
// separated by tabs. Inside a column a backslash, tab, line feed or carriage return is written \\, \t, \n or
// \r, so every row stays one line of exactly eight columns and the text can be read back unambiguously.
void WriteDisplayRowLines(std::ostream& out, const scheduler::DisplayRows& rows);

// The text as one line, escaped as the columns are, followed by a line feed.
std::string EscapedLine(std::string_view text);

} // namespace orvanta::ctl
