#include "macros/macro_file_write.h"

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <io.h>
#include <string>
#include <sys/stat.h>
#include <windows.h>

namespace orvanta::macros {
namespace fs = std::filesystem;

// The new file takes the access rights of its folder, the user's own where macros are kept.
bool ReplaceMacroFileBytes(const std::string& path, std::string_view bytes) {
    std::error_code ec;
    fs::path target(path);
    if (fs::is_symlink(target, ec)) {
        fs::path resolved = fs::weakly_canonical(target, ec);
        if (ec) return false;
        target = resolved;
    }
    const auto seed =
        static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    fs::path temporary;
    int fd = -1;
    for (unsigned attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = target;
        temporary += ".tmp" + std::to_string(seed + attempt);
        fd = _wopen(temporary.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    bool ok = true;
    while (ok && !bytes.empty()) {
        const int chunk = bytes.size() > (1u << 20) ? (1 << 20) : static_cast<int>(bytes.size());
        const int n = _write(fd, bytes.data(), static_cast<unsigned>(chunk));
        ok = n > 0;
        if (ok) bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    ok = ok && _commit(fd) == 0;
    ok = _close(fd) == 0 && ok;
    ok = ok &&
         MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

} // namespace orvanta::macros
