#pragma once

#include <fstream>
#include <string>
#include <vector>

namespace orvanta::test {

// Writes a macro file as the recorder does: UTF-16 little-endian with a byte order mark, CR LF after
// every line.
inline void WriteRecordedMacro(const std::string& path, const std::vector<std::u16string>& lines) {
    std::string bytes = "\xFF\xFE";
    auto put = [&bytes](char16_t unit) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    };
    for (const auto& line : lines) {
        for (char16_t unit : line)
            put(unit);
        put(u'\r');
        put(u'\n');
    }
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace orvanta::test
