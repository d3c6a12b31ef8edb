#pragma once

#include <stdexcept>
#include <string>

namespace orvanta {

// The one error kind the system raises: a message meant for the user's error box.
class Error : public std::runtime_error {
  public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

} // namespace orvanta
