#pragma once

#include "platform/api/single_instance.h"

#include <string>

namespace orvanta::platform::windows_backend {

// The claim is a named mutex the first copy creates and keeps open for its whole life; the system closes
// it with the process, however the process ends, so a crashed copy never blocks the next start.
class WindowsSingleInstance : public SingleInstance {
  public:
    explicit WindowsSingleInstance(std::string name = kInstanceName);
    ~WindowsSingleInstance() override;
    WindowsSingleInstance(const WindowsSingleInstance&) = delete;
    WindowsSingleInstance& operator=(const WindowsSingleInstance&) = delete;

    bool claim() override;
    std::string claimFailure() const override { return failure_; }
    std::string handOverAddress() const override { return name_; }
    // The address is the named pipe "\\.\pipe\<name>", served on a thread of its own; the lines are
    // "QuitMessage" and "NewTaskMessage", as earlier versions sent them.
    std::shared_ptr<void> listenForHandOver(std::function<void(HandOverRequest)> heard) override;
    bool handOver(HandOverRequest request, std::chrono::milliseconds timeout) override;

  private:
    std::string name_;
    std::string failure_;
    void* mutex_ = nullptr;
};

// The id of the registered window message "QuitMessage", the same in every process of the session; 0 when
// the system refused to register it.
unsigned QuitMessageId();

} // namespace orvanta::platform::windows_backend
