#pragma once

#include "data/task_record.h"
#include "platform/api/clock.h"
#include "tools/orvantactl/add_options.h"

namespace orvanta::ctl {

// Turns the add options into the record the task editor would save for the same choices: the columns
// the user left open get the editor's defaults, taken from the given moment. Raises UsageError for
// choices the editor would not let through.
data::TaskRecord BuildTaskRecord(const AddOptions& options, const platform::LocalDateTime& now);

} // namespace orvanta::ctl
