#pragma once

#include "data/plain_text.h"

#include <optional>
#include <string_view>

namespace orvanta::scheduler {

// Seconds since midnight of a time written H:mm:ss (or H:mm), one or two digits per field, blanks around
// it ignored; nothing when the text is no valid time of day.
std::optional<int> ParseTimeOfDay(std::string_view text);

using data::Trimmed;

} // namespace orvanta::scheduler
