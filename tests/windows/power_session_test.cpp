#include "platform/windows/windows_keep_awake.h"
#include "platform/windows/windows_process_control.h"
#include "platform/windows/windows_program_launcher.h"
#include "platform/windows/windows_session_power.h"
#include "tests/support/temp_folder.h"
#include "tests/windows/probe.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace wb = orvanta::platform::windows_backend;

// Nothing here shuts down, suspends or locks: under Wine those would end the test session itself.
TEST(WindowsSessionPower, TheShutdownPrivilegeIsEnabledWithoutProblems) {
    wb::WindowsSessionPower power;
    const auto result = power.enableShutdownPrivilege();
    EXPECT_TRUE(result.enabled);
    EXPECT_TRUE(result.problems.empty()) << result.problems.front();
    EXPECT_TRUE(power.enableShutdownPrivilege().enabled) << "enabling again is harmless";
}

TEST(WindowsKeepAwake, HoldingAndReleasingGoThroughTheHoldersThread) {
    wb::WindowsKeepAwake keepAwake;
    EXPECT_FALSE(keepAwake.holdingSystemAwake());
    ASSERT_TRUE(keepAwake.holdSystemAwake());
    EXPECT_TRUE(keepAwake.holdingSystemAwake());
    EXPECT_TRUE(keepAwake.holdSystemAwake()) << "holding again changes nothing";
    keepAwake.release();
    EXPECT_FALSE(keepAwake.holdingSystemAwake());
    keepAwake.release();
    ASSERT_TRUE(keepAwake.holdSystemAwake()) << "a released hold can be taken again";
    // Destroyed while holding: the holder thread ends and the request with it.
}

TEST(WindowsProgramLauncher, StartsAProgramWithItsParametersDetached) {
    wb::WindowsProgramLauncher launcher;
    wb::WindowsProcessControl processes;
    const auto countProbes = [&] {
        auto list = processes.listProcesses();
        return list ? std::count_if(list->begin(), list->end(),
                                    [](const auto& p) { return p.imageName == "windows_probe.exe"; })
                    : -1;
    };
    const auto before = countProbes();
    ASSERT_TRUE(launcher.startProgram({orvanta::test::ProbePath(), "sleep", {"sleep"}}));

    // The probe stays only when it got "sleep" as its parameter; otherwise it ends at once.
    std::int64_t started = 0;
    for (int i = 0; i < 100 && started == 0; ++i) {
        auto list = processes.listProcesses();
        ASSERT_TRUE(list.has_value());
        for (const auto& p : *list)
            if (p.imageName == "windows_probe.exe" && p.id != GetCurrentProcessId()) started = p.id;
        if (started == 0) Sleep(50);
    }
    ASSERT_NE(started, 0);
    Sleep(300);
    EXPECT_EQ(countProbes(), before + 1) << "still running: the parameter arrived";
    EXPECT_TRUE(processes.killProcess(started));
}

TEST(WindowsProgramLauncher, AMissingDocumentIsReportedAsNotOpened) {
    orvanta::test::TempFolder temp;
    wb::WindowsProgramLauncher launcher;
    EXPECT_FALSE(launcher.openDocument(temp.file("missing.txt")));
}
