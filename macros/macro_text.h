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

// The lines of the file, or nothing when it cannot be read or is no macro file (MacroFileAcceptable).
std::optional<std::vector<std::string>> ReadMacroFile(const std::string& path);

// The bytes of a macro file as the recorder writes it: UTF-16 little-endian with a byte order mark, every
// line ended by CR LF. Bytes of a line that are no valid UTF-8 become U+FFFD.
std::string EncodeMacroText(const std::vector<std::string>& lines);

// Writes the lines as EncodeMacroText gives them, owner-only and whole or not at all
// (ReplaceMacroFileBytes); false when the file cannot be written completely.
bool WriteMacroFile(const std::string& path, const std::vector<std::string>& lines);

} // namespace orvanta::macros
