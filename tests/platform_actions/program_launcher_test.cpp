#include "actions/program_actions.h"
#include "platform/fake/fake_alert_sound.h"
#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_system_paths.h"
#include "platform/linux/actions/linux_process_control.h"
#include "platform/linux/actions/linux_program_launcher.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/temp_folder.h"

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <iostream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace orvanta::platform::linux_backend {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

// A private PATH holding stand-ins for the programs the launcher looks for. Each stand-in is the marker
// under another name: it writes the arguments it got to out/<name>.argv.
class StandIns {
  public:
    StandIns() {
        fs::create_directory(bin());
        fs::create_directory(out());
    }

    std::string bin() const { return folder_.file("bin"); }
    std::string out() const { return folder_.file("out"); }
    std::string file(const std::string& name) const { return folder_.file(name); }

    std::string add(const std::string& name) {
        const std::string path = bin() + "/" + name;
        fs::create_symlink(ORVANTA_TEST_MARKER, path);
        return path;
    }

    // What the program started as `name` got, once it has written it; nullopt when it never ran.
    std::optional<Args> argumentsOf(const std::string& name) const {
        const std::string path = out() + "/" + name + ".argv";
        // Started programs run on their own; give them time on a loaded machine.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!fs::exists(path)) {
            if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        const std::string bytes = test::ReadFileBytes(path);
        Args arguments;
        for (std::size_t start = 0; start < bytes.size();) {
            const auto end = bytes.find('\0', start);
            arguments.push_back(bytes.substr(start, end - start));
            start = end + 1;
        }
        return arguments;
    }

    std::string sessionOf(const std::string& name) const {
        return test::ReadFileBytes(out() + "/" + name + ".session");
    }

  private:
    test::TempFolder folder_;
};

class LinuxProgramLauncherTest : public ::testing::Test {
  protected:
    StandIns standIns;
    test::ScopedEnv path{"PATH", standIns.bin().c_str()};
    test::ScopedEnv markerFolder{"ORVANTA_MARKER_DIR", standIns.out().c_str()};
    LinuxProgramLauncher launcher;
    LinuxProcessControl processes;
    fake::FakeAlertSound sound;
    fake::FakeClock clock;
    fake::FakeSystemPaths paths{standIns.file(""), standIns.file("orvanta")};
    actions::PrintingMessageWindow messages{std::cout};
    actions::ProgramActions programs{{launcher, processes, sound, messages, clock, paths}, {}};
};

TEST_F(LinuxProgramLauncherTest, ParametersReachTheProgramAsExactArguments) {
    const std::string marker = standIns.add("marker");
    programs.LaunchProgram(marker + " | \"a b\" ; rm -rf ~ $HOME `id` 'x' \\\"q\\\" *");
    EXPECT_EQ(standIns.argumentsOf("marker"),
              (Args{marker, "a b", ";", "rm", "-rf", "~", "$HOME", "`id`", "'x'", "\"q\"", "*"}));
    EXPECT_NE(standIns.sessionOf("marker"), std::to_string(getsid(0))) << "runs in a session of its own";
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "no child of ours is left to reap";
    EXPECT_EQ(errno, ECHILD);
}

TEST_F(LinuxProgramLauncherTest, ABareNameIsFoundOnPathAndAFileParameterStaysWhole) {
    standIns.add("marker");
    const std::string notes = standIns.file("my notes; (draft).txt");
    test::WriteFileBytes(notes, "x");
    programs.LaunchProgram("marker|" + notes);
    EXPECT_EQ(standIns.argumentsOf("marker"), (Args{"marker", notes}));
}

TEST_F(LinuxProgramLauncherTest, DocumentsAndAddressesGoToXdgOpen) {
    standIns.add("xdg-open");
    standIns.add("gio");
    const std::string report = standIns.file("Report 2025.pdf");
    test::WriteFileBytes(report, "%PDF");
    programs.OpenDocument(report);
    EXPECT_EQ(standIns.argumentsOf("xdg-open"), (Args{"xdg-open", report}));

    fs::remove(standIns.out() + "/xdg-open.argv");
    programs.OpenWebAddress("https://example.org/a b?c=d&e");
    EXPECT_EQ(standIns.argumentsOf("xdg-open"), (Args{"xdg-open", "https://example.org/a b?c=d&e"}));

    fs::remove(standIns.out() + "/xdg-open.argv");
    EXPECT_TRUE(launcher.openDocument("-rf"));
    EXPECT_EQ(standIns.argumentsOf("xdg-open"), (Args{"xdg-open", "./-rf"})) << "never read as an option";

    fs::remove(standIns.out() + "/xdg-open.argv");
    EXPECT_TRUE(launcher.startProgram({report, "", {}})) << "a document named as the program";
    EXPECT_EQ(standIns.argumentsOf("xdg-open"), (Args{"xdg-open", report}));
}

TEST_F(LinuxProgramLauncherTest, ADocumentWithTheExecuteBitIsOpenedAsADocument) {
    standIns.add("xdg-open");
    // Every file on a FAT or NTFS mount carries the execute bit; this one is no program.
    const std::string letter = standIns.file("Letter.odt");
    test::WriteFileBytes(letter, std::string("PK\x03\x04 not a program", 24));
    fs::permissions(letter, fs::perms::owner_all);
    EXPECT_TRUE(launcher.startProgram({letter, "", {}}));
    EXPECT_EQ(standIns.argumentsOf("xdg-open"), (Args{"xdg-open", letter}));

    // A program that exists but cannot start for another reason is not handed to the opener.
    fs::remove(standIns.out() + "/xdg-open.argv");
    const std::string broken = standIns.file("broken");
    test::WriteFileBytes(broken, "#!/nonexistent/interpreter\n");
    fs::permissions(broken, fs::perms::owner_all);
    EXPECT_FALSE(launcher.startProgram({broken, "", {}}));
    EXPECT_FALSE(fs::exists(standIns.out() + "/xdg-open.argv"));
}

TEST_F(LinuxProgramLauncherTest, GioOpensWhatXdgOpenCouldNot) {
    standIns.add("xdg-open");
    standIns.add("gio");
    test::ScopedEnv failing("ORVANTA_MARKER_FAIL", "xdg-open");
    EXPECT_TRUE(launcher.openAddress("https://example.org/"));
    EXPECT_EQ(standIns.argumentsOf("xdg-open"), (Args{"xdg-open", "https://example.org/"}));
    EXPECT_EQ(standIns.argumentsOf("gio"), (Args{"gio", "open", "https://example.org/"}));
}

TEST_F(LinuxProgramLauncherTest, GioOpensWhenThereIsNoXdgOpen) {
    standIns.add("gio");
    programs.OpenWebAddress("https://example.org/");
    EXPECT_EQ(standIns.argumentsOf("gio"), (Args{"gio", "open", "https://example.org/"}));
    EXPECT_TRUE(launcher.openAddressWithProtocolHandler("mailto:me@example.org"));
}

TEST_F(LinuxProgramLauncherTest, NothingFoundMeansNothingStarted) {
    EXPECT_FALSE(launcher.startProgram({"no-such-program-here", "", {}}));
    EXPECT_FALSE(launcher.startProgram({standIns.file("absent"), "", {}}));
    EXPECT_FALSE(launcher.openDocument(standIns.file("x"))) << "no opener on PATH";
    EXPECT_FALSE(launcher.openAddressWithProtocolHandler("https://example.org/"));
    EXPECT_FALSE(launcher.runElevated({"/bin/true", "", {}})) << "no pkexec on PATH";
    EXPECT_FALSE(launcher.openPowerSettings());
}

TEST_F(LinuxProgramLauncherTest, ElevationGoesThroughPkexecWithTheFullProgramPath) {
    standIns.add("pkexec");
    const std::string tool = standIns.add("tool");
    programs.RunElevated("tool", "--set \"a b\"");
    EXPECT_EQ(standIns.argumentsOf("pkexec"), (Args{"pkexec", tool, "--set", "a b"}));
}

TEST_F(LinuxProgramLauncherTest, PowerSettingsAreTheFirstDesktopProgramFound) {
    standIns.add("mate-power-preferences");
    standIns.add("systemsettings");
    EXPECT_TRUE(launcher.openPowerSettings());
    EXPECT_EQ(standIns.argumentsOf("systemsettings"),
              (Args{"systemsettings", "kcm_powerdevilprofilesconfig"}));
}

} // namespace
} // namespace orvanta::platform::linux_backend
