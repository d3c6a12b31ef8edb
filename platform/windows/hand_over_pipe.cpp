#include "platform/windows/hand_over_pipe.h"

#include <string>
#include <windows.h>

namespace orvanta::platform::windows_backend {
namespace {

constexpr const char* kShowWindowLine = "QuitMessage";
constexpr const char* kNewTaskLine = "NewTaskMessage";
constexpr DWORD kMaxLine = 64;
constexpr DWORD kPeerPatienceMs = 1000;

} // namespace

bool HandOverPipe::Listen(const std::string& pipePath, Heard heard) {
    if (thread_.joinable()) return true;
    stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    done_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!stop_ || !done_) return false;
    path_ = pipePath;
    heard_ = std::move(heard);
    thread_ = std::thread([this] { Serve(); });
    return true;
}

HandOverPipe::~HandOverPipe() {
    if (thread_.joinable()) {
        SetEvent(stop_);
        thread_.join();
    }
    if (stop_) CloseHandle(stop_);
    if (done_) CloseHandle(done_);
}

bool HandOverPipe::Await(void* pipe, void* overlapped, unsigned long timeoutMs) {
    HANDLE events[] = {stop_, done_};
    const DWORD woke = WaitForMultipleObjects(2, events, FALSE, timeoutMs);
    if (woke == WAIT_OBJECT_0 + 1) return true;
    CancelIo(pipe);
    DWORD ignored = 0;
    GetOverlappedResult(pipe, static_cast<OVERLAPPED*>(overlapped), &ignored, TRUE);
    return false;
}

void HandOverPipe::Serve() {
    while (WaitForSingleObject(stop_, 0) != WAIT_OBJECT_0) {
        // Remote clients refused: the hand-over is for this machine's session only.
        HANDLE pipe =
            CreateNamedPipeA(path_.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED,
                             PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS,
                             PIPE_UNLIMITED_INSTANCES, 0, 256, 0, nullptr);
        if (pipe == INVALID_HANDLE_VALUE) {
            // Another process holds every instance of the name for now; try again shortly.
            if (WaitForSingleObject(stop_, 200) == WAIT_OBJECT_0) return;
            continue;
        }
        OVERLAPPED overlapped{};
        overlapped.hEvent = done_;
        ResetEvent(done_);
        bool connected = ConnectNamedPipe(pipe, &overlapped) != 0;
        if (!connected) {
            const DWORD error = GetLastError();
            connected = error == ERROR_PIPE_CONNECTED ||
                        (error == ERROR_IO_PENDING && Await(pipe, &overlapped, INFINITE));
        }
        std::string line;
        bool ended = false;
        while (connected && !ended && line.size() <= kMaxLine) {
            char buffer[kMaxLine + 1];
            DWORD got = 0;
            ResetEvent(done_);
            overlapped = OVERLAPPED{};
            overlapped.hEvent = done_;
            if (!ReadFile(pipe, buffer, sizeof buffer, &got, &overlapped)) {
                if (GetLastError() != ERROR_IO_PENDING || !Await(pipe, &overlapped, kPeerPatienceMs) ||
                    !GetOverlappedResult(pipe, &overlapped, &got, FALSE))
                    break;
            }
            if (got == 0) break;
            line.append(buffer, got);
            ended = line.find('\n') != std::string::npos;
        }
        DisconnectNamedPipe(pipe);
        CloseHandle(pipe);
        if (!ended) continue;
        line.resize(line.find('\n'));
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        if (line == kShowWindowLine)
            heard_(HandOverRequest::showWindow);
        else if (line == kNewTaskLine)
            heard_(HandOverRequest::newTask);
    }
}

bool HandOverPipe::Send(const std::string& pipePath, HandOverRequest request,
                        std::chrono::milliseconds timeout) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
    HANDLE pipe = INVALID_HANDLE_VALUE;
    for (;;) {
        pipe = CreateFileA(pipePath.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (pipe != INVALID_HANDLE_VALUE) break;
        const ULONGLONG now = GetTickCount64();
        // Busy: the listener is serving another copy and opens the next instance in a moment.
        if (GetLastError() != ERROR_PIPE_BUSY || now >= deadline ||
            !WaitNamedPipeA(pipePath.c_str(), static_cast<DWORD>(deadline - now)))
            return false;
    }
    const std::string line =
        std::string(request == HandOverRequest::newTask ? kNewTaskLine : kShowWindowLine) + "\n";
    DWORD written = 0;
    const bool sent = WriteFile(pipe, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
                      written == line.size() && FlushFileBuffers(pipe);
    CloseHandle(pipe);
    return sent;
}

} // namespace orvanta::platform::windows_backend
