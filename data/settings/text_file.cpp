#include "data/settings/text_file.h"

#include <chrono>
#include <cstdint>
#include <iostream>
#include <mutex>
#include <random>
#include <set>

namespace orvanta::ini {
namespace {

constexpr std::string_view kTemporaryMark = ".tmp";
constexpr std::size_t kTemporaryDigits = 16;

} // namespace

std::string TemporarySuffix() {
    // Two writers racing on the same target must not share a temporary file.
    auto n = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    try {
        std::random_device device;
        n ^= (static_cast<std::uint64_t>(device()) << 32) ^ device();
    } catch (const std::exception&) {
        // No entropy source: the clock alone still separates writers in practice.
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string suffix(kTemporaryMark);
    for (std::size_t i = 0; i < kTemporaryDigits; ++i, n >>= 4)
        suffix += kDigits[n & 0xF];
    return suffix;
}

bool IsTemporaryNameOf(std::string_view fileName, std::string_view targetName) {
    if (fileName.size() != targetName.size() + kTemporaryMark.size() + kTemporaryDigits) return false;
    if (fileName.substr(0, targetName.size()) != targetName) return false;
    fileName.remove_prefix(targetName.size());
    if (fileName.substr(0, kTemporaryMark.size()) != kTemporaryMark) return false;
    fileName.remove_prefix(kTemporaryMark.size());
    return fileName.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

void WarnOnce(const std::string& path, const std::string& reason) {
    static std::mutex mutex;
    static std::set<std::string> told;
    std::lock_guard<std::mutex> lock(mutex);
    if (!told.insert(path + '\n' + reason).second) return;
    std::cerr << "orvanta: " << path << ": " << reason << "; read as empty" << std::endl;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    TextRead read = ReadTextFile(path);
    if (read.kind != TextRead::Content) return std::nullopt;
    return std::move(read.content);
}

} // namespace orvanta::ini
