#include "platform/windows/windows_single_instance.h"

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
    if (!handle) return true; // the system gives no way to tell: a second copy is better than none
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(handle);
        return false;
    }
    mutex_ = handle;
    return true;
}

unsigned QuitMessageId() {
    return RegisterWindowMessageA("QuitMessage");
}

} // namespace orvanta::platform::windows_backend
