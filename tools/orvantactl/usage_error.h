#pragma once

#include <stdexcept>
#include <string>

namespace orvanta::ctl {

// The command line itself is wrong: reported like any failure but with exit code 2, before anything
// has been touched.
class UsageError : public std::runtime_error {
  public:
    explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace orvanta::ctl
