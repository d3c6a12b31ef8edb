#pragma once

#include "platform/api/desktop_features.h"

#include <map>
#include <mutex>
#include <vector>

namespace orvanta::platform::fake {

// Every feature available until the test says otherwise; records which features were asked about.
class FakeDesktopFeatures : public DesktopFeatures {
  public:
    FeatureAnswer answer(DesktopFeature feature) const override {
        const std::lock_guard lock(mutex_);
        asked_.push_back(feature);
        const auto it = answers_.find(feature);
        return it == answers_.end() ? FeatureAnswer{true, {}, "fake"} : it->second;
    }

    void refuse(DesktopFeature feature, std::string reasonKey, std::string reason) {
        const std::lock_guard lock(mutex_);
        answers_[feature] = {false, std::move(reasonKey), std::move(reason)};
    }
    std::vector<DesktopFeature> asked() const {
        const std::lock_guard lock(mutex_);
        return asked_;
    }

  private:
    mutable std::mutex mutex_;
    std::map<DesktopFeature, FeatureAnswer> answers_;
    mutable std::vector<DesktopFeature> asked_;
};

} // namespace orvanta::platform::fake
