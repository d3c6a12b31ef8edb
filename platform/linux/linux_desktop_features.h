#pragma once

#include "platform/api/desktop_facts.h"
#include "platform/api/desktop_features.h"
#include "platform/features/feature_answers.h"

namespace orvanta::platform::linux_backend {

// The answers for the session the program started in. The session type does not change while the
// program runs; the tray watch follows hosts that come later.
class LinuxDesktopFeatures : public DesktopFeatures {
  public:
    explicit LinuxDesktopFeatures(DesktopFacts facts) : facts_(std::move(facts)) {}

    FeatureAnswer answer(DesktopFeature feature) const override { return AnswerFeature(facts_, feature); }
    SessionKind kind() const { return KindOfSession(facts_); }
    const DesktopFacts& facts() const { return facts_; }

  private:
    DesktopFacts facts_;
};

} // namespace orvanta::platform::linux_backend
