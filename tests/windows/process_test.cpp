#include "platform/windows/windows_process_control.h"
#include "tests/windows/probe.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace wb = orvanta::platform::windows_backend;
using orvanta::platform::ProcessEntry;

namespace {
std::optional<ProcessEntry> FindById(const std::vector<ProcessEntry>& list, std::int64_t id) {
    auto it = std::find_if(list.begin(), list.end(), [&](const ProcessEntry& p) { return p.id == id; });
    if (it == list.end()) return std::nullopt;
    return *it;
}
} // namespace

TEST(WindowsProcessControl, ListsThisProcessWithItsNamesAndPath) {
    wb::WindowsProcessControl control;
    auto list = control.listProcesses();
    ASSERT_TRUE(list.has_value());
    EXPECT_GT(list->size(), 1u);
    auto self = FindById(*list, GetCurrentProcessId());
    ASSERT_TRUE(self.has_value());
    EXPECT_EQ(self->imageName, "windows_backend_tests.exe");
    EXPECT_EQ(self->shortName, "windows_backend_tests.exe");
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    EXPECT_TRUE(_stricmp(self->imagePath.c_str(), path) == 0) << self->imagePath << " vs " << path;
}

TEST(WindowsProcessControl, KillsAStartedProcessAtOnce) {
    wb::WindowsProcessControl control;
    DWORD id = 0;
    HANDLE probe = orvanta::test::StartProbe("sleep", &id);
    ASSERT_NE(probe, nullptr);

    auto list = control.listProcesses();
    ASSERT_TRUE(list.has_value());
    auto entry = FindById(*list, id);
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->imageName, "windows_probe.exe");

    EXPECT_TRUE(control.killProcess(id));
    EXPECT_EQ(WaitForSingleObject(probe, 5000), WAIT_OBJECT_0) << "a hard kill does not wait for the program";
    CloseHandle(probe);

    list = control.listProcesses();
    ASSERT_TRUE(list.has_value());
    EXPECT_FALSE(FindById(*list, id).has_value());
}
