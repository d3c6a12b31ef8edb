#include "data/settings/text_file.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

namespace orvanta::ini {
namespace fs = std::filesystem;
namespace {

// Two writers racing on the same target must not share a temporary file.
std::string UniqueSuffix() {
    auto n = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    try {
        std::random_device device;
        n ^= (static_cast<std::uint64_t>(device()) << 32) ^ device();
    } catch (const std::exception&) {
        // No entropy source: the clock alone still separates writers in practice.
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string suffix = ".tmp";
    for (int i = 0; i < 16; ++i, n >>= 4)
        suffix += kDigits[n & 0xF];
    return suffix;
}

bool WriteNewFile(const fs::path& path, std::string_view content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.flush();
    bool written = out.good();
    out.close();
    return written && !out.fail();
}

} // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::ifstream in(fs::path(path), std::ios::binary);
    if (!in) return std::nullopt;
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return content;
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(fs::path(path), ec);
}

bool ReplaceWholeFile(const std::string& path, std::string_view content) {
    std::error_code ec;
    fs::path target(path);
    // Renaming over a symbolic link would replace the link itself; the user meant the file behind it.
    if (fs::is_symlink(target, ec)) {
        fs::path resolved = fs::weakly_canonical(target, ec);
        if (ec) return false;
        target = resolved;
    }
    fs::path temporary = target;
    temporary += UniqueSuffix();
    if (!WriteNewFile(temporary, content)) {
        fs::remove(temporary, ec);
        return false;
    }
    // The replacement keeps the access rights the user gave the old file.
    if (fs::file_status old = fs::status(target, ec); !ec && fs::is_regular_file(old))
        fs::permissions(temporary, old.permissions(), fs::perm_options::replace, ec);
    fs::rename(temporary, target, ec);
    if (ec) {
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

} // namespace orvanta::ini
