#include "platform/fake/fake_user_registry.h"

namespace orvanta::platform::fake {

std::string FakeUserRegistry::readString(const std::string& keyPath, const std::string& valueName) const {
    auto it = values_.find({keyPath, valueName});
    return it == values_.end() ? std::string() : it->second;
}

bool FakeUserRegistry::writeString(const std::string& keyPath, const std::string& valueName,
                                   const std::string& value) {
    calls.push_back({"write", keyPath, valueName, value});
    if (refuseWrites) return false;
    values_[{keyPath, valueName}] = value;
    return true;
}

void FakeUserRegistry::deleteValue(const std::string& keyPath, const std::string& valueName) {
    calls.push_back({"delete", keyPath, valueName, {}});
    values_.erase({keyPath, valueName});
}

} // namespace orvanta::platform::fake
