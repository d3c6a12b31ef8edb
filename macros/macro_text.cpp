#include "macros/macro_text.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "data/utf8.h"

namespace orvanta::macros {

using data::AppendUtf8;

namespace {

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    const std::size_t units = bytes.size() / 2; // an odd last byte is no character
    auto unitAt = [&](std::size_t i) -> char16_t {
        const auto a = static_cast<unsigned char>(bytes[2 * i]);
        const auto b = static_cast<unsigned char>(bytes[2 * i + 1]);
        return static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    };
    for (std::size_t i = 0; i < units; ++i) {
        const char16_t u = unitAt(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            const char16_t low = unitAt(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(low) - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? char32_t(0xFFFD) : char32_t(u));
    }
    return out;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

} // namespace

std::vector<std::string> DecodeMacroText(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE")) return SplitLines(Utf16ToUtf8(bytes.substr(2), false));
    if (bytes.starts_with("\xFE\xFF")) return SplitLines(Utf16ToUtf8(bytes.substr(2), true));
    if (bytes.starts_with("\xEF\xBB\xBF")) return SplitLines(bytes.substr(3));
    return SplitLines(bytes);
}

std::optional<std::vector<std::string>> ReadMacroFile(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return std::nullopt;
    return DecodeMacroText(bytes);
}

} // namespace orvanta::macros

namespace orvanta::macros {

namespace {

// The next code point of UTF-8 text at i, advancing i; a malformed sequence gives U+FFFD for its first byte.
char32_t NextCodePoint(std::string_view text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80) return lead;
    int extra = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1, c = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, c = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, c = lead & 0x07, minimum = 0x10000;
    } else {
        return 0xFFFD;
    }
    std::size_t j = i;
    for (int k = 0; k < extra; ++k, ++j) {
        if (j >= text.size() || (static_cast<unsigned char>(text[j]) & 0xC0) != 0x80) return 0xFFFD;
        c = (c << 6) | (static_cast<unsigned char>(text[j]) & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0xFFFD;
    i = j;
    return c;
}

void AppendUtf16Le(std::string& out, char32_t c) {
    auto unit = [&out](char32_t u) {
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>((u >> 8) & 0xFF));
    };
    if (c < 0x10000) {
        unit(c);
    } else {
        c -= 0x10000;
        unit(0xD800 + (c >> 10));
        unit(0xDC00 + (c & 0x3FF));
    }
}

} // namespace

std::string EncodeMacroText(const std::vector<std::string>& lines) {
    std::string out = "\xFF\xFE";
    for (const std::string& line : lines) {
        for (std::size_t i = 0; i < line.size();)
            AppendUtf16Le(out, NextCodePoint(line, i));
        AppendUtf16Le(out, U'\r');
        AppendUtf16Le(out, U'\n');
    }
    return out;
}

bool WriteMacroFile(const std::string& path, const std::vector<std::string>& lines) {
    const std::string bytes = EncodeMacroText(lines);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

} // namespace orvanta::macros
