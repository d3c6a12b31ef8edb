#include "macros/macro_player.h"
#include "macros/macro_text.h"
#include "platform/fake/fake_synthetic_input.h"
#include "platform/linux/input/xtest_synthetic_input.h"
#include "tests/platform/test_environment.h"
#include "tests/platform_macros/macro_file_writer.h"
#include "tests/support/temp_folder.h"
#include "ui/gui_clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

// The test window's header brings Xlib, whose macros clash with Qt's headers, so it comes after them.
#include "tests/platform_macros/x_test_window.h"

namespace orvanta::macros {
namespace {

using std::chrono::milliseconds;

// An INPUT line goes through the program's clipboard, which a Qt application owns on its GUI thread, and
// Ctrl+V; the test window then asks the clipboard's owner for the text, as any X editor would.
TEST(MacroPasteTest, AnInputLineIsPastedWithItsBlanksAndStaysOnTheClipboard) {
    const char* display = std::getenv("DISPLAY");
    ORVANTA_REQUIRE_RESOURCE(display && *display, "no X display");
    qputenv("QT_QPA_PLATFORM", "xcb");
    int argc = 1;
    char name[] = "platform_macros_tests";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);

    platform::linux_backend::XTestSyntheticInput input;
    ASSERT_TRUE(input.available());
    test::XTestWindow window(50, 60, 500, 400);
    ASSERT_TRUE(window.ready());

    test::TempFolder folder;
    const std::string path = folder.file("paste.mco");
    test::WriteRecordedMacro(path, {u"0 INPUT Hello world", u"100 input Gr\u00fc\u00dfe aus  K\u00f6ln "});
    auto lines = ReadMacroFile(path);
    ASSERT_TRUE(lines.has_value());

    ui::GuiClipboard clipboard;
    SteadyMacroWaiter waiter;
    std::atomic<bool> stop{false};
    std::atomic<bool> ended{false};
    // The playback's thread hands the text to this thread, which must keep serving Qt meanwhile.
    DoDo2 player({input, clipboard, waiter, stop, [&] { ended = true; }});
    player.Start(*lines);
    const auto serveQt = [] { QCoreApplication::processEvents(); };
    const bool both =
        window.PumpUntil([&] { return ended && window.pastes.size() >= 2; }, milliseconds(5000), serveQt);
    player.WaitAll();
    EXPECT_TRUE(both);

    EXPECT_EQ(window.pastes, (std::vector<std::string>{"Hello world", "Gr\u00fc\u00dfe aus  K\u00f6ln "}));
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("Gr\u00fc\u00dfe aus  K\u00f6ln "));
    // Ctrl+V twice, each let go again.
    std::vector<std::string> presses = window.PressedKeysyms();
    EXPECT_EQ(presses, (std::vector<std::string>{"Control_L", "v", "Control_L", "v"}));
}

// Ends the test program when a wait outlives its limit: a deadlocked GUI thread cannot report itself.
class Watchdog {
  public:
    Watchdog(milliseconds limit, const char* what)
        : thread_([this, limit, what] {
              std::unique_lock lock(mutex_);
              if (!cancelled_.wait_for(lock, limit, [this] { return done_; })) {
                  std::fprintf(stderr, "deadlock: %s\n", what);
                  std::_Exit(1);
              }
          }) {}
    ~Watchdog() {
        {
            const std::lock_guard lock(mutex_);
            done_ = true;
        }
        cancelled_.notify_all();
        thread_.join();
    }

  private:
    std::mutex mutex_;
    std::condition_variable cancelled_;
    bool done_ = false;
    std::thread thread_;
};

// The program's Exit and the recorder's closing wait on the GUI thread for the playbacks to end; a
// playback that is handing text to the clipboard at that moment must not wait for the GUI thread in turn.
TEST(MacroPasteTest, AStopFromTheGuiThreadEndsAPlaybackThatWaitsForTheClipboard) {
    const char* display = std::getenv("DISPLAY");
    ORVANTA_REQUIRE_RESOURCE(display && *display, "no X display");
    qputenv("QT_QPA_PLATFORM", "xcb");
    int argc = 1;
    char name[] = "platform_macros_tests";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);

    platform::fake::FakeSyntheticInput input;
    ui::GuiClipboard clipboard;
    SteadyMacroWaiter waiter;
    std::atomic<bool> stop{false};
    DoDo2 player({input, clipboard, waiter, stop, {}});
    player.Start({"0 INPUT typed text", "5 KEY_DOWN 65"});
    // The GUI thread does not serve Qt meanwhile: the clipboard request stays queued.
    std::this_thread::sleep_for(milliseconds(50));

    const auto before = std::chrono::steady_clock::now();
    {
        Watchdog watchdog(milliseconds(3000), "the GUI thread waits for a playback that waits for it");
        stop = true;
        player.WaitAll();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - before, milliseconds(100));
    EXPECT_TRUE(input.events().empty()) << "no Ctrl+V without the text on the clipboard";
    QCoreApplication::processEvents(); // the late request finds nobody waiting and does no harm
}

} // namespace
} // namespace orvanta::macros
