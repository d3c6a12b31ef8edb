#pragma once

#include "data/task_record.h"

#include <string>

namespace orvanta::ctl {

// The title the task editor gives an untitled task, built from the captions of its chosen actions
// (in the built-in English texts), e.g. "Shut down " or "Launch Program: backup   Reminder: Go".
std::string GeneratedTitle(const data::TaskRecord& task);

// The part after the last folder separator or drive colon, of either system's paths.
std::string FileNamePart(const std::string& path);

} // namespace orvanta::ctl
