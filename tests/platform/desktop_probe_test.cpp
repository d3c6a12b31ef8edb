#include "platform/linux/desktop_probe.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orvanta::platform::linux_backend {
namespace {

using test::RunProgram;

// The file capability as setcap writes it (the Debian package's post-install step), read back the way
// the doctor reads it: only wake_alarm in both the permitted and the effective set counts.
TEST(DesktopProbe, OnlyAnEffectiveWakeAlarmCapabilityOfTheFileCounts) {
    if (geteuid() != 0) GTEST_SKIP() << "setcap needs root";
    const test::TempFolder folder;
    struct Case {
        const char* capabilities; // nullptr: none set
        bool counts;
    };
    for (const Case& c :
         {Case{"cap_wake_alarm+ep", true}, Case{"cap_wake_alarm,cap_net_raw+ep", true},
          Case{"cap_wake_alarm+p", false}, Case{"cap_net_raw+ep", false}, Case{nullptr, false}}) {
        SCOPED_TRACE(c.capabilities ? c.capabilities : "none");
        const std::string program = folder.file("orvanta");
        std::filesystem::remove(program);
        std::filesystem::copy_file("/bin/true", program);
        if (c.capabilities) ASSERT_EQ(RunProgram({"setcap", c.capabilities, program}), 0);
        EXPECT_EQ(ProgramHasWakeAlarm(program), c.counts);
    }
    EXPECT_FALSE(ProgramHasWakeAlarm(folder.file("absent")));
}

TEST(DesktopProbe, DamagedOrOldCapabilityAttributesGrantNothing) {
    EXPECT_FALSE(CapabilityGrantsWakeAlarm(""));
    EXPECT_FALSE(CapabilityGrantsWakeAlarm(std::string("\x00\x00\x00\x02", 4)));
    // Revision 1 (one 32-bit set) cannot hold capability 35, whatever its bits say.
    EXPECT_FALSE(
        CapabilityGrantsWakeAlarm(std::string("\x01\x00\x00\x01\xff\xff\xff\xff\xff\xff\xff\xff", 12)));
    // Revision 2, effective, permitted bit 35 (bit 3 of the second word).
    std::string v2("\x01\x00\x00\x02"
                   "\x00\x00\x00\x00"
                   "\x00\x00\x00\x00"
                   "\x08\x00\x00\x00"
                   "\x00\x00\x00\x00",
                   20);
    EXPECT_TRUE(CapabilityGrantsWakeAlarm(v2));
    v2[0] = 0; // not effective
    EXPECT_FALSE(CapabilityGrantsWakeAlarm(v2));
}

TEST(DesktopProbe, TheProgramBesideTheAskingOneComesBeforeThePath) {
    const test::TempFolder folder;
    const std::string beside = folder.file("orvanta");
    std::filesystem::copy_file("/bin/true", beside);
    EXPECT_EQ(FindOrvantaProgram(folder.path()), beside);
    const std::string elsewhere = folder.file("empty");
    std::filesystem::create_directory(elsewhere);
    const char* path = std::getenv("PATH");
    const std::string saved = path ? path : "";
    setenv("PATH", ("/nonexistent:" + folder.path()).c_str(), 1);
    EXPECT_EQ(FindOrvantaProgram(elsewhere), beside);
    setenv("PATH", "/nonexistent", 1);
    EXPECT_EQ(FindOrvantaProgram(elsewhere), "");
    setenv("PATH", saved.c_str(), 1);
}

} // namespace
} // namespace orvanta::platform::linux_backend
