#include "macros/macro_player.h"
#include "macros/macro_text.h"
#include "platform/linux/input/xtest_synthetic_input.h"
#include "tests/platform/test_environment.h"
#include "tests/platform_macros/macro_file_writer.h"
#include "tests/support/temp_folder.h"
#include "ui/gui_clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <gtest/gtest.h>

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

} // namespace
} // namespace orvanta::macros
