#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta::macros {

// The lines of a macro file's bytes as UTF-8. The byte order mark chooses the encoding: FF FE UTF-16
// little-endian, FE FF UTF-16 big-endian, EF BB BF UTF-8; without one the bytes are 8-bit text, which is
// UTF-8 here. Lines end at CR, LF or CR LF; a final line break adds no empty line. Unpaired surrogates
// become U+FFFD.
std::vector<std::string> DecodeMacroText(std::string_view bytes);

// The lines of the file, or nothing when it cannot be read.
std::optional<std::vector<std::string>> ReadMacroFile(const std::string& path);

} // namespace orvanta::macros
