#pragma once

#include "platform/api/user_registry.h"

#include <string>

namespace orvanta::platform::windows_backend {

// String values under HKEY_CURRENT_USER.
class WindowsUserRegistry : public UserRegistry {
  public:
    std::string readString(const std::string& keyPath, const std::string& valueName) const override;
    bool writeString(const std::string& keyPath, const std::string& valueName,
                     const std::string& value) override;
    void deleteValue(const std::string& keyPath, const std::string& valueName) override;
};

} // namespace orvanta::platform::windows_backend
