#include "platform/windows/windows_resume_monitor.h"

#include <gtest/gtest.h>
#include <vector>
#include <windows.h>

namespace wb = orvanta::platform::windows_backend;
using orvanta::platform::ResumeEvent;

// The system's resume broadcasts are stood in for by the same messages sent to the monitor's window.
TEST(WindowsResumeMonitor, TellsAutomaticFromUserResumesAndIgnoresOtherPowerEvents) {
    std::vector<bool> seen;
    wb::WindowsResumeMonitor monitor;
    ASSERT_TRUE(monitor.start([&](const ResumeEvent& event) { seen.push_back(event.automatic); }));
    EXPECT_TRUE(monitor.start([](const ResumeEvent&) {})) << "starting again changes nothing";

    HWND window = FindWindowA(wb::kResumeWindowClass, nullptr);
    ASSERT_NE(window, nullptr);
    SendMessageA(window, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    SendMessageA(window, WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0);
    SendMessageA(window, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
    // SendMessage returns once the monitor's thread handled the message.
    EXPECT_EQ(seen, (std::vector<bool>{true, false}));

    monitor.stop();
    EXPECT_EQ(FindWindowA(wb::kResumeWindowClass, nullptr), nullptr) << "stopping removes the window";
}
