#pragma once

#include "i18n/text_lookup.h"
#include "scheduler/run_table.h"

#include <string>

namespace orvanta::ui {

// The list line of a task just switched on or off in place, built from its task row (whose Enabled
// already holds the new state). It reads like the rebuild's line except for a repeating task, whose
// labels are "Loop:", "Start:" and "End:", each joined to its value without a blank; the next rebuild
// puts the ordinary line back. Raises orvanta::Error when the row's schedule cannot be read.
std::string ToggledRowText(const scheduler::TaskRow& row, const i18n::TextLookup& lookup);

} // namespace orvanta::ui
