#include "tools/orvantactl/add_options.h"

#include "tools/orvantactl/usage_error.h"

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string_view>

namespace orvanta::ctl {
namespace {

using Setter = std::function<void(AddOptions&, const std::string&)>;

std::array<bool, 7> ParseWeekdays(const std::string& text) {
    std::array<bool, 7> days{};
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        const std::string name = text.substr(start, comma == std::string::npos ? comma : comma - start);
        const auto day = WeekdayFromName(name);
        if (!day)
            throw UsageError("unknown weekday \"" + name + "\" (expected sun, mon, tue, wed, thu, fri, sat)");
        days[*day] = true;
        if (comma == std::string::npos) return days;
        start = comma + 1;
    }
}

int ParseRepeat(const std::string& text) {
    const auto minutes =
        ParseBoundedNumber(text, 0, 300, "one of 0, 10, 20, 30, 40, 50, 60, 120, 180, 240, 300");
    if (std::find(kRepeatChoices.begin(), kRepeatChoices.end(), minutes) == kRepeatChoices.end())
        throw UsageError("invalid repeat \"" + text +
                         "\" (expected one of 0, 10, 20, 30, 40, 50, 60, 120, 180, 240, 300)");
    return static_cast<int>(minutes);
}

const std::map<std::string, Setter, std::less<>>& ValueOptions() {
    static const std::map<std::string, Setter, std::less<>> options = {
        {"--title", [](AddOptions& o, const std::string& v) { o.title = v; }},
        {"--trigger",
         [](AddOptions& o, const std::string& v) {
             o.dateMode = DateModeFromName(v);
             if (!o.dateMode)
                 throw UsageError("unknown trigger \"" + v +
                                  "\" (expected once, daily, weekly, monthly, annually, hotkey)");
         }},
        {"--date", [](AddOptions& o, const std::string& v) { o.date = v; }},
        {"--days", [](AddOptions& o, const std::string& v) { o.days = ParseWeekdays(v); }},
        {"--hotkey",
         [](AddOptions& o, const std::string& v) {
             o.hotkey = HotkeyFromText(v);
             if (!o.hotkey)
                 throw UsageError("invalid hotkey \"" + v +
                                  "\" (expected alt+KEY or ctrl+KEY, KEY one of 0-9, A-Z)");
         }},
        {"--start", [](AddOptions& o, const std::string& v) { o.start = ParseTimeOfDay(v); }},
        {"--repeat", [](AddOptions& o, const std::string& v) { o.repeatMinutes = ParseRepeat(v); }},
        {"--end", [](AddOptions& o, const std::string& v) { o.end = ParseTimeOfDay(v); }},
        {"--countdown",
         [](AddOptions& o, const std::string& v) {
             o.countdown = ParseBoundedNumber(v, 0, INT32_MAX, "a number of seconds");
         }},
        {"--event",
         [](AddOptions& o, const std::string& v) {
             o.event = EventFromName(v);
             if (!o.event)
                 throw UsageError("unknown event \"" + v + "\" (expected one of " + EventNameList() + ")");
         }},
        {"--macro", [](AddOptions& o, const std::string& v) { o.macro = v; }},
        {"--launch", [](AddOptions& o, const std::string& v) { o.launch = v; }},
        {"--params", [](AddOptions& o, const std::string& v) { o.parameters = v; }},
        {"--terminate", [](AddOptions& o, const std::string& v) { o.terminate = v; }},
        {"--open-file", [](AddOptions& o, const std::string& v) { o.openFile = v; }},
        {"--open-url", [](AddOptions& o, const std::string& v) { o.openUrl = v; }},
        {"--message", [](AddOptions& o, const std::string& v) { o.message = v; }},
    };
    return options;
}

} // namespace

AddOptions ParseAddOptions(const std::vector<std::string>& args) {
    AddOptions options;
    std::set<std::string, std::less<>> seen;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.rfind("--", 0) != 0) throw UsageError("unexpected argument \"" + arg + "\" for add");
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        if (name == "--help") {
            options.help = true;
            return options;
        }
        if (!seen.insert(name).second) throw UsageError("option " + name + " given twice");
        if (name == "--disabled") {
            if (equals != std::string::npos) throw UsageError("option --disabled takes no value");
            options.disabled = true;
            continue;
        }
        const auto option = ValueOptions().find(name);
        if (option == ValueOptions().end()) throw UsageError("unknown option " + name);
        std::string value;
        if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else {
            // The next word is the value whatever it looks like, so a message may begin with "--".
            if (i + 1 == args.size()) throw UsageError("option " + name + " needs a value");
            value = args[++i];
        }
        option->second(options, value);
    }
    return options;
}

} // namespace orvanta::ctl
