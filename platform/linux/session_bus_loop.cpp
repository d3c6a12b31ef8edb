#include "platform/linux/session_bus_loop.h"

#include "platform/linux/actions/bus_requests.h"

#include <cerrno>
#include <ctime>
#include <future>
#include <memory>
#include <poll.h>
#include <sys/eventfd.h>
#include <systemd/sd-bus.h>

namespace orvanta::platform::linux_backend {

namespace {

// Calls of the loop's own answer within this, so that a hung peer does not stall the watch for long.
constexpr auto kCallTimeout = std::chrono::seconds(2);
// The extra source is also looked at this often, in case its news went by unnoticed.
constexpr int kExtraCheckMilliseconds = 3000;

int PollTimeout(sd_bus* bus) {
    std::uint64_t until = 0;
    if (!bus || sd_bus_get_timeout(bus, &until) < 0 || until == UINT64_MAX) return -1;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::uint64_t nowUsec = std::uint64_t(now.tv_sec) * 1'000'000 + std::uint64_t(now.tv_nsec) / 1000;
    if (until <= nowUsec) return 0;
    return int((until - nowUsec + 999) / 1000);
}

} // namespace

SessionBusLoop::SessionBusLoop(ExtraSource extra)
    : bus_(OpenSessionBus(kCallTimeout)), extra_(std::move(extra)),
      wake_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    thread_ = std::thread([this] { Run(); });
}

SessionBusLoop::~SessionBusLoop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(wake_.get(), &one, sizeof one);
    thread_.join();
}

void SessionBusLoop::Post(std::function<void(sd_bus*)> job) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return;
        jobs_.push_back(std::move(job));
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(wake_.get(), &one, sizeof one);
}

bool SessionBusLoop::RunAndWait(std::function<void(sd_bus*)> job, std::chrono::milliseconds limit) {
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    Post([job = std::move(job), done](sd_bus* bus) {
        job(bus);
        done->set_value();
    });
    return finished.wait_for(limit) == std::future_status::ready;
}

void SessionBusLoop::RunJobs() {
    for (;;) {
        std::function<void(sd_bus*)> job;
        {
            std::lock_guard lock(mutex_);
            if (stopping_ || jobs_.empty()) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job(bus_.get());
    }
}

void SessionBusLoop::Run() {
    if (extra_.onReadable) extra_.onReadable();
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stopping_) return;
        }
        RunJobs();
        if (bus_) {
            // Everything already read is handled before the thread sleeps again.
            while (sd_bus_process(bus_.get(), nullptr) > 0) {
            }
        }
        pollfd fds[3] = {{wake_.get(), POLLIN, 0}, {-1, 0, 0}, {extra_.fd, POLLIN, 0}};
        if (bus_) {
            fds[1].fd = sd_bus_get_fd(bus_.get());
            const int events = sd_bus_get_events(bus_.get());
            fds[1].events = short(events > 0 ? events : POLLIN);
        }
        int timeout = PollTimeout(bus_.get());
        if (extra_.fd >= 0 && (timeout < 0 || timeout > kExtraCheckMilliseconds))
            timeout = kExtraCheckMilliseconds;
        const int ready = poll(fds, 3, timeout);
        if (ready < 0 && errno != EINTR) return;
        if (ready == 0 && extra_.fd >= 0 && extra_.onReadable) extra_.onReadable();
        if (fds[0].revents & POLLIN) {
            std::uint64_t count = 0;
            [[maybe_unused]] const ssize_t got = read(wake_.get(), &count, sizeof count);
        }
        if (extra_.fd >= 0 && (fds[2].revents & POLLIN) && extra_.onReadable) extra_.onReadable();
        // A connection that has gone stays readable for ever; it is not watched any more.
        if (fds[2].revents & (POLLHUP | POLLERR | POLLNVAL)) extra_.fd = -1;
    }
}

} // namespace orvanta::platform::linux_backend
