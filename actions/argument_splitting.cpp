#include "actions/argument_splitting.h"

namespace orvanta::actions {
namespace {

bool IsSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

} // namespace

std::vector<std::string> SplitArguments(std::string_view text) {
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false; // an argument has begun, even if it is still empty ("")
    bool quoted = false;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\\') {
            std::size_t run = 0;
            while (i + run < text.size() && text[i + run] == '\\')
                ++run;
            i += run;
            inArgument = true;
            if (i < text.size() && text[i] == '"') {
                current.append(run / 2, '\\');
                if (run % 2 == 1) {
                    current += '"';
                    ++i;
                }
                // With an even run the quote is handled below as a quote.
            } else {
                current.append(run, '\\');
            }
            continue;
        }
        if (c == '"') {
            quoted = !quoted;
            inArgument = true;
        } else if (IsSeparator(c) && !quoted) {
            if (inArgument) arguments.push_back(std::move(current));
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
        ++i;
    }
    if (inArgument) arguments.push_back(std::move(current));
    return arguments;
}

} // namespace orvanta::actions
