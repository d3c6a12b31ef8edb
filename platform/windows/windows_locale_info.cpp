#include "platform/windows/windows_locale_info.h"

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

std::string WindowsLocaleInfo::abbreviatedLanguageName() const {
    char name[16] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, name, sizeof name) <= 1) return "ENU";
    std::string result(name);
    for (char& c : result)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

} // namespace orvanta::platform::windows_backend
