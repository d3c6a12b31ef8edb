#include "platform/windows/windows_clock.h"

// These Windows headers need <windows.h> before them.
// clang-format off
#include <windows.h>
#include <shlobj.h>
#include <sddl.h>
// clang-format on

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <vector>

namespace orvanta::platform::windows_backend {

LocalDateTime WindowsClock::now() const {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    return LocalDateTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

} // namespace orvanta::platform::windows_backend
