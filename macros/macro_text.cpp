#include "macros/macro_text.h"

#include "macros/macro_file_lines.h"
#include "macros/macro_file_write.h"

#include <fstream>
#include <sstream>

namespace orvanta::macros {

std::vector<std::string> DecodeMacroText(std::string_view bytes) {
    MacroTextLines source(std::make_unique<std::istringstream>(std::string(bytes)));
    std::vector<std::string> lines;
    for (std::string line; source.next(line);)
        lines.push_back(std::move(line));
    return lines;
}

std::optional<std::vector<std::string>> ReadMacroFile(const std::string& path) {
    if (!MacroFileAcceptable(path)) return std::nullopt;
    MacroFileLines source(path);
    std::vector<std::string> lines;
    for (std::string line; source.next(line);)
        lines.push_back(std::move(line));
    if (source.failed()) return std::nullopt;
    return lines;
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
    return ReplaceMacroFileBytes(path, EncodeMacroText(lines));
}

} // namespace orvanta::macros
