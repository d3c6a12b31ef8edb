#include "tools/orvantactl/command_line.h"

#include "tools/orvantactl/date_time_text.h"
#include "tools/orvantactl/usage_error.h"

#include <map>

namespace orvanta::ctl {
namespace {

const std::map<std::string, Command>& CommandNames() {
    static const std::map<std::string, Command> names = {
        {"help", Command::Help},       {"add", Command::Add},         {"show", Command::Show},
        {"enable", Command::Enable},   {"disable", Command::Disable}, {"delete", Command::Delete},
        {"export", Command::Export},   {"import", Command::Import},   {"list", Command::List},
        {"next", Command::Next},       {"run", Command::Run},         {"doctor", Command::Doctor},
        {"history", Command::History},
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

// The value of a global option, written "--name VALUE" or "--name=VALUE"; advances i past it.
std::optional<std::string> GlobalOptionValue(const std::vector<std::string>& args, std::size_t& i,
                                             const std::string& name) {
    const std::string& arg = args[i];
    if (arg.rfind(name + "=", 0) == 0) return arg.substr(name.size() + 1);
    if (arg != name) return std::nullopt;
    if (i + 1 == args.size()) throw UsageError("option " + name + " needs a value");
    return args[++i];
}

// "YYYY-MM-DD" (from its midnight) or a date and time as --now takes it.
platform::LocalDateTime ParseSince(const std::string& text) {
    if (text.find(' ') == std::string::npos) {
        const CalendarDate d = ParseIsoDate(text);
        return {d.year, d.month, d.day, 0, 0, 0, 0};
    }
    return ParseLocalDateTime(text);
}

void ParseHistoryOptions(const std::vector<std::string>& operands, Invocation& invocation) {
    for (std::size_t i = 0; i < operands.size(); ++i) {
        if (auto since = GlobalOptionValue(operands, i, "--since")) {
            invocation.since = ParseSince(*since);
        } else if (auto task = GlobalOptionValue(operands, i, "--task")) {
            invocation.taskFilter = CanonicalId(*task);
        } else {
            throw UsageError("unexpected argument \"" + operands[i] + "\" for history");
        }
    }
}

} // namespace

Invocation ParseCommandLine(const std::vector<std::string>& args) {
    Invocation invocation;
    std::size_t i = 0;
    for (; i < args.size() && args[i].rfind("-", 0) == 0; ++i) {
        if (IsHelp(args[i])) return invocation;
        if (auto folder = GlobalOptionValue(args, i, "--data-dir")) {
            if (folder->empty()) throw UsageError("option --data-dir needs a folder");
            invocation.dataFolder = std::move(folder);
        } else if (auto now = GlobalOptionValue(args, i, "--now")) {
            invocation.now = ParseLocalDateTime(*now);
        } else {
            throw UsageError("unknown option " + args[i]);
        }
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
    case Command::Run:
        if (operands.size() != 1) throw UsageError(args[i] + " needs exactly one task ID");
        invocation.operand = CanonicalId(operands.front());
        return invocation;
    case Command::List:
    case Command::Next:
    case Command::Doctor:
        if (!operands.empty()) throw UsageError(args[i] + " takes no arguments");
        return invocation;
    case Command::History:
        ParseHistoryOptions(operands, invocation);
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
