#include "platform/windows/windows_basics.h"

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

std::string WindowsSystemPaths::appDataRoot() const {
    char path[MAX_PATH] = {};
    if (SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) return {};
    return path;
}

std::string WindowsSystemPaths::executablePath() const {
    // Long paths do not fit MAX_PATH: grow until the whole name fits.
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

namespace {

// A security descriptor that gives the current user, the system and the administrators full control and
// nobody else anything, inherited by everything made inside. Folders under the common application-data
// root would otherwise let every local user read the task database and the settings.
class PrivateFolderSecurity {
  public:
    PrivateFolderSecurity() {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return;
        DWORD size = 0;
        GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        std::vector<unsigned char> buffer(size);
        char* sid = nullptr;
        if (size && GetTokenInformation(token, TokenUser, buffer.data(), size, &size) &&
            ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &sid)) {
            const std::string sddl =
                std::string("D:P(A;OICI;FA;;;") + sid + ")(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
            ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &descriptor_,
                                                                 nullptr);
            LocalFree(sid);
        }
        CloseHandle(token);
    }
    ~PrivateFolderSecurity() {
        if (descriptor_) LocalFree(descriptor_);
    }
    PrivateFolderSecurity(const PrivateFolderSecurity&) = delete;
    PrivateFolderSecurity& operator=(const PrivateFolderSecurity&) = delete;

    SECURITY_ATTRIBUTES* attributes() {
        if (!descriptor_) return nullptr;
        attributes_ = SECURITY_ATTRIBUTES{sizeof(SECURITY_ATTRIBUTES), descriptor_, FALSE};
        return &attributes_;
    }

  private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    SECURITY_ATTRIBUTES attributes_{};
};

} // namespace

bool WindowsSystemPaths::ensureFolder(const std::string& path) const {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return true;
    PrivateFolderSecurity security;
    // Make each missing component from the top; only the folders made here get the private descriptor.
    std::filesystem::path built;
    for (const auto& part : std::filesystem::path(path)) {
        built /= part;
        if (!built.has_relative_path() || std::filesystem::is_directory(built, ec)) continue;
        if (!CreateDirectoryA(built.string().c_str(), security.attributes()) &&
            GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return std::filesystem::is_directory(path, ec);
}

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

std::string WindowsLocaleInfo::abbreviatedLanguageName() const {
    char name[16] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, name, sizeof name) <= 1) return "ENU";
    std::string result(name);
    for (char& c : result)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

void WindowsMemoryTrim::trimWorkingSet() {
    SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
}

bool WindowsAlertSound::beep() {
    return MessageBeep(MB_OK) != FALSE;
}

} // namespace orvanta::platform::windows_backend
