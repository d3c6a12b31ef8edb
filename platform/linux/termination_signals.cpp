#include "platform/linux/termination_signals.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace orvanta::platform::linux_backend {

namespace {

std::atomic<int> writeEnd{-1};

// Only async-signal-safe calls here: the byte tells the watcher which signal came.
extern "C" void OnTerminationSignal(int signal) {
    const int saved = errno;
    const int fd = writeEnd.load();
    const char byte = static_cast<char>(signal);
    if (fd >= 0) (void)!write(fd, &byte, 1);
    errno = saved;
}

void Handle(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // SA_RESETHAND: a second signal meets the default action and ends a program that hangs in its end.
    action.sa_flags = handler == SIG_DFL ? 0 : SA_RESTART | SA_RESETHAND;
    sigaction(signal, &action, nullptr);
}

} // namespace

TerminationSignals::TerminationSignals(std::function<void()> onRequest) : onRequest_(std::move(onRequest)) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return;
    readEnd_ = fds[0];
    writeEnd.store(fds[1]);
    watcher_ = std::thread([this] {
        char byte = 0;
        for (;;) {
            const ssize_t got = read(readEnd_, &byte, 1);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0 || byte == 0) return; // the end of this object
            if (onRequest_) onRequest_();
            return;
        }
    });
    Handle(SIGTERM, OnTerminationSignal);
    Handle(SIGINT, OnTerminationSignal);
}

TerminationSignals::~TerminationSignals() {
    if (readEnd_ < 0) return;
    Handle(SIGTERM, SIG_DFL);
    Handle(SIGINT, SIG_DFL);
    const int fd = writeEnd.exchange(-1);
    const char stop = 0;
    (void)!write(fd, &stop, 1);
    if (watcher_.joinable()) watcher_.join();
    close(fd);
    close(readEnd_);
}

} // namespace orvanta::platform::linux_backend
