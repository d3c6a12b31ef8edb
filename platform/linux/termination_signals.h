#pragma once

#include <functional>
#include <thread>

namespace orvanta::platform::linux_backend {

// SIGTERM and SIGINT as a request to end: the first one calls onRequest on a thread of this object, so
// the program can end as its Exit does (playbacks let go of their keys, files are closed); the handler
// is then gone, and a second signal ends the process at once. One object at a time; its end puts the
// default handling back.
class TerminationSignals {
  public:
    explicit TerminationSignals(std::function<void()> onRequest);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

  private:
    std::function<void()> onRequest_;
    int readEnd_ = -1;
    std::thread watcher_;
};

} // namespace orvanta::platform::linux_backend
