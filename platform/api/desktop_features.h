#pragma once

#include <string>

namespace orvanta::platform {

// The things the program does that the desktop may not let it do.
enum class DesktopFeature { GlobalHotkeys, MacroPlayback, MacroRecording, MonitorOff, IdleTime, Tray };

inline constexpr DesktopFeature kAllDesktopFeatures[] = {
    DesktopFeature::GlobalHotkeys, DesktopFeature::MacroPlayback, DesktopFeature::MacroRecording,
    DesktopFeature::MonitorOff,    DesktopFeature::IdleTime,      DesktopFeature::Tray};

// Whether a feature works on this desktop. The reason says why not (or, when it works, how), in English;
// its key lets a window show it in the user's language.
struct FeatureAnswer {
    bool available = false;
    std::string reasonKey;
    std::string reason;
    bool operator==(const FeatureAnswer&) const = default;
};

// Answers, per feature, whether the desktop the program runs on lets it work. The answers describe the
// backends the program was given, so a feature said to work does.
class DesktopFeatures {
  public:
    virtual ~DesktopFeatures() = default;
    virtual FeatureAnswer answer(DesktopFeature feature) const = 0;
};

} // namespace orvanta::platform
