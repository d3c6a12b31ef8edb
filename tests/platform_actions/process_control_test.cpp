#include "actions/process_matching.h"
#include "platform/linux/actions/linux_process_control.h"
#include "tests/support/temp_folder.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace orvanta::platform::linux_backend {
namespace {

// Copies of the sleeper under chosen file names, started as our children so the test can see how they
// ended. Whatever is still running at the end is killed.
class Sleepers {
  public:
    explicit Sleepers(const test::TempFolder& folder) : folder_(folder) {}
    ~Sleepers() {
        for (pid_t pid : running_)
            kill(pid, SIGKILL);
        for (pid_t pid : running_)
            waitpid(pid, nullptr, 0);
    }

    std::string install(const std::string& name) {
        const std::string path = folder_.file(name);
        std::filesystem::copy_file(ORVANTA_TEST_SLEEPER, path);
        return path;
    }

    // posix_spawn returns once the child runs the new program, so /proc already shows it.
    pid_t start(const std::string& path, const std::string& argv0) {
        const char* argv[] = {argv0.c_str(), nullptr};
        pid_t pid = -1;
        if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
            return -1;
        running_.push_back(pid);
        return pid;
    }

    // How the process ended, waiting for it: the signal that killed it, or 0.
    int endingSignal(pid_t pid) {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        std::erase(running_, pid);
        return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    }

    bool stillRunning(pid_t pid) { return waitpid(pid, nullptr, WNOHANG) == 0; }

  private:
    const test::TempFolder& folder_;
    std::vector<pid_t> running_;
};

TEST(LinuxProcessControl, KillingByNameEndsEveryCopyAndNothingElse) {
    test::TempFolder folder;
    Sleepers sleepers(folder);
    const std::string target = sleepers.install("OrvSleeperTarget");
    const std::string other = sleepers.install("OrvSleeperOther");
    const pid_t first = sleepers.start(target, "OrvSleeperTarget");
    const pid_t second = sleepers.start(target, target);
    const pid_t renamed = sleepers.start(target, "started-under-another-name");
    const pid_t bystander = sleepers.start(other, "OrvSleeperOther");

    LinuxProcessControl control;
    EXPECT_TRUE(actions::KillProcessesByName(control, "orvsleepertarget"));
    EXPECT_EQ(sleepers.endingSignal(first), SIGKILL);
    EXPECT_EQ(sleepers.endingSignal(second), SIGKILL);
    EXPECT_EQ(sleepers.endingSignal(renamed), SIGKILL)
        << "the program file decides, not the name it was given";
    EXPECT_TRUE(sleepers.stillRunning(bystander));
}

TEST(LinuxProcessControl, AFullPathEndsOnlyTheProgramAtThatPath) {
    test::TempFolder folder;
    Sleepers sleepers(folder);
    std::filesystem::create_directory(folder.file("elsewhere"));
    const std::string here = sleepers.install("OrvSleeperTwin");
    const std::string elsewhere = sleepers.install("elsewhere/OrvSleeperTwin");
    const pid_t atHere = sleepers.start(here, "OrvSleeperTwin");
    const pid_t atElsewhere = sleepers.start(elsewhere, "OrvSleeperTwin");

    LinuxProcessControl control;
    EXPECT_TRUE(actions::KillProcessesByName(control, here));
    EXPECT_EQ(sleepers.endingSignal(atHere), SIGKILL);
    EXPECT_TRUE(sleepers.stillRunning(atElsewhere));
}

TEST(LinuxProcessControl, NeitherTheNameAProcessWasStartedUnderNorACutNameEndsIt) {
    test::TempFolder folder;
    Sleepers sleepers(folder);
    const std::string longProgram = sleepers.install("averyveryverylongname");
    const std::string plain = sleepers.install("OrvSleeperPlain");
    const pid_t longOne = sleepers.start(longProgram, "averyveryverylongname");
    // As "exec -a OrvDisguise" starts it: the program is the plain sleeper.
    const pid_t disguised = sleepers.start(plain, "OrvDisguise");

    LinuxProcessControl control;
    EXPECT_FALSE(actions::KillProcessesByName(control, "averyveryverylo")) << "the kernel's cut name";
    EXPECT_FALSE(actions::KillProcessesByName(control, "OrvDisguise")) << "a self-chosen name";
    EXPECT_TRUE(sleepers.stillRunning(longOne));
    EXPECT_TRUE(sleepers.stillRunning(disguised));
    EXPECT_TRUE(actions::KillProcessesByName(control, "averyveryverylongname"));
    EXPECT_EQ(sleepers.endingSignal(longOne), SIGKILL);
    EXPECT_TRUE(actions::KillProcessesByName(control, "OrvSleeperPlain"));
    EXPECT_EQ(sleepers.endingSignal(disguised), SIGKILL);
}

TEST(LinuxProcessControl, ListsThisProcessByItsProgramFile) {
    LinuxProcessControl control;
    const auto processes = control.listProcesses();
    ASSERT_TRUE(processes);
    const auto self = std::find_if(processes->begin(), processes->end(),
                                   [](const ProcessEntry& p) { return p.id == getpid(); });
    ASSERT_NE(self, processes->end());
    const std::string exe = std::filesystem::read_symlink("/proc/self/exe").string();
    EXPECT_EQ(self->imagePath, exe);
    EXPECT_EQ(self->imageName, std::filesystem::path(exe).filename().string());
    EXPECT_EQ(self->shortName, self->imageName.substr(0, 15));
    EXPECT_FALSE(self->firstArgument.empty());
    EXPECT_FALSE(control.killProcess(0)) << "0 would signal our whole process group";
    EXPECT_FALSE(LinuxProcessControl("/nonexistent-proc").listProcesses());
}

TEST(LinuxProcessControl, ProcFileDetails) {
    EXPECT_EQ(ProgramPathFromExeLink("/usr/bin/app (deleted)"), "/usr/bin/app");
    EXPECT_EQ(ProgramPathFromExeLink("/usr/bin/app"), "/usr/bin/app");
    // Fields after the name: state ppid pgrp session tty_nr tpgid flags ...
    EXPECT_TRUE(IsKernelThreadStat("2 (kthreadd) S 0 0 0 0 -1 2129984 0 0"));
    EXPECT_FALSE(IsKernelThreadStat("812 (a) b) (c) S 1 812 812 0 -1 4194560 0 0"));
    EXPECT_TRUE(IsKernelThreadStat("9 (x (y) z) I 2 0 0 0 -1 69238880 0"));
    EXPECT_FALSE(IsKernelThreadStat("garbage"));
}

} // namespace
} // namespace orvanta::platform::linux_backend
