#include "data/settings/text_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace orvanta::ini {
namespace fs = std::filesystem;
namespace {

bool WriteNewFile(const fs::path& path, std::string_view content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.flush();
    bool written = out.good();
    out.close();
    return written && !out.fail();
}

bool IsReadOnly(const fs::path& path) {
    std::error_code ec;
    fs::perms perms = fs::status(path, ec).permissions();
    return !ec && (perms & fs::perms::owner_write) == fs::perms::none;
}

} // namespace

TextRead ReadTextFile(const std::string& path) {
    std::error_code ec;
    const fs::path file(path);
    const fs::file_status status = fs::status(file, ec);
    if (!fs::exists(status)) return {TextRead::Missing, {}};
    if (!fs::is_regular_file(status)) {
        WarnOnce(path, "not a regular file");
        return {TextRead::Refused, {}};
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        WarnOnce(path, "cannot be opened");
        return {TextRead::Refused, {}};
    }
    // The size can change while we read: the limit holds for what is read.
    std::string content(kMaxTextFileSize + 1, '\0');
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    if (in.bad()) {
        WarnOnce(path, "cannot be read");
        return {TextRead::Refused, {}};
    }
    const auto filled = static_cast<std::size_t>(in.gcount());
    if (filled > kMaxTextFileSize) {
        WarnOnce(path, "larger than 1 MiB");
        return {TextRead::Refused, {}};
    }
    content.resize(filled);
    return {TextRead::Content, std::move(content)};
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(fs::path(path), ec);
}

bool ReplaceWholeFile(const std::string& path, std::string_view content) {
    std::error_code ec;
    const fs::path target(path);
    const fs::file_status old = fs::status(target, ec);
    const bool exists = fs::exists(old);
    if (exists && (!fs::is_regular_file(old) || IsReadOnly(target))) return false;
    fs::path temporary = target;
    temporary += TemporarySuffix();
    if (!WriteNewFile(temporary, content)) {
        fs::remove(temporary, ec);
        return false;
    }
    fs::rename(temporary, target, ec);
    if (ec) {
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

bool PlaceNewFile(const std::string& path, std::string_view content) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(path, ec))) return false;
    fs::path temporary(path);
    temporary += TemporarySuffix();
    if (!WriteNewFile(temporary, content)) {
        fs::remove(temporary, ec);
        return false;
    }
    // The C library's rename on Windows refuses a name that is taken, unlike std::filesystem::rename.
    const bool placed = std::rename(temporary.string().c_str(), path.c_str()) == 0;
    if (!placed) fs::remove(temporary, ec);
    return placed;
}

void RemoveStaleTemporaries(const std::string& path) {
    std::error_code ec;
    const fs::path target(path);
    const std::string name = target.filename().string();
    for (const fs::directory_entry& entry : fs::directory_iterator(target.parent_path(), ec)) {
        if (!IsTemporaryNameOf(entry.path().filename().string(), name)) continue;
        std::error_code ignored;
        if (entry.is_regular_file(ignored)) fs::remove(entry.path(), ignored);
    }
}

} // namespace orvanta::ini
