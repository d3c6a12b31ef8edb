#pragma once

#include "tools/orvantactl/date_time_text.h"
#include "tools/orvantactl/task_names.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvanta::ctl {

// What the user typed after "add", each value already checked for its own form. Whether the values
// fit together is decided when the task is built.
struct AddOptions {
    std::optional<std::string> title;
    std::optional<int> dateMode;
    std::optional<std::string> date;         // its form depends on the trigger kind
    std::optional<std::array<bool, 7>> days; // Sunday first, as the table's columns
    std::optional<Hotkey> hotkey;
    std::optional<TimeOfDay> start;
    std::optional<int> repeatMinutes;
    std::optional<TimeOfDay> end;
    std::optional<std::int64_t> countdown;
    std::optional<int> event;
    std::optional<std::string> macro;
    std::optional<std::string> launch;
    std::optional<std::string> parameters;
    std::optional<std::string> terminate;
    std::optional<std::string> openFile;
    std::optional<std::string> openUrl;
    std::optional<std::string> message;
    bool disabled = false;
    bool help = false; // --help was asked for; nothing after it was read
};

// Raises UsageError for an unknown option, a missing or malformed value, an option given twice or a
// stray operand.
AddOptions ParseAddOptions(const std::vector<std::string>& args);

// The repeat intervals the task editor offers, in minutes.
inline constexpr std::array<int, 11> kRepeatChoices = {0, 10, 20, 30, 40, 50, 60, 120, 180, 240, 300};

} // namespace orvanta::ctl
