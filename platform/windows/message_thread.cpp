#include "platform/windows/message_thread.h"

#include <future>
#include <windows.h>

namespace orvanta::platform::windows_backend {
namespace {

// A thread message that carries a std::function to run on the thread.
constexpr UINT kInvokeMessage = WM_APP + 1;

} // namespace

MessageThread::MessageThread(std::function<void(unsigned, std::uintptr_t, std::intptr_t)> onMessage)
    : onMessage_(std::move(onMessage)) {
    std::promise<void> ready;
    auto started = ready.get_future();
    thread_ = std::thread([this, &ready] { run(&ready); });
    started.wait();
}

MessageThread::~MessageThread() {
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    if (thread_.joinable()) thread_.join();
}

void MessageThread::run(void* ready) {
    MSG msg;
    // The first peek makes the system give this thread its message queue.
    PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    threadId_ = GetCurrentThreadId();
    static_cast<std::promise<void>*>(ready)->set_value();
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == nullptr && msg.message == kInvokeMessage) {
            auto* work = reinterpret_cast<std::packaged_task<void()>*>(msg.lParam);
            (*work)();
            continue;
        }
        onMessage_(msg.message, msg.wParam, msg.lParam);
        DispatchMessageA(&msg);
    }
}

bool MessageThread::invoke(const std::function<void()>& work) {
    if (GetCurrentThreadId() == threadId_) {
        work();
        return true;
    }
    std::packaged_task<void()> task(work);
    auto done = task.get_future();
    if (!PostThreadMessageA(threadId_, kInvokeMessage, 0, reinterpret_cast<LPARAM>(&task))) return false;
    done.get();
    return true;
}

} // namespace orvanta::platform::windows_backend
