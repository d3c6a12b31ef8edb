#include "data/settings/settings.h"
#include "i18n/lang_mgr.h"
#include "macros/macro_line.h"
#include "macros/macro_text.h"
#include "platform/fake/fake_locale_info.h"
#include "platform/fake/fake_log.h"
#include "platform/linux/hotkeys/linux_global_hotkeys.h"
#include "platform/linux/input/xtest_synthetic_input.h"
#include "platform/linux/macro_hook/linux_macro_hook.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/named_controls.h"
#include "ui/error_box.h"
#include "ui/macro_form.h"
#include "ui/macro_form_opener.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

// clang-format off
// Xlib defines macros (None, Bool) that break headers included after it, so it comes last.
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
// clang-format on

namespace orvanta::test {
namespace {

using Lines = std::vector<std::string>;

class Errors : public ui::ErrorBox {
  public:
    QStringList shown;
    void ShowError(const QString& m) override { shown << m; }
};

class NoClipboard : public macros::ClipboardPort {
  public:
    void setClipboardText(const std::string&) override {}
};

platform::CursorPoint PointerNow() {
    platform::CursorPoint p{-1, -1};
    Display* display = XOpenDisplay(nullptr);
    if (!display) return p;
    Window root = 0, child = 0;
    int winX = 0, winY = 0;
    unsigned mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &p.x, &p.y, &winX, &winY, &mask);
    XCloseDisplay(display);
    return p;
}

// Before each line of a playback: where the pointer is, left there by the line before; then the wait.
class PointerSamplingWaiter : public macros::MacroWaiter {
  public:
    std::vector<platform::CursorPoint> seen;
    void wait(std::chrono::milliseconds duration) override {
        // The server applies the move asynchronously; give it a moment before reading.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        seen.push_back(PointerNow());
        inner_.wait(duration);
    }

  private:
    macros::SteadyMacroWaiter inner_;
};

void Xdotool(const QStringList& args) {
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), args), 0) << args.join(' ').toStdString();
    // Let the recorder window take the messages of this step.
    QTest::qWait(30);
}

// The command and arguments of each line, without its time.
Lines WithoutTimes(const Lines& lines) {
    Lines out;
    for (const auto& line : lines)
        out.push_back(line.substr(line.find(' ') + 1));
    return out;
}

class RecordingTest : public ::testing::Test {
  protected:
    TempFolder folder;
    data::Settings settings{folder.file("wake.ini")};
    platform::fake::FakeLocaleInfo locale;
    i18n::TLangMgr languages{folder.path(), '/', settings, locale};
    Errors errors;
    platform::linux_backend::LinuxMacroHookPlatform hook{ORVANTA_HOOK_LIBRARY_DIR};
    platform::linux_backend::XTestSyntheticInput input;
    NoClipboard clipboard;
    PointerSamplingWaiter waiter;
    std::atomic<bool> stopRequested{false};
    QString saveAs;
    bool pauseNoted = false; // whether the last recording's window said it had paused

    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display (scripts/platform-test-env.sh)";
    }

    ui::MacroFormPorts Ports() {
        return {languages,
                errors,
                settings,
                hook,
                {input, clipboard, waiter, stopRequested, [] {}},
                [] {},
                [this](ui::FileDialogKind, QWidget*, const QString&, QString& name) {
                    name = saveAs;
                    return true;
                },
                ui::MinimizeApplication,
                ui::RestoreApplication,
                ui::SteadyTickCount,
                QStringLiteral("Orvanta")};
    }

    // Records what the steps make with xdotool, ended by F12, and saves it under the given name.
    Lines Record(bool ignoreMoves, const std::vector<QStringList>& steps, const std::string& file) {
        std::vector<std::function<void(ui::TMacroForm&)>> actions;
        for (const auto& step : steps)
            actions.push_back([step](ui::TMacroForm&) { Xdotool(step); });
        return Record(ignoreMoves, actions, file);
    }

    Lines Record(bool ignoreMoves, const std::vector<std::function<void(ui::TMacroForm&)>>& steps,
                 const std::string& file) {
        Xdotool({"mousemove", "5", "5"});
        // Not shown, so the clicks land on no window of ours; the window still has its id for the hook.
        ui::TMacroForm form(Ports(), nullptr, nullptr);
        Control<QCheckBox>(form, "cbIgnore")->setChecked(ignoreMoves);
        saveAs = QString::fromStdString(folder.file(file));
        ui::RunGuarded(errors, [&] { Control<QPushButton>(form, "BTNRecord")->click(); });
        EXPECT_TRUE(form.recording());
        for (const auto& step : steps)
            step(form);
        Xdotool({"key", "F12"});
        QElapsedTimer waited;
        waited.start();
        while (form.recording() && waited.elapsed() < 3000)
            QTest::qWait(10);
        EXPECT_FALSE(form.recording()) << "F12 did not end the recording";
        EXPECT_TRUE(errors.shown.isEmpty()) << errors.shown.join('\n').toStdString();
        EXPECT_EQ(Control<QLineEdit>(form, "Edit1")->text().toStdString(), folder.file(file) + ".mco");
        pauseNoted = Control<QLabel>(form, "lblPaused")->isVisibleTo(&form);
        return form.Memo1().lines();
    }
};

