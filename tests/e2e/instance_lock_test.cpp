#include "platform/linux/linux_single_instance.h"
#include "tests/support/temp_folder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orvanta::platform::linux_backend {
namespace {

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

} // namespace
} // namespace orvanta::platform::linux_backend
