#pragma once

#include "platform/linux/system_bus.h"
#include "platform/linux/unique_fd.h"

#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace orvanta::platform::linux_backend {

// One connection to the session bus served by a thread of its own. sd-bus connections are not shared
// between threads, so whatever touches the bus is posted here and runs on that thread, in order, as do
// the handlers of the matches those jobs install. The thread can watch one more descriptor (an X
// connection) for the same owner.
// Another descriptor a bus loop's thread watches.
struct BusLoopExtraSource {
    int fd = -1;
    // Runs on the loop's thread whenever fd is readable, once at the start and after a few quiet seconds.
    std::function<void()> onReadable;
};

class SessionBusLoop {
  public:
    using ExtraSource = BusLoopExtraSource;

    // Without a session bus the thread still runs, for the extra source; the jobs then get nullptr.
    explicit SessionBusLoop(ExtraSource extra = {});
    // Stops the thread; jobs not yet run are dropped.
    ~SessionBusLoop();
    SessionBusLoop(const SessionBusLoop&) = delete;
    SessionBusLoop& operator=(const SessionBusLoop&) = delete;

    void Post(std::function<void(sd_bus*)> job);
    // Runs the job on the loop's thread and waits until it is done, at most `limit`; false when it was not
    // done in time (it may still run later, so it must own what it touches).
    bool RunAndWait(std::function<void(sd_bus*)> job, std::chrono::milliseconds limit);

  private:
    void Run();
    void RunJobs();

    SystemBus bus_;
    ExtraSource extra_;
    UniqueFd wake_;
    std::mutex mutex_;
    std::deque<std::function<void(sd_bus*)>> jobs_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace orvanta::platform::linux_backend
