#include "tools/orvantactl/command_line.h"

#include "tools/orvantactl/date_time_text.h"
#include "tools/orvantactl/usage_error.h"

#include <map>

namespace orvanta::ctl {
namespace {

const std::map<std::string, Command>& CommandNames() {
    static const std::map<std::string, Command> names = {
        {"help", Command::Help},     {"add", Command::Add},         {"show", Command::Show},
        {"enable", Command::Enable}, {"disable", Command::Disable}, {"delete", Command::Delete},
        {"export", Command::Export}, {"import", Command::Import},
    };
    return names;
}

bool IsHelp(const std::string& arg) {
    return arg == "--help" || arg == "-h";
}

// "007" and "7" name the same task; the store and the lists carry the plain form.
std::string CanonicalId(const std::string& text) {
    return std::to_string(ParseBoundedNumber(text, 0, 999999999999999999, "a task ID"));
}

} // namespace

Invocation ParseCommandLine(const std::vector<std::string>& args) {
    Invocation invocation;
    std::size_t i = 0;
    for (; i < args.size() && args[i].rfind("-", 0) == 0; ++i) {
        const std::string& arg = args[i];
        if (IsHelp(arg)) return invocation;
        if (arg.rfind("--data-dir=", 0) == 0) {
            invocation.dataFolder = arg.substr(11);
        } else if (arg == "--data-dir") {
            if (i + 1 == args.size()) throw UsageError("option --data-dir needs a value");
            invocation.dataFolder = args[++i];
        } else {
            throw UsageError("unknown option " + arg);
        }
        if (invocation.dataFolder->empty()) throw UsageError("option --data-dir needs a folder");
    }
    if (i == args.size()) throw UsageError("no command given (see orvantactl --help)");
    const auto command = CommandNames().find(args[i]);
    if (command == CommandNames().end()) throw UsageError("unknown command \"" + args[i] + "\"");
    invocation.command = command->second;
    const std::vector<std::string> operands(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());

    if (!operands.empty() && IsHelp(operands.front())) {
        invocation.command = Command::Help;
        return invocation;
    }
    switch (invocation.command) {
    case Command::Help:
        break;
    case Command::Add:
        invocation.add = ParseAddOptions(operands);
        if (invocation.add.help) invocation.command = Command::Help;
        return invocation;
    case Command::Show:
    case Command::Enable:
    case Command::Disable:
    case Command::Delete:
        if (operands.size() != 1) throw UsageError(args[i] + " needs exactly one task ID");
        invocation.operand = CanonicalId(operands.front());
        return invocation;
    case Command::Export:
    case Command::Import:
        if (operands.size() != 1 || operands.front().empty())
            throw UsageError(args[i] + " needs exactly one file");
        invocation.operand = operands.front();
        return invocation;
    }
    if (!operands.empty()) throw UsageError("help takes no arguments");
    return invocation;
}

} // namespace orvanta::ctl