const std::vector<QStringList> kDragAndMore = {
    {"mousemove", "100", "100"},
    {"mousedown", "1"},
    {"mousemove", "150", "120"},
    {"mousemove", "200", "140"},
    {"mouseup", "1"},
    {"mousemove", "300", "300"},
    {"click", "4"},
    {"click", "5"},
    {"key", "a"},
    {"click", "3"},
};

TEST_F(RecordingTest, InputMadeWhileRecordingBecomesTheLinesAndF12EndsIt) {
    const Lines lines = Record(true, kDragAndMore, "drag");
    EXPECT_EQ(WithoutTimes(lines),
              (Lines{"MOUSE_LEFTDOWN 100 100", "MOUSE_MOVE 150 120", "MOUSE_MOVE 200 140",
                     "MOUSE_LEFTUP 200 140", "MOUSE_WHEEL 120 300", "MOUSE_WHEEL -120 300", "KEY_DOWN 65",
                     "KEY_UP 65", "MOUSE_RIGHTDOWN 300 300", "MOUSE_RIGHTUP 300 300"}));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(macros::ParseMacroLine(lines.front()).time, 0) << "the clock starts with the press, not a move";
    EXPECT_EQ(macros::ReadMacroFile(folder.file("drag.mco")), lines);
}

TEST_F(RecordingTest, WithMovesRecordedEveryMoveIsKept) {
    const Lines lines = Record(false, kDragAndMore, "all");
    const Lines expected{"MOUSE_MOVE 100 100",  "MOUSE_LEFTDOWN 100 100",  "MOUSE_MOVE 150 120",
                         "MOUSE_MOVE 200 140",  "MOUSE_LEFTUP 200 140",    "MOUSE_MOVE 300 300",
                         "MOUSE_WHEEL 120 300", "MOUSE_WHEEL -120 300",    "KEY_DOWN 65",
                         "KEY_UP 65",           "MOUSE_RIGHTDOWN 300 300", "MOUSE_RIGHTUP 300 300"};
    EXPECT_EQ(WithoutTimes(lines), expected);
}

TEST_F(RecordingTest, ARecordedPathIsPlayedBackAfterSavingAndLoading) {
    const std::vector<QStringList> path = {
        {"mousemove", "40", "50"},   {"sleep", "0.05"}, {"mousemove", "90", "70"},  {"sleep", "0.05"},
        {"mousemove", "160", "110"}, {"sleep", "0.05"}, {"mousemove", "220", "180"}};
    const Lines recorded = Record(false, path, "path");
    ASSERT_EQ(WithoutTimes(recorded),
              (Lines{"MOUSE_MOVE 40 50", "MOUSE_MOVE 90 70", "MOUSE_MOVE 160 110", "MOUSE_MOVE 220 180"}));
    // The moves were made at least 50 ms apart, and the times say so.
    EXPECT_GE(macros::ParseMacroLine(recorded[3]).time, 150);

    ui::TMacroForm player(Ports(), nullptr, nullptr);
    saveAs = QString::fromStdString(folder.file("path.mco"));
    ui::RunGuarded(errors, [&] { Control<QPushButton>(player, "Load")->click(); });
    ASSERT_EQ(player.Memo1().lines(), recorded);
    Xdotool({"mousemove", "5", "5"});
    ui::RunGuarded(errors, [&] { Control<QPushButton>(player, "BTNPlay")->click(); });
    player.WaitForPlayback();
    waiter.seen.push_back(PointerNow());
    // Sampled before each later line and at the end: each time where the line before put it.
    EXPECT_EQ(waiter.seen, (std::vector<platform::CursorPoint>{{40, 50}, {90, 70}, {160, 110}, {220, 180}}));
    QTRY_VERIFY_WITH_TIMEOUT(Control<QPushButton>(player, "BTNRecord")->isEnabled(), 2000);
    EXPECT_TRUE(errors.shown.isEmpty()) << errors.shown.join('\n').toStdString();
}

