#pragma once

#include <cstdint>
#include <functional>
#include <thread>

namespace orvanta::platform::windows_backend {

// A thread with its own message queue: hotkeys and power broadcasts arrive as messages to the thread (or
// its window) that asked for them, so every request is carried out on it.
class MessageThread {
  public:
    // onMessage sees every message the thread receives; it runs on the thread.
    explicit MessageThread(
        std::function<void(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)> onMessage);
    ~MessageThread();
    MessageThread(const MessageThread&) = delete;
    MessageThread& operator=(const MessageThread&) = delete;

    // Runs the work on the thread and waits for it; false when the thread is gone.
    bool invoke(const std::function<void()>& work);
    unsigned long threadId() const { return threadId_; }

  private:
    void run(void* ready);

    std::function<void(unsigned, std::uintptr_t, std::intptr_t)> onMessage_;
    unsigned long threadId_ = 0;
    std::thread thread_;
};

} // namespace orvanta::platform::windows_backend
