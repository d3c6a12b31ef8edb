#pragma once

#include <string>

namespace orvanta::ctl {

// What --help prints.
const std::string& UsageText();

} // namespace orvanta::ctl