// The layout of the test display, set for one recording and put back to US however the test ends.
struct Layout {
    explicit Layout(const char* name) { Set(name); }
    ~Layout() { Set("us"); }
    static void Set(const char* name) {
        EXPECT_EQ(QProcess::execute(QStringLiteral("setxkbmap"), {QString::fromLatin1(name)}), 0) << name;
        QTest::qWait(100);
    }
};

// Only the key lines, without times.
Lines KeyLines(const Lines& lines) {
    Lines keys;
    for (const auto& line : WithoutTimes(lines))
        if (line.starts_with("KEY_")) keys.push_back(line);
    return keys;
}

// xdotool types each keysym on the key that carries it in the layout in use, as the user's fingers do.
TEST_F(RecordingTest, KeysAreRecordedAsWhatTheyTypeOnTheLayoutInUse) {
    {
        const Layout russian("ru");
        // The key in Q's place, which types a Cyrillic letter, is the Q key.
        EXPECT_EQ(KeyLines(Record(true, {{"key", "Cyrillic_shorti"}, {"key", "Cyrillic_ef"}}, "ru")),
                  (Lines{"KEY_DOWN 81", "KEY_UP 81", "KEY_DOWN 65", "KEY_UP 65"}));
    }
    {
        const Layout german("de");
        // Z is where Y is on a US keyboard; ü is the key right of P.
        EXPECT_EQ(KeyLines(Record(true, {{"key", "z"}, {"key", "udiaeresis"}}, "de")),
                  (Lines{"KEY_DOWN 90", "KEY_UP 90", "KEY_DOWN 219", "KEY_UP 219"}));
    }
    {
        const Layout french("fr");
        EXPECT_EQ(KeyLines(Record(true, {{"key", "a"}, {"key", "ampersand"}}, "fr")),
                  (Lines{"KEY_DOWN 65", "KEY_UP 65", "KEY_DOWN 49", "KEY_UP 49"}));
    }
    // With Num Lock on, the keypad key that is End without it types 1.
    EXPECT_EQ(
        KeyLines(Record(true, {{"key", "Num_Lock"}, {"key", "KP_End"}, {"key", "Num_Lock"}}, "kp")),
        (Lines{"KEY_DOWN 144", "KEY_UP 144", "KEY_DOWN 97", "KEY_UP 97", "KEY_DOWN 144", "KEY_UP 144"}));
}

// Another program on the display that takes the keyboard for itself, as a password prompt or a screen
// locker does.
class KeyboardGrabber {
  public:
    KeyboardGrabber() : display_(XOpenDisplay(nullptr)) {}
    ~KeyboardGrabber() { Quit(); }
    KeyboardGrabber(const KeyboardGrabber&) = delete;
    KeyboardGrabber& operator=(const KeyboardGrabber&) = delete;

    bool Grab() {
        return display_ && XGrabKeyboard(display_, DefaultRootWindow(display_), False, GrabModeAsync,
                                         GrabModeAsync, CurrentTime) == GrabSuccess;
    }
    void Ungrab() {
        XUngrabKeyboard(display_, CurrentTime);
        XSync(display_, False);
    }
    // The toolkits' way: the master keyboard grabbed through XInput 2.
    bool GrabDevice() {
        int major = 2, minor = 0;
        if (!display_ || XIQueryVersion(display_, &major, &minor) != Success) return false;
        keyboard_ = MasterKeyboard();
        unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
        XISetMask(bits, XI_KeyPress);
        XIEventMask mask{keyboard_, sizeof bits, bits};
        return keyboard_ > 0 && XIGrabDevice(display_, keyboard_, DefaultRootWindow(display_), CurrentTime, 0,
                                             XIGrabModeAsync, XIGrabModeAsync, False, &mask) == GrabSuccess;
    }
    void UngrabDevice() {
        XIUngrabDevice(display_, keyboard_, CurrentTime);
        XSync(display_, False);
    }
    // A menu's way: the keyboard grabbed on its own window, which the server lets go of by itself when
    // the window is unmapped, with no request that says so.
    bool GrabOnWindow() {
        if (!display_) return false;
        menu_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 40, 40, 0, 0, 0);
        XSelectInput(display_, menu_, StructureNotifyMask);
        XMapWindow(display_, menu_);
        for (XEvent e; XWindowEvent(display_, menu_, StructureNotifyMask, &e), e.type != MapNotify;) {
        }
        return XGrabKeyboard(display_, menu_, False, GrabModeAsync, GrabModeAsync, CurrentTime) ==
               GrabSuccess;
    }
    void UnmapWindow() {
        XUnmapWindow(display_, menu_);
        XSync(display_, False);
    }
    // Ends without letting go, as a killed program does.
    void Quit() {
        if (display_) XCloseDisplay(display_);
        display_ = nullptr;
    }

  private:
    int MasterKeyboard() {
        int count = 0, id = -1;
        XIDeviceInfo* info = XIQueryDevice(display_, XIAllMasterDevices, &count);
        for (int i = 0; info && i < count; ++i)
            if (info[i].use == XIMasterKeyboard) id = info[i].deviceid;
        if (info) XIFreeDeviceInfo(info);
        return id;
    }
    Display* display_;
    int keyboard_ = -1;
    Window menu_ = 0;
};

