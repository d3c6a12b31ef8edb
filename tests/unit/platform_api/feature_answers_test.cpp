#include "platform/features/feature_answers.h"

#include <gtest/gtest.h>

namespace orvanta::platform {
namespace {

using F = DesktopFeature;

DesktopFacts X11Desktop() {
    DesktopFacts f;
    f.sessionType = "x11";
    f.xDisplay = true;
    f.displayName = ":0";
    f.xTest = f.xRecord = f.xDpms = f.xScreenSaver = true;
    f.trayXEmbed = true;
    f.sessionBus = true;
    return f;
}

// A Wayland session as GNOME or Plasma starts it: XWayland answers on $DISPLAY with every extension.
DesktopFacts WaylandDesktop(bool xwayland) {
    DesktopFacts f = X11Desktop();
    f.sessionType = "wayland";
    f.wayland = true;
    f.waylandDisplay = "wayland-0";
    f.xDisplay = xwayland;
    f.trayXEmbed = xwayland;
    return f;
}

TEST(FeatureAnswers, AnX11SessionHasWhatItsServerHas) {
    DesktopFacts f = X11Desktop();
    EXPECT_EQ(KindOfSession(f), SessionKind::X11);
    for (const F feature : kAllDesktopFeatures)
        EXPECT_TRUE(AnswerFeature(f, feature).available) << FeatureSubject(feature);

    f.xTest = f.xRecord = f.xDpms = f.xScreenSaver = false;
    f.trayXEmbed = false;
    struct Case {
        F feature;
        const char* key;
        const char* named;
    };
    for (const Case c :
         {Case{F::MacroPlayback, "NoXTest", "XTEST"}, Case{F::MacroRecording, "NoXRecord", "RECORD"},
          Case{F::MonitorOff, "NoDpms", "DPMS"}, Case{F::IdleTime, "NoScreenSaverExt", "MIT-SCREEN-SAVER"}}) {
        const FeatureAnswer a = AnswerFeature(f, c.feature);
        EXPECT_FALSE(a.available) << c.named;
        EXPECT_EQ(a.reasonKey, c.key);
        EXPECT_NE(a.reason.find(c.named), std::string::npos) << a.reason;
    }
    EXPECT_TRUE(AnswerFeature(f, F::GlobalHotkeys).available) << "core grabs need no extension";
    EXPECT_FALSE(AnswerFeature(f, F::Tray).available);
    f.trayStatusNotifier = true;
    EXPECT_TRUE(AnswerFeature(f, F::Tray).available);
}

// XWayland's grabs and XTEST reach its own windows only, so the extensions it has count for nothing.
TEST(FeatureAnswers, WaylandWithOrWithoutXWaylandRefusesTheInputFeaturesAndSaysWhy) {
    for (const bool xwayland : {true, false}) {
        SCOPED_TRACE(xwayland ? "with XWayland" : "without XWayland");
        const DesktopFacts f = WaylandDesktop(xwayland);
        EXPECT_EQ(KindOfSession(f), SessionKind::Wayland);
        for (const F feature :
             {F::GlobalHotkeys, F::MacroPlayback, F::MacroRecording, F::MonitorOff, F::IdleTime}) {
            const FeatureAnswer a = AnswerFeature(f, feature);
            EXPECT_FALSE(a.available) << FeatureSubject(feature);
            EXPECT_EQ(a.reasonKey.rfind("Wayland", 0), 0u) << a.reasonKey;
            EXPECT_NE(a.reason.find("Wayland"), std::string::npos) << a.reason;
        }
        EXPECT_NE(AnswerFeature(f, F::GlobalHotkeys).reason.find("GlobalShortcuts portal"),
                  std::string::npos);
        EXPECT_NE(AnswerFeature(f, F::MacroPlayback).reason.find("RemoteDesktop portal"), std::string::npos);
        EXPECT_NE(AnswerFeature(f, F::MacroRecording).reason.find("only in an X11 session"),
                  std::string::npos);
    }
}

// The portals count where the program uses them: the GlobalShortcuts portal gives hotkeys, the
// RemoteDesktop portal playback; recording stays refused whatever the desktop offers.
TEST(FeatureAnswers, OnWaylandThePortalsGiveHotkeysAndPlaybackButNeverRecording) {
    DesktopFacts f = WaylandDesktop(false);
    f.globalShortcutsPortal = 1;
    const FeatureAnswer hotkeys = AnswerFeature(f, F::GlobalHotkeys);
    EXPECT_TRUE(hotkeys.available);
    EXPECT_NE(hotkeys.reason.find("GlobalShortcuts portal (version 1)"), std::string::npos) << hotkeys.reason;
    EXPECT_FALSE(AnswerFeature(f, F::MacroPlayback).available) << "shortcuts alone type nothing";

    f.remoteDesktopPortal = 2;
    const FeatureAnswer playback = AnswerFeature(f, F::MacroPlayback);
    EXPECT_TRUE(playback.available);
    EXPECT_NE(playback.reason.find("RemoteDesktop portal (version 2)"), std::string::npos) << playback.reason;
    const FeatureAnswer recording = AnswerFeature(f, F::MacroRecording);
    EXPECT_FALSE(recording.available);
    EXPECT_EQ(recording.reasonKey, "WaylandNoRecording");
    EXPECT_NE(recording.reason.find("only in an X11 session"), std::string::npos) << recording.reason;

    // Without its own shortcuts portal the desktop still plays through the remote one.
    f.globalShortcutsPortal = 0;
    EXPECT_FALSE(AnswerFeature(f, F::GlobalHotkeys).available);
    EXPECT_TRUE(AnswerFeature(f, F::MacroPlayback).available);

    f.wayland = false; // an X11 session needs no portal and ignores one
    f.xDisplay = true;
    EXPECT_EQ(AnswerFeature(f, F::GlobalHotkeys).reason, "the X server takes key grabs");
    EXPECT_EQ(AnswerFeature(f, F::MacroPlayback).reason, "the X server has XTEST");
    f.xTest = false;
    EXPECT_EQ(AnswerFeature(f, F::MacroPlayback).reasonKey, "NoXTest") << "the portal does not stand in";
}

TEST(FeatureAnswers, TheSessionTypeAloneOrTheWaylandDisplayAloneMeanWayland) {
    DesktopFacts byType = X11Desktop();
    byType.wayland = true; // what the probe makes of XDG_SESSION_TYPE=wayland
    EXPECT_EQ(KindOfSession(byType), SessionKind::Wayland);
    DesktopFacts byDisplay = X11Desktop();
    byDisplay.sessionType = "tty"; // startx from a console keeps the console's type
    EXPECT_EQ(KindOfSession(byDisplay), SessionKind::X11);
}

// A Wayland program has no X window to embed, so only a StatusNotifierWatcher shows its icon.
TEST(FeatureAnswers, OnWaylandOnlyAStatusNotifierWatcherIsATray) {
    DesktopFacts f = WaylandDesktop(true);
    EXPECT_FALSE(AnswerFeature(f, F::Tray).available) << "an XEmbed tray through XWayland";
    f.trayStatusNotifier = true;
    EXPECT_TRUE(AnswerFeature(f, F::Tray).available);
}

TEST(FeatureAnswers, WithoutAnyDisplayEverythingButTheBusTrayIsRefused) {
    DesktopFacts f;
    EXPECT_EQ(KindOfSession(f), SessionKind::None);
    for (const F feature : kAllDesktopFeatures) {
        const FeatureAnswer a = AnswerFeature(f, feature);
        EXPECT_FALSE(a.available) << FeatureSubject(feature);
        EXPECT_FALSE(a.reason.empty());
    }
    EXPECT_NE(AnswerFeature(f, F::GlobalHotkeys).reason.find("no X display"), std::string::npos);
    f.trayStatusNotifier = true;
    EXPECT_TRUE(AnswerFeature(f, F::Tray).available);
}

} // namespace
} // namespace orvanta::platform
