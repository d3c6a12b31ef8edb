#include "macros/macro_file_lines.h"
#include "macros/task_macro_starter.h"
#include "platform/fake/fake_global_hotkeys.h"
#include "platform/fake/fake_synthetic_input.h"
#include "tests/support/temp_folder.h"

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace orvanta::macros {
namespace {

using namespace std::chrono_literals;

class NoClipboard : public ClipboardPort {
  public:
    void setClipboardText(const std::string&) override {}
};

class NoWait : public MacroWaiter {
  public:
    void wait(std::chrono::milliseconds) override {}
};

// A task's macro path that is a named pipe: opening it for reading blocks until a writer comes, which on
// the GUI thread would freeze the program for good.
TEST(MacroFileTest, ANamedPipeAsTaskMacroIsRefusedAtOnce) {
    test::TempFolder folder;
    const std::string pipe = folder.file("pipe.mco");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);

    platform::fake::FakeSyntheticInput input;
    NoClipboard clipboard;
    NoWait waiter;
    std::atomic<bool> stop{false};
    platform::fake::FakeGlobalHotkeys os;
    hotkeys::HotkeyRegistrar registrar(os);
    MacroStopKey stopKey(registrar);
    DoDo2 player({input, clipboard, waiter, stop, [&] { stopKey.Release(); }});
    TaskMacroStarter starter(player, stopKey, stop);

    std::atomic<bool> returned{false};
    std::thread unblock([&] {
        const auto end = std::chrono::steady_clock::now() + 2s;
        while (!returned && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(1ms);
        if (returned) return;
        // The start blocked: an end of file lets the test report it instead of hanging.
        const int fd = open(pipe.c_str(), O_WRONLY);
        if (fd >= 0) close(fd);
    });
    const auto before = std::chrono::steady_clock::now();
    const bool started = starter.StartTaskMacro(pipe);
    returned = true;
    unblock.join();
    player.WaitAll();
    EXPECT_FALSE(started);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 500ms);
    EXPECT_FALSE(os.isRegistered(1, 123));

    // The reader refuses it too, should the path become a pipe after the start.
    MacroFileLines lines(pipe);
    std::string line;
    EXPECT_FALSE(lines.next(line));
    EXPECT_TRUE(lines.failed());
}

} // namespace
} // namespace orvanta::macros
