#pragma once

#include "platform/api/desktop_features.h"

namespace orvanta::platform::windows_backend {

// Windows lets every program register hotkeys, synthesise and hook input and switch the monitor off;
// what fails there fails call by call.
class WindowsDesktopFeatures : public DesktopFeatures {
  public:
    FeatureAnswer answer(DesktopFeature) const override { return {true, {}, "Windows"}; }
};

} // namespace orvanta::platform::windows_backend
