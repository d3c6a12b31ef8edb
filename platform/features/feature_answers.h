#pragma once

#include "platform/api/desktop_facts.h"
#include "platform/api/desktop_features.h"

#include <string>

namespace orvanta::platform {

enum class SessionKind { X11, Wayland, None };

// A Wayland compositor counts before an X display: there the display is XWayland, whose grabs and
// synthetic input reach only the X programs and only while one of them has the focus.
SessionKind KindOfSession(const DesktopFacts& facts);

// What the program can do on the desktop the facts describe, with the backends it picks for it.
FeatureAnswer AnswerFeature(const DesktopFacts& facts, DesktopFeature feature);

// The feature's name as the doctor lists it ("global hotkeys", ...).
std::string FeatureSubject(DesktopFeature feature);

} // namespace orvanta::platform
