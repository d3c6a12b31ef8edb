#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orvanta::actions {

// Splits a parameter text into program arguments the way programs of the system the task data came
// from read their command line, so a stored value means the same on either system:
//   - blanks, tabs and line breaks outside double quotes separate arguments;
//   - a double quote starts or ends a quoted stretch, in which separators are ordinary characters; the
//     quote itself is dropped, and "" stands for an empty argument;
//   - backslashes are ordinary characters, except before a double quote: 2n backslashes and a quote
//     give n backslashes and a quote that starts or ends quoting, 2n+1 give n backslashes and a literal
//     quote.
// Nothing else is special: no variables, no ~, no globbing, no ; | & < > — the result is handed to
// the program as it is, never to a shell.
std::vector<std::string> SplitArguments(std::string_view text);

} // namespace orvanta::actions
