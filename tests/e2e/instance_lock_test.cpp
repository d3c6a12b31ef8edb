#include "platform/linux/linux_single_instance.h"
#include "tests/support/temp_folder.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orvanta::platform::linux_backend {
namespace {

// Only root can hand a file to another user; elsewhere the cases that need it are left out.
bool GiveToAnotherUser(const std::string& path) {
    return chown(path.c_str(), 4242, 4242) == 0;
}

TEST(InstanceLock, TheFirstClaimHoldsUntilItsOwnerGoes) {
    test::TempFolder runtime;
    auto first = std::make_unique<LinuxSingleInstance>(runtime.path(), "Sched");
    LinuxSingleInstance second(runtime.path(), "Sched");
    EXPECT_TRUE(first->claim());
    EXPECT_TRUE(first->claim());
    EXPECT_FALSE(second.claim());
    EXPECT_EQ(second.handOverAddress(), runtime.path() + "/Sched");
    first.reset();
    EXPECT_TRUE(second.claim());
}

TEST(InstanceLock, AStartedProgramDoesNotInheritTheClaim) {
    test::TempFolder runtime;
    pid_t child = -1;
    {
        LinuxSingleInstance owner(runtime.path(), "Sched");
        ASSERT_TRUE(owner.claim());
        // A child that outlives the owner, as a program a task starts would. The pipe closes when the
        // child has replaced itself with the program, the moment its inherited descriptors are settled.
        int started[2];
        ASSERT_EQ(pipe2(started, O_CLOEXEC), 0);
        child = fork();
        if (child == 0) {
            execl("/bin/sleep", "sleep", "1", static_cast<char*>(nullptr));
            _exit(127);
        }
        ASSERT_GT(child, 0);
        close(started[1]);
        char byte;
        while (read(started[0], &byte, 1) > 0) {
        }
        close(started[0]);
    }
    LinuxSingleInstance next(runtime.path(), "Sched");
    EXPECT_TRUE(next.claim());
    waitpid(child, nullptr, 0);
}

// A copy killed at any moment of its claim leaves nothing that stops the next start, and two copies
// never both hold it.
TEST(InstanceLock, KilledOwnersNeverBlockTheNextStartNorShareTheClaim) {
    test::TempFolder runtime;
    for (int round = 0; round < 100; ++round) {
        int ready[2];
        ASSERT_EQ(pipe2(ready, O_CLOEXEC), 0);
        pid_t owner = fork();
        if (owner == 0) {
            LinuxSingleInstance claim(runtime.path(), "Sched");
            const char answer = claim.claim() ? '1' : '0';
            (void)!write(ready[1], &answer, 1);
            pause();
            _exit(0);
        }
        ASSERT_GT(owner, 0);
        close(ready[1]);
        // Killed half the time before it answered, half the time while holding the claim.
        if (round % 2 == 0) {
            char answer = 0;
            ASSERT_EQ(read(ready[0], &answer, 1), 1);
            ASSERT_EQ(answer, '1') << round;
            LinuxSingleInstance rival(runtime.path(), "Sched");
            EXPECT_FALSE(rival.claim()) << round;
            EXPECT_EQ(rival.claimFailure(), "") << round;
        }
        kill(owner, SIGKILL);
        waitpid(owner, nullptr, 0);
        close(ready[0]);
        LinuxSingleInstance next(runtime.path(), "Sched");
        EXPECT_TRUE(next.claim()) << round << ": " << next.claimFailure();
    }
}

// Each of these once let every copy think it was first, so every task ran once per copy.

TEST(InstanceLockFailsClosed, AFolderThatCannotHoldTheLockRefusesEveryCopy) {
    test::TempFolder temp;
    const std::string file = temp.file("not-a-folder");
    test::WriteFileBytes(file, "x");
    const std::string otherUsers = temp.file("other-user");
    ASSERT_EQ(mkdir(otherUsers.c_str(), 0700), 0);
    const bool foreign = GiveToAnotherUser(otherUsers);
    const std::string openToAll = temp.file("open");
    ASSERT_EQ(mkdir(openToAll.c_str(), 0700), 0);
    ASSERT_EQ(chmod(openToAll.c_str(), 0777), 0);
    const struct {
        std::string folder;
        const char* why;
    } cases[] = {{file, "a file"},
                 {temp.file("missing"), "missing"},
                 {otherUsers, "another user's"},
                 {openToAll, "writable by all"}};
    for (const auto& c : cases) {
        if (c.folder == otherUsers && !foreign) continue;
        LinuxSingleInstance first(c.folder, "Sched");
        LinuxSingleInstance second(c.folder, "Sched");
        EXPECT_FALSE(first.claim()) << c.why;
        EXPECT_FALSE(second.claim()) << c.why;
        EXPECT_NE(first.claimFailure().find(c.folder), std::string::npos) << first.claimFailure();
    }
}

TEST(InstanceLockFailsClosed, ALockThatIsNotOurPlainFileIsRefused) {
    test::TempFolder runtime;
    LinuxSingleInstance viaLink(runtime.path(), "Link");
    ASSERT_EQ(symlink(runtime.file("elsewhere").c_str(), viaLink.lockPath().c_str()), 0);
    EXPECT_FALSE(viaLink.claim());
    EXPECT_NE(viaLink.claimFailure(), "");

    LinuxSingleInstance planted(runtime.path(), "Planted");
    test::WriteFileBytes(planted.lockPath(), "");
    if (GiveToAnotherUser(planted.lockPath())) {
        EXPECT_FALSE(planted.claim());
        EXPECT_NE(planted.claimFailure(), "");
    }

    LinuxSingleInstance fine(runtime.path(), "Fine");
    EXPECT_TRUE(fine.claim());
    EXPECT_EQ(fine.claimFailure(), "");
    LinuxSingleInstance later(runtime.path(), "Fine");
    EXPECT_FALSE(later.claim());
    EXPECT_EQ(later.claimFailure(), "") << "another copy holds it: hand over, not an error";
}

TEST(InstanceLockFailsClosed, TheSharedFallbackFolderIsMadePrivateOrRefused) {
    test::TempFolder shared;
    using Folder = LinuxSingleInstance::Folder;
    const std::string made = shared.file("orvanta-made");
    LinuxSingleInstance fresh(made, "Sched", Folder::Fallback);
    EXPECT_TRUE(fresh.claim()) << fresh.claimFailure();
    struct stat st {};
    ASSERT_EQ(lstat(made.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    const std::string foreign = shared.file("orvanta-foreign");
    ASSERT_EQ(mkdir(foreign.c_str(), 0700), 0);
    const bool given = GiveToAnotherUser(foreign);
    const std::string loose = shared.file("orvanta-loose");
    ASSERT_EQ(mkdir(loose.c_str(), 0700), 0);
    ASSERT_EQ(chmod(loose.c_str(), 0755), 0);
    const std::string linked = shared.file("orvanta-link");
    ASSERT_EQ(symlink(made.c_str(), linked.c_str()), 0);
    for (const std::string& folder : {foreign, loose, linked}) {
        if (folder == foreign && !given) continue;
        LinuxSingleInstance instance(folder, "Other", Folder::Fallback);
        EXPECT_FALSE(instance.claim()) << folder;
        EXPECT_NE(instance.claimFailure(), "") << folder;
    }
}

} // namespace
} // namespace orvanta::platform::linux_backend