TEST_F(RecordingTest, NothingIsRecordedWhileAnotherProgramHoldsTheKeyboard) {
    KeyboardGrabber prompt, locker, killed, menu;
    auto key = [](const char* name) { return [name](ui::TMacroForm&) { Xdotool({"key", name}); }; };
    const Lines lines =
        Record(true,
               {key("b"),
                // A key held when the prompt takes the keyboard is let go in the recording too.
                [](ui::TMacroForm&) {
                    Xdotool({"keydown", "h"});
                },
                [&](ui::TMacroForm&) { ASSERT_TRUE(prompt.Grab()); },
                [](ui::TMacroForm&) {
                    Xdotool({"keyup", "h"});
                },
                key("s"), key("e"),
                [](ui::TMacroForm&) {
                    Xdotool({"click", "1"});
                },
                [](ui::TMacroForm& form) {
                    // F12 typed into the prompt is no stop key either.
                    Xdotool({"key", "F12"});
                    QTest::qWait(100);
                    EXPECT_TRUE(form.recording());
                },
                [&](ui::TMacroForm&) { prompt.Ungrab(); }, key("d"),
                [&](ui::TMacroForm&) { ASSERT_TRUE(locker.GrabDevice()); }, key("x"),
                [&](ui::TMacroForm&) { locker.UngrabDevice(); }, key("f"),
                [&](ui::TMacroForm&) { ASSERT_TRUE(killed.Grab()); }, key("q"),
                [&](ui::TMacroForm&) { killed.Quit(); }, key("g"),
                [&](ui::TMacroForm&) { ASSERT_TRUE(menu.GrabOnWindow()); }, key("w"),
                // Then F12 (pressed by Record) must end the recording again.
                [&](ui::TMacroForm&) { menu.UnmapWindow(); }, key("z")},
               "grabbed");
    EXPECT_EQ(WithoutTimes(lines),
              (Lines{"KEY_DOWN 66", "KEY_UP 66", "KEY_DOWN 72", "KEY_UP 72", "KEY_DOWN 68", "KEY_UP 68",
                     "KEY_DOWN 70", "KEY_UP 70", "KEY_DOWN 71", "KEY_UP 71", "KEY_DOWN 90", "KEY_UP 90"}));
    EXPECT_TRUE(pauseNoted) << "the window does not say that it paused";
}

TEST_F(RecordingTest, ARecordingWithoutAGrabSaysNothingAboutAPause) {
    EXPECT_EQ(KeyLines(Record(true, {{"key", "b"}}, "plain")), (Lines{"KEY_DOWN 66", "KEY_UP 66"}));
    EXPECT_FALSE(pauseNoted);
    // Our own hotkeys take single combinations, not the keyboard: taking one is no pause.
    platform::fake::RecordingLog hotkeysLog;
    platform::linux_backend::LinuxGlobalHotkeys hotkeys(hotkeysLog);
    const Lines withHotkey =
        Record(true,
               {[&](ui::TMacroForm&) {
                    EXPECT_EQ(hotkeys.registerHotkey(1, 123, 7), platform::HotkeyRegistration::Registered);
                    QTest::qWait(50);
                },
                [](ui::TMacroForm&) {
                    Xdotool({"key", "c"});
                }},
               "hotkey");
    hotkeys.unregisterHotkey(7);
    EXPECT_EQ(KeyLines(withHotkey), (Lines{"KEY_DOWN 67", "KEY_UP 67"}));
    EXPECT_FALSE(pauseNoted);
}

// Asks the test's logind (python3-dbusmock) on the system bus.
void Logind(const QString& path, const QString& method, const QStringList& args) {
    QStringList call{"call",          "--system", "--dest",   "org.freedesktop.login1",
                     "--object-path", path,       "--method", method};
    ASSERT_EQ(QProcess::execute(QStringLiteral("gdbus"), call + args), 0) << method.toStdString();
    QTest::qWait(100); // the signal reaches the recording thread
}

