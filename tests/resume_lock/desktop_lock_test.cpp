#include "platform/linux/resume_lock/linux_resume_password_setting.h"
#include "platform/linux/resume_lock/resume_lock_control.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <map>

namespace orvanta::platform::linux_backend {
namespace {

using Argv = std::vector<std::string>;

// Answers commands from a table and records every one; a command not in the table was not found.
struct ScriptedRunner {
    std::map<Argv, CommandResult> answers;
    std::vector<Argv> calls;

    void answer(const Argv& argv, int status, const std::string& output = "") {
        answers[argv] = {true, status, output};
    }
    CommandRunner runner() {
        return [this](const Argv& argv) {
            calls.push_back(argv);
            const auto found = answers.find(argv);
            return found == answers.end() ? CommandResult{} : found->second;
        };
    }
};

TEST(DesktopDetection, NamesFromTheDesktopListPickTheSwitch) {
    const std::vector<std::pair<std::string, LockDesktop>> cases = {
        {"GNOME", LockDesktop::Gnome},
        {"ubuntu:GNOME", LockDesktop::Gnome},
        {"Unity:Unity7:ubuntu", LockDesktop::Gnome},
        {"GNOME-Flashback:GNOME", LockDesktop::Gnome},
        {"KDE", LockDesktop::Kde},
        {"XFCE", LockDesktop::Xfce},
        {"xfce", LockDesktop::Xfce},
        {"X-Cinnamon", LockDesktop::Other},
        {"LXDE", LockDesktop::Other},
        {"", LockDesktop::Other},
        {"KDEX", LockDesktop::Other},
    };
    for (const auto& [name, desktop] : cases)
        EXPECT_EQ(DetectLockDesktop(name), desktop) << name;
}

TEST(KdeLockerFile, TheSwitchIsReadAndWrittenInItsGroupOnly) {
    const std::string other = "[Greeter]\nLockOnResume=false\nTheme=dark\n";
    EXPECT_EQ(KdeLockOnResume(other), std::nullopt);
    EXPECT_EQ(KdeLockOnResume("[Daemon]\nAutolock=true\n LockOnResume = False \n"), false);
    EXPECT_EQ(KdeLockOnResume("[Daemon]\nLockOnResume=true\n"), true);

    // Added to an existing group, after its last entry and before the blank line that ends it.
    EXPECT_EQ(WithKdeLockOnResume("[Daemon]\nAutolock=true\n\n" + other, false),
              "[Daemon]\nAutolock=true\nLockOnResume=false\n\n" + other);
    // Replaced where it stands.
    EXPECT_EQ(WithKdeLockOnResume("[Daemon]\nLockOnResume=false\nTimeout=5\n", true),
              "[Daemon]\nLockOnResume=true\nTimeout=5\n");
    // A file without the group gets it at the end; the other group's same-named key stays.
    EXPECT_EQ(WithKdeLockOnResume(other, true), other + "\n[Daemon]\nLockOnResume=true\n");
    EXPECT_EQ(WithKdeLockOnResume("", false), "[Daemon]\nLockOnResume=false\n");
}

TEST(KdeLockerFile, TheSettingFollowsTheFileInTheConfigFolder) {
    test::TempFolder home;
    const LockEnvironment environment{"KDE", home.file("config"), ScriptedRunner().runner()};
    const LinuxResumePasswordSetting setting([&] { return environment; });
    // The locker's default, with no file yet, is to lock.
    EXPECT_TRUE(setting.passwordRequired());

    auto control = FindResumeLockControl(environment);
    ASSERT_TRUE(control);
    ASSERT_TRUE(control->setLocksOnResume(false));
    EXPECT_EQ(test::ReadFileBytes(home.file("config/kscreenlockerrc")), "[Daemon]\nLockOnResume=false\n");
    EXPECT_FALSE(setting.passwordRequired());

    test::WriteFileBytes(home.file("config/kscreenlockerrc"), "[Daemon]\nTimeout=5\nLockOnResume=false\n");
    ASSERT_TRUE(control->setLocksOnResume(true));
    EXPECT_EQ(test::ReadFileBytes(home.file("config/kscreenlockerrc")),
              "[Daemon]\nTimeout=5\nLockOnResume=true\n");
    EXPECT_TRUE(setting.passwordRequired());
}

TEST(GnomeSwitch, RealGsettingsOnItsFileBackendKeepsTheValue) {
    test::TempFolder config;
    test::ScopedEnv backend("GSETTINGS_BACKEND", "keyfile");
    test::ScopedEnv configHome("XDG_CONFIG_HOME", config.path().c_str());
    LockEnvironment environment = ProcessLockEnvironment();
    environment.currentDesktop = "GNOME";
    const LinuxResumePasswordSetting setting([&] { return environment; });
    EXPECT_TRUE(setting.passwordRequired()); // the schema's default locks

    auto control = FindResumeLockControl(environment);
    ASSERT_TRUE(control);
    EXPECT_EQ(control->describe(), "GSettings org.gnome.desktop.screensaver lock-enabled");
    ASSERT_TRUE(control->setLocksOnResume(false));
    EXPECT_NE(test::ReadFileBytes(config.file("glib-2.0/settings/keyfile")).find("lock-enabled=false"),
              std::string::npos);
    EXPECT_FALSE(setting.passwordRequired());
    ASSERT_TRUE(control->setLocksOnResume(true));
    EXPECT_TRUE(setting.passwordRequired());
}

TEST(GnomeSwitch, TheSuspendOnlyKeyWinsWhereTheSchemaHasItAndNoSchemaMeansNoSwitch) {
    ScriptedRunner run;
    run.answer({"gsettings", "list-keys", "org.gnome.desktop.screensaver"}, 0,
               "lock-delay\nlock-enabled\nubuntu-lock-on-suspend\n");
    run.answer({"gsettings", "get", "org.gnome.desktop.screensaver", "ubuntu-lock-on-suspend"}, 0, "false\n");
    run.answer({"gsettings", "set", "org.gnome.desktop.screensaver", "ubuntu-lock-on-suspend", "true"}, 0);
    auto control = FindResumeLockControl({"ubuntu:GNOME", "", run.runner()});
    ASSERT_TRUE(control);
    EXPECT_EQ(control->locksOnResume(), false);
    EXPECT_TRUE(control->setLocksOnResume(true));

    ScriptedRunner none;
    none.answer({"gsettings", "list-keys", "org.gnome.desktop.screensaver"}, 1);
    EXPECT_FALSE(FindResumeLockControl({"GNOME", "", none.runner()}));
    EXPECT_FALSE(LinuxResumePasswordSetting([&] {
                     return LockEnvironment{"GNOME", "", none.runner()};
                 }).passwordRequired());
}

TEST(XfceSwitch, PowerManagerPropertyAndLightLockerAreChangedTogether) {
    const Argv get = {"xfconf-query", "-c", "xfce4-power-manager", "-p",
                      "/xfce4-power-manager/lock-screen-suspend-hibernate"};
    const Argv list = {"xfconf-query", "-c", "xfce4-power-manager", "-l"};
    ScriptedRunner run;
    run.answer({"xfconf-query", "--version"}, 0, "xfconf-query 4.18.0\n");
    run.answer(get, 1); // never set
    run.answer(list, 0, "/xfce4-power-manager/dpms-enabled\n");
    run.answer({"gsettings", "list-keys", "apps.light-locker"}, 0, "late-locking\nlock-on-suspend\n");
    run.answer({"gsettings", "get", "apps.light-locker", "lock-on-suspend"}, 0, "false\n");
    run.answer({"xfconf-query", "-c", "xfce4-power-manager", "-p",
                "/xfce4-power-manager/lock-screen-suspend-hibernate", "-n", "-t", "bool", "-s", "false"},
               0);
    run.answer({"gsettings", "set", "apps.light-locker", "lock-on-suspend", "false"}, 0);

    auto control = FindResumeLockControl({"XFCE", "", run.runner()});
    ASSERT_TRUE(control);
    // An unset property holds the power manager's default, which locks; one locking switch is enough.
    EXPECT_EQ(control->locksOnResume(), true);
    run.calls.clear();
    EXPECT_TRUE(control->setLocksOnResume(false));
    EXPECT_EQ(run.calls.size(), 2u);

    // Without a reachable channel nothing is known of the property; light-locker alone answers.
    run.answers.erase(list);
    EXPECT_EQ(control->locksOnResume(), false);
    // A switch that refuses the change makes the whole change fail.
    run.answers.erase({"gsettings", "set", "apps.light-locker", "lock-on-suspend", "false"});
    EXPECT_FALSE(control->setLocksOnResume(false));
}

TEST(OtherDesktops, OnlyAnInstalledLightLockerGivesASwitch) {
    ScriptedRunner with;
    with.answer({"gsettings", "list-keys", "apps.light-locker"}, 0, "lock-on-suspend\n");
    with.answer({"gsettings", "get", "apps.light-locker", "lock-on-suspend"}, 0, "true\n");
    EXPECT_TRUE(LinuxResumePasswordSetting([&] {
                    return LockEnvironment{"LXDE", "", with.runner()};
                }).passwordRequired());

    ScriptedRunner without;
    EXPECT_FALSE(FindResumeLockControl({"LXDE", "", without.runner()}));
    EXPECT_FALSE(FindResumeLockControl({"XFCE", "", without.runner()}));
}

} // namespace
} // namespace orvanta::platform::linux_backend
