#include "platform/linux/actions/detached_spawn.h"

#include "platform/linux/unique_fd.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orvanta::platform::linux_backend {
namespace {

// argv for execve, built before fork: the child may not allocate.
class ArgumentVector {
  public:
    explicit ArgumentVector(const std::vector<std::string>& arguments) {
        for (const std::string& argument : arguments)
            pointers_.push_back(const_cast<char*>(argument.c_str()));
        pointers_.push_back(nullptr);
    }
    char* const* get() const { return pointers_.data(); }

  private:
    std::vector<char*> pointers_;
};

void CloseDescriptorsFrom(unsigned first, unsigned last) {
    if (first > last) return;
    if (close_range(first, last, 0) == 0) return;
    // Kernels before 5.9 lack close_range; descriptors past 1024 are rare enough to leave.
    for (unsigned fd = first; fd <= last && fd < 1024; ++fd)
        close(static_cast<int>(fd));
}

// What a child needs before it runs something else: empty input, default signal handling (a handler
// or an ignored SIGPIPE of ours must not carry over), no blocked signals, and none of our descriptors
// but the one named (the start report).
void PrepareChild(int nullInput, int keep) {
    if (nullInput >= 0) dup2(nullInput, STDIN_FILENO);
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    for (int sig = 1; sig < NSIG; ++sig)
        sigaction(sig, &standard, nullptr);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    if (keep < 0) {
        CloseDescriptorsFrom(3, ~0u);
    } else {
        CloseDescriptorsFrom(3, static_cast<unsigned>(keep) - 1);
        CloseDescriptorsFrom(static_cast<unsigned>(keep) + 1, ~0u);
    }
}

void ReportStartError(int fd, int error) {
    if (fd >= 0) {
        [[maybe_unused]] const ssize_t written = write(fd, &error, sizeof error);
    }
}

// The exit status of a child that could not run its program; the start report has said so already.
constexpr int kCouldNotStart = 127;

[[noreturn]] void runOrReport(const char* executable, char* const* argv, int reportFd) {
    execve(executable, argv, environ);
    ReportStartError(reportFd, errno);
    _exit(kCouldNotStart);
}

// A descriptor above the standard three, so a process started with some of those closed cannot have
// its report pipe or empty input land on them and be overwritten in the child.
UniqueFd AboveStandard(int fd) {
    UniqueFd original(fd);
    if (fd < 0) return original;
    return UniqueFd(fcntl(fd, F_DUPFD_CLOEXEC, 3));
}

// The process that owns the started program when a fallback may follow: it waits for the program and
// runs the fallback in its place if the program failed.
[[noreturn]] void watchWithFallback(const char* executable, char* const* argv, const char* fallbackExecutable,
                                    char* const* fallbackArgv, int nullInput, int reportFd) {
    PrepareChild(nullInput, reportFd);
    const pid_t program = fork();
    if (program == 0) runOrReport(executable, argv, reportFd);
    if (program < 0) {
        ReportStartError(reportFd, errno);
        _exit(1);
    }
    close(reportFd);
    int status = 0;
    while (waitpid(program, &status, 0) < 0 && errno == EINTR) {
    }
    // A program that could not even start was reported as not started: the caller decides what next.
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0 && WEXITSTATUS(status) != kCouldNotStart) {
        execve(fallbackExecutable, fallbackArgv, environ);
        _exit(kCouldNotStart);
    }
    _exit(0);
}

} // namespace

bool SpawnDetached(const SpawnPlan& plan, const SpawnPlan* fallback, int* startError) {
    if (plan.executable.empty() || plan.arguments.empty()) return false;
    if (fallback && (fallback->executable.empty() || fallback->arguments.empty())) fallback = nullptr;
    const ArgumentVector argv(plan.arguments);
    const std::vector<std::string> noArguments;
    const ArgumentVector fallbackArgv(fallback ? fallback->arguments : noArguments);
    const UniqueFd nullInput = AboveStandard(open("/dev/null", O_RDONLY | O_CLOEXEC));
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return false;
    const UniqueFd reportRead(ends[0]);
    UniqueFd reportWrite = AboveStandard(ends[1]);
    if (!reportWrite) return false;

    // Two forks: the intermediate child starts a new session and ends at once, so the program is
    // orphaned and adopted by the system, which reaps it.
    const pid_t middle = fork();
    if (middle < 0) return false;
    if (middle == 0) {
        setsid();
        const pid_t owner = fork();
        if (owner != 0) {
            if (owner < 0) ReportStartError(reportWrite.get(), errno);
            _exit(owner < 0 ? 1 : 0);
        }
        if (fallback)
            watchWithFallback(plan.executable.c_str(), argv.get(), fallback->executable.c_str(),
                              fallbackArgv.get(), nullInput.get(), reportWrite.get());
        PrepareChild(nullInput.get(), reportWrite.get());
        runOrReport(plan.executable.c_str(), argv.get(), reportWrite.get());
    }
    reportWrite.reset();
    while (waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
    }
    // The report's every write end closes when the program has been exec'd (close-on-exec) or its
    // starter has given up; an error number arrives first in the second case.
    int error = 0;
    ssize_t got;
    while ((got = read(reportRead.get(), &error, sizeof error)) < 0 && errno == EINTR) {
    }
    if (got != 0 && startError) *startError = got == sizeof error ? error : EIO;
    return got == 0;
}

} // namespace orvanta::platform::linux_backend
