#include "platform/features/feature_answers.h"

namespace orvanta::platform {
namespace {

FeatureAnswer Works(std::string how) {
    return {true, {}, std::move(how)};
}
FeatureAnswer Refused(std::string key, std::string why) {
    return {false, std::move(key), std::move(why)};
}

FeatureAnswer NoDisplay() {
    return Refused("NoDisplay", "there is no X display ($DISPLAY) and no Wayland desktop ($WAYLAND_DISPLAY)");
}

FeatureAnswer X11Extension(bool present, const char* extension, const char* key) {
    if (present) return Works(std::string("the X server has ") + extension);
    return Refused(key, std::string("the X server has no ") + extension + " extension");
}

FeatureAnswer Hotkeys(const DesktopFacts& f, SessionKind kind) {
    if (kind == SessionKind::X11) return Works("the X server takes key grabs");
    if (kind == SessionKind::None) return NoDisplay();
    if (f.globalShortcutsPortal > 0)
        return Works("the desktop's GlobalShortcuts portal (version " +
                     std::to_string(f.globalShortcutsPortal) + ") binds them; it may ask about them first");
    return Refused("WaylandNoHotkeys",
                   "this Wayland desktop offers programs no global shortcuts (no GlobalShortcuts portal); "
                   "XWayland sees keys only while one of its windows has the focus");
}

FeatureAnswer Playback(const DesktopFacts& f, SessionKind kind) {
    if (kind == SessionKind::X11) return X11Extension(f.xTest, "XTEST", "NoXTest");
    if (kind == SessionKind::None) return NoDisplay();
    if (f.remoteDesktopPortal > 0)
        return Works("the desktop's RemoteDesktop portal (version " + std::to_string(f.remoteDesktopPortal) +
                     ") sends the keys and the pointer; it may ask the user first");
    return Refused("WaylandNoPlayback",
                   "this Wayland desktop lets no program type or move the pointer for the others (no "
                   "RemoteDesktop portal); XWayland would reach only its own windows");
}

FeatureAnswer Recording(const DesktopFacts& f, SessionKind kind) {
    if (kind == SessionKind::X11) return X11Extension(f.xRecord, "RECORD", "NoXRecord");
    if (kind == SessionKind::None) return NoDisplay();
    return Refused("WaylandNoRecording",
                   "recording works only in an X11 session: Wayland lets no program hear the input meant "
                   "for the others, and no desktop portal offers it");
}

FeatureAnswer MonitorOff(const DesktopFacts& f, SessionKind kind) {
    if (kind == SessionKind::X11) return X11Extension(f.xDpms, "DPMS", "NoDpms");
    if (kind == SessionKind::None) return NoDisplay();
    return Refused("WaylandNoMonitorOff",
                   "Wayland gives programs no way to switch the monitor off (XWayland has no DPMS)");
}

FeatureAnswer IdleTime(const DesktopFacts& f, SessionKind kind) {
    if (kind == SessionKind::X11) return X11Extension(f.xScreenSaver, "MIT-SCREEN-SAVER", "NoScreenSaverExt");
    if (kind == SessionKind::None) return NoDisplay();
    return Refused("WaylandNoIdleTime",
                   "on Wayland the idle time XWayland knows counts only its own windows, "
                   "so whether the user came back after a wake-up is not known");
}

FeatureAnswer Tray(const DesktopFacts& f, SessionKind kind) {
    if (f.trayStatusNotifier) return Works("a StatusNotifierWatcher on the session bus");
    // An XEmbed tray takes X windows only; a Wayland program has none to give it.
    if (kind == SessionKind::X11 && f.trayXEmbed) return Works("an XEmbed tray (_NET_SYSTEM_TRAY)");
    return Refused("NoTrayHost", kind == SessionKind::Wayland
                                     ? "no StatusNotifierWatcher on the session bus; the window stays on "
                                       "the task bar instead"
                                     : "none; the window stays on the task bar instead");
}

} // namespace

SessionKind KindOfSession(const DesktopFacts& facts) {
    if (facts.wayland) return SessionKind::Wayland;
    return facts.xDisplay ? SessionKind::X11 : SessionKind::None;
}

FeatureAnswer AnswerFeature(const DesktopFacts& facts, DesktopFeature feature) {
    const SessionKind kind = KindOfSession(facts);
    switch (feature) {
    case DesktopFeature::GlobalHotkeys:
        return Hotkeys(facts, kind);
    case DesktopFeature::MacroPlayback:
        return Playback(facts, kind);
    case DesktopFeature::MacroRecording:
        return Recording(facts, kind);
    case DesktopFeature::MonitorOff:
        return MonitorOff(facts, kind);
    case DesktopFeature::IdleTime:
        return IdleTime(facts, kind);
    case DesktopFeature::Tray:
        return Tray(facts, kind);
    }
    return NoDisplay();
}

std::string FeatureSubject(DesktopFeature feature) {
    switch (feature) {
    case DesktopFeature::GlobalHotkeys:
        return "global hotkeys";
    case DesktopFeature::MacroPlayback:
        return "macro playback";
    case DesktopFeature::MacroRecording:
        return "macro recording";
    case DesktopFeature::MonitorOff:
        return "monitor off";
    case DesktopFeature::IdleTime:
        return "idle time";
    case DesktopFeature::Tray:
        return "tray host";
    }
    return {};
}

} // namespace orvanta::platform