TEST_F(RecordingTest, NothingIsRecordedWhileTheSessionIsLocked) {
    if (!std::getenv("DBUS_SYSTEM_BUS_ADDRESS")) GTEST_SKIP() << "needs the test's logind";
    const QString id = QStringLiteral("rec%1").arg(getpid());
    const QString session = QStringLiteral("/org/freedesktop/login1/session/") + id;
    Logind("/org/freedesktop/login1", "org.freedesktop.DBus.Mock.AddSession",
           {id, "seat0", QString::number(getuid()), "tester", "true"});
    const std::string idText = id.toStdString();
    const ScopedEnv sessionId{"XDG_SESSION_ID", idText.c_str()};
    auto locked = [&](bool on) {
        return [&, on](ui::TMacroForm&) {
            Logind(session, "org.freedesktop.login1.Session.SetLockedHint", {on ? "true" : "false"});
        };
    };
    auto key = [](const char* name) { return [name](ui::TMacroForm&) { Xdotool({"key", name}); }; };
    const Lines lines =
        Record(true, {key("b"), locked(true), key("s"), key("e"), locked(false), key("d")}, "locked");
    EXPECT_EQ(WithoutTimes(lines), (Lines{"KEY_DOWN 66", "KEY_UP 66", "KEY_DOWN 68", "KEY_UP 68"}));
    EXPECT_TRUE(pauseNoted);

    // A session locked before the recording starts is paused from the first key on.
    Logind(session, "org.freedesktop.login1.Session.SetLockedHint", {"true"});
    const Lines fromStart = Record(true, {key("x"), locked(false), key("f")}, "locked-first");
    EXPECT_EQ(WithoutTimes(fromStart), (Lines{"KEY_DOWN 70", "KEY_UP 70"}));
}

// A desktop screensaver on the session bus, as python3-dbusmock makes one, that the test turns on and off.
class ScreenSaverStandIn {
  public:
    ScreenSaverStandIn() {
        process_.start(QStringLiteral("/usr/bin/python3"),
                       {"-m", "dbusmock", "--session", kName, kPath, kName});
        QElapsedTimer waited;
        waited.start();
        // Ready once it answers; it says the screensaver is off when asked.
        while (waited.elapsed() < 10000 && !Call("org.freedesktop.DBus.Mock.AddMethod",
                                                 {"''", "GetActive", "''", "'b'", "'ret = False'"}))
            QTest::qWait(100);
    }
    ~ScreenSaverStandIn() {
        process_.kill();
        process_.waitForFinished(3000);
    }
    ScreenSaverStandIn(const ScreenSaverStandIn&) = delete;
    ScreenSaverStandIn& operator=(const ScreenSaverStandIn&) = delete;

    bool Active(bool on) {
        const bool sent = Call("org.freedesktop.DBus.Mock.EmitSignal",
                               {kName, "ActiveChanged", "'b'", on ? "[<true>]" : "[<false>]"});
        QTest::qWait(100); // the signal reaches the recording thread
        return sent;
    }

  private:
    static constexpr const char* kName = "org.freedesktop.ScreenSaver";
    static constexpr const char* kPath = "/org/freedesktop/ScreenSaver";
    static bool Call(const char* method, const QStringList& args) {
        QProcess gdbus;
        gdbus.start(QStringLiteral("gdbus"), QStringList{"call", "--session", "--dest", kName,
                                                         "--object-path", kPath, "--method", method} +
                                                 args);
        return gdbus.waitForFinished(5000) && gdbus.exitStatus() == QProcess::NormalExit &&
               gdbus.exitCode() == 0;
    }
    QProcess process_;
};

TEST_F(RecordingTest, NothingIsRecordedWhileTheDesktopsScreensaverIsOn) {
    if (!std::getenv("DBUS_SESSION_BUS_ADDRESS")) GTEST_SKIP() << "needs the test's session bus";
    ScreenSaverStandIn saver;
    ASSERT_TRUE(saver.Active(false)) << "the stand-in screensaver did not start";
    auto key = [](const char* name) { return [name](ui::TMacroForm&) { Xdotool({"key", name}); }; };
    auto active = [&](bool on) { return [&, on](ui::TMacroForm&) { ASSERT_TRUE(saver.Active(on)); }; };
    const Lines lines = Record(true, {key("b"), active(true), key("s"), active(false), key("d")}, "saver");
    EXPECT_EQ(WithoutTimes(lines), (Lines{"KEY_DOWN 66", "KEY_UP 66", "KEY_DOWN 68", "KEY_UP 68"}));
    EXPECT_TRUE(pauseNoted);
}

} // namespace
} // namespace orvanta::test
