#include "platform/windows/windows_alert_sound.h"

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

bool WindowsAlertSound::beep() {
    return MessageBeep(MB_OK) != FALSE;
}

} // namespace orvanta::platform::windows_backend
