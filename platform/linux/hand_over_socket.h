#pragma once

#include "platform/api/single_instance.h"
#include "platform/linux/unique_fd.h"

#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace orvanta::platform::linux_backend {

// The first copy's end of the hand-over: a Unix-domain stream socket at a path, served on a thread of its
// own. A later copy sends one line, "QuitMessage" (come forward) or "NewTaskMessage" (come forward with
// the editor), and the first copy closes the connection once it has read it; copies of earlier versions
// speak the same lines, so either side may be the older one during an update.
class HandOverSocket {
  public:
    using Heard = std::function<void(HandOverRequest)>;

    // Listens at the path, replacing whatever a copy that ended without cleaning up left there; only the
    // copy holding the instance claim may do this. False, with errno set, when the socket cannot be made.
    bool Listen(const std::string& path, Heard heard);
    ~HandOverSocket();

    // Delivers the request to the socket at the path; true once the listener has taken the line and
    // closed the connection within the time-out.
    static bool Send(const std::string& path, HandOverRequest request, std::chrono::milliseconds timeout);

  private:
    void Serve();

    std::string path_;
    Heard heard_;
    UniqueFd listener_;
    UniqueFd stop_;
    std::thread thread_;
};

} // namespace orvanta::platform::linux_backend
