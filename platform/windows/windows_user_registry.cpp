#include "platform/windows/windows_user_registry.h"

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

std::string WindowsUserRegistry::readString(const std::string& keyPath, const std::string& valueName) const {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return {};
    std::string result;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        std::vector<char> data(size + 1, '\0');
        if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                             &size) == ERROR_SUCCESS) {
            // The stored text may or may not carry its terminator.
            result.assign(data.data(), std::min<size_t>(size, data.size()));
            result.erase(std::find(result.begin(), result.end(), '\0'), result.end());
        }
    }
    RegCloseKey(key);
    return result;
}

bool WindowsUserRegistry::writeString(const std::string& keyPath, const std::string& valueName,
                                      const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG status =
        RegSetValueExA(key, valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

void WindowsUserRegistry::deleteValue(const std::string& keyPath, const std::string& valueName) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, valueName.c_str());
    RegCloseKey(key);
}

} // namespace orvanta::platform::windows_backend
