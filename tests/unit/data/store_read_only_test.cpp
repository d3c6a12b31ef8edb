#include "data/error.h"
#include "data/task_store.h"
#include "platform/fake/fake_clock.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// A read-only database on a system of file modes: root may write any file, so the write is tried by an
// unprivileged child process.
namespace orvanta::data {
namespace {

std::string MessageOf(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const Error& e) {
        return e.what();
    }
    return "(no error)";
}

// Runs fn in a child process without root's right to write any file, and returns the message it raised.
std::string MessageAsUnprivilegedUser(const std::function<void()>& fn) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return "(pipe failed)";
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipeFds[0]);
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
        const std::string message = MessageOf(fn);
        (void)!write(pipeFds[1], message.data(), message.size());
        _exit(0);
    }
    close(pipeFds[1]);
    std::string message;
    char buffer[512];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        message.append(buffer, n);
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return message;
}

class StoreReadOnlyTest : public ::testing::Test {
  protected:
    test::TempFolder folder;
    platform::fake::FakeClock clock;
};

TEST_F(StoreReadOnlyTest, AReadOnlyFile) {
    chmod(folder.path().c_str(), 0755);
    const std::string path = folder.file("task.db");
    TaskStore store(path, clock);
    store.EnsureTaskTable();
    chmod(path.c_str(), 0444);
    EXPECT_EQ(
        MessageAsUnprivilegedUser([&] { store.DeleteTask("1"); }),
        "Error executing SQL statement.\rError [8]: Attempt to write a readonly database.\r\"delete from "
        "tasklist where id=1; \": attempt to write a readonly database");
    // Reading a read-only file is fine.
    EXPECT_EQ(MessageAsUnprivilegedUser([&] { store.ReadTimedTasks(false); }), "(no error)");
}

} // namespace
} // namespace orvanta::data
