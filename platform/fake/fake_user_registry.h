#pragma once

#include "platform/api/user_registry.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace orvanta::platform::fake {

// Keeps values in memory and records every write and delete in order.
class FakeUserRegistry : public UserRegistry {
  public:
    std::string readString(const std::string& keyPath, const std::string& valueName) const override;
    bool writeString(const std::string& keyPath, const std::string& valueName,
                     const std::string& value) override;
    void deleteValue(const std::string& keyPath, const std::string& valueName) override;

    struct Call {
        std::string op; // "write" or "delete"
        std::string keyPath, valueName, value;
    };
    std::vector<Call> calls;
    bool refuseWrites = false;

  private:
    std::map<std::pair<std::string, std::string>, std::string> values_;
};

} // namespace orvanta::platform::fake
