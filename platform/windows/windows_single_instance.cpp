#include "platform/windows/windows_single_instance.h"

#include "platform/windows/hand_over_pipe.h"

#include <string>
#include <utility>
#include <windows.h>

namespace orvanta::platform::windows_backend {

WindowsSingleInstance::WindowsSingleInstance(std::string name) : name_(std::move(name)) {}

WindowsSingleInstance::~WindowsSingleInstance() {
    if (mutex_) CloseHandle(mutex_);
}

bool WindowsSingleInstance::claim() {
    if (mutex_) return true;
    HANDLE handle = CreateMutexA(nullptr, FALSE, name_.c_str());
    if (!handle) {
        // Without the mutex nothing keeps a second copy from running every task again.
        failure_ = "Cannot make sure that only one copy of the program runs (the system refused the "
                   "instance mutex, error " +
                   std::to_string(GetLastError()) + "); this copy ends so that no task runs twice.";
        return false;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(handle);
        return false;
    }
    mutex_ = handle;
    return true;
}

std::shared_ptr<void> WindowsSingleInstance::listenForHandOver(std::function<void(HandOverRequest)> heard) {
    if (!mutex_) return nullptr;
    auto pipe = std::make_shared<HandOverPipe>();
    if (!pipe->Listen("\\\\.\\pipe\\" + name_, std::move(heard))) return nullptr;
    return pipe;
}

bool WindowsSingleInstance::handOver(HandOverRequest request, std::chrono::milliseconds timeout) {
    return HandOverPipe::Send("\\\\.\\pipe\\" + name_, request, timeout);
}

unsigned QuitMessageId() {
    return RegisterWindowMessageA("QuitMessage");
}

} // namespace orvanta::platform::windows_backend
