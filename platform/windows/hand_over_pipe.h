#pragma once

#include "platform/api/single_instance.h"

#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace orvanta::platform::windows_backend {

// The first copy's end of the hand-over: a named pipe served on a thread of its own, one later copy at
// a time. Each sends one line, "QuitMessage" or "NewTaskMessage"; a copy silent for a second is dropped.
class HandOverPipe {
  public:
    using Heard = std::function<void(HandOverRequest)>;

    // False when the system refuses the stop event.
    bool Listen(const std::string& pipePath, Heard heard);
    ~HandOverPipe();

    // Delivers the request; true once the listener has read the line within the time-out.
    static bool Send(const std::string& pipePath, HandOverRequest request, std::chrono::milliseconds timeout);

  private:
    void Serve();
    // Waits for the overlapped call on the pipe, or the stop, or the time; true when the call finished.
    bool Await(void* pipe, void* overlapped, unsigned long timeoutMs);

    std::string path_;
    Heard heard_;
    void* stop_ = nullptr;
    void* done_ = nullptr;
    std::thread thread_;
};

} // namespace orvanta::platform::windows_backend
