#include "platform/linux/resume_lock/command_runner.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/temp_folder.h"
#include "tools/orvanta_settings/settings_command.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace orvanta::settings_tool {
namespace {

using platform::linux_backend::ResumeLockControl;

class RecordingControl : public ResumeLockControl {
  public:
    std::vector<bool> changes;
    bool accepts = true;
    std::optional<bool> locksOnResume() const override { return std::nullopt; }
    bool setLocksOnResume(bool lock) override {
        changes.push_back(lock);
        return accepts;
    }
    std::string describe() const override { return "the test switch"; }
};

class SettingsCommandTest : public ::testing::Test {
  protected:
    RecordingControl control;
    bool controlFound = true;
    int networkTimeCalls = 0;
    std::string networkTimeProblem;
    std::ostringstream err;

    int Run(const std::vector<std::string>& arguments) {
        const SettingsServices services{[this]() -> std::unique_ptr<ResumeLockControl> {
                                            if (!controlFound) return nullptr;
                                            // The command owns what it is given; hand it a forwarder to the
                                            // recorder.
                                            struct Forward : ResumeLockControl {
                                                RecordingControl& to;
                                                explicit Forward(RecordingControl& c) : to(c) {}
                                                std::optional<bool> locksOnResume() const override {
                                                    return to.locksOnResume();
                                                }
                                                bool setLocksOnResume(bool lock) override {
                                                    return to.setLocksOnResume(lock);
                                                }
                                                std::string describe() const override {
                                                    return to.describe();
                                                }
                                            };
                                            return std::make_unique<Forward>(control);
                                        },
                                        [this] {
                                            ++networkTimeCalls;
                                            return networkTimeProblem;
                                        }};
        return RunSettingsCommand(arguments, services, err);
    }
};

TEST_F(SettingsCommandTest, ZeroTurnsTheLockOffOneTurnsItOnTwoAsksForNetworkTime) {
    EXPECT_EQ(Run({"0"}), kSucceeded);
    EXPECT_EQ(Run({"1"}), kSucceeded);
    EXPECT_EQ(control.changes, (std::vector<bool>{false, true}));
    EXPECT_EQ(networkTimeCalls, 0);
    EXPECT_EQ(Run({"2"}), kSucceeded);
    EXPECT_EQ(networkTimeCalls, 1);
    EXPECT_EQ(control.changes.size(), 2u);
    EXPECT_EQ(err.str(), "");
}

TEST_F(SettingsCommandTest, FailuresAreToldAndEndUnsuccessfully) {
    controlFound = false;
    EXPECT_EQ(Run({"0"}), kFailed);
    EXPECT_NE(err.str().find("no setting for asking the password on resume was found"), std::string::npos);

    controlFound = true;
    control.accepts = false;
    err.str("");
    EXPECT_EQ(Run({"1"}), kFailed);
    EXPECT_NE(err.str().find("could not change the test switch"), std::string::npos);

    networkTimeProblem = "Access denied";
    err.str("");
    EXPECT_EQ(Run({"2"}), kFailed);
    EXPECT_NE(err.str().find("Access denied"), std::string::npos);
}

TEST_F(SettingsCommandTest, AnythingButOneKnownArgumentChangesNothing) {
    for (const auto& arguments : std::vector<std::vector<std::string>>{{}, {"3"}, {"0", "1"}, {"00"}, {""}}) {
        EXPECT_EQ(Run(arguments), kUsage);
    }
    EXPECT_TRUE(control.changes.empty());
    EXPECT_EQ(networkTimeCalls, 0);
    EXPECT_NE(err.str().find("usage: Orvanta_Settings 0|1|2"), std::string::npos);
}

// The built program, with the desktop chosen through its environment.
TEST(SettingsProgram, ChangesTheRunningDesktopsSwitchOrEndsUnsuccessfullyWhereThereIsNone) {
    using platform::linux_backend::RunCommand;
    test::TempFolder home;
    test::ScopedEnv config("XDG_CONFIG_HOME", home.path().c_str());
    {
        test::ScopedEnv desktop("XDG_CURRENT_DESKTOP", "KDE");
        EXPECT_EQ(RunCommand({ORVANTA_SETTINGS_PROGRAM, "0"}).exitStatus, kSucceeded);
        EXPECT_EQ(test::ReadFileBytes(home.file("kscreenlockerrc")), "[Daemon]\nLockOnResume=false\n");
    }
    {
        // No schema of any locker can be found: nothing to change.
        test::ScopedEnv desktop("XDG_CURRENT_DESKTOP", "LXDE");
        test::ScopedEnv schemas("XDG_DATA_DIRS", home.file("nothing").c_str());
        test::ScopedEnv noExtraSchemas("GSETTINGS_SCHEMA_DIR", home.file("nothing").c_str());
        EXPECT_EQ(RunCommand({ORVANTA_SETTINGS_PROGRAM, "1"}).exitStatus, kFailed);
    }
    EXPECT_EQ(RunCommand({ORVANTA_SETTINGS_PROGRAM, "7"}).exitStatus, kUsage);
}

// Through pkexec the program runs as root for another user: it must change that user's setting, never
// root's. The unprivileged "nobody" cannot write its home, so the change fails there and root's
// configuration folder stays untouched.
TEST(SettingsProgram, StartedThroughPkexecItActsAsTheCallingUser) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root, as pkexec would give";
    using platform::linux_backend::RunCommand;
    test::TempFolder rootConfig;
    test::ScopedEnv config("XDG_CONFIG_HOME", rootConfig.path().c_str());
    test::ScopedEnv desktop("XDG_CURRENT_DESKTOP", "KDE");
    test::ScopedEnv caller("PKEXEC_UID", "65534");
    EXPECT_EQ(RunCommand({ORVANTA_SETTINGS_PROGRAM, "0"}).exitStatus, kFailed);
    EXPECT_FALSE(std::filesystem::exists(rootConfig.file("kscreenlockerrc")));
}

} // namespace
} // namespace orvanta::settings_tool
