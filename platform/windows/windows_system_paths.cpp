#include "platform/windows/windows_system_paths.h"

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

} // namespace orvanta::platform::windows_backend
