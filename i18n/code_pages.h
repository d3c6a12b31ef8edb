#pragma once

#include <string>
#include <string_view>

namespace orvanta::i18n {

// True when the text is well-formed UTF-8.
bool IsUtf8(std::string_view text);

// 8-bit text in the Windows code page of a font character set (the integer a language file gives as
// its Charset: 0 ANSI, 238 Central European, 204 Cyrillic, 161 Greek, ...), as UTF-8. A set whose page is
// not a single-byte one is read as ANSI.
std::string DecodeCharset(std::string_view bytes, int charset);

} // namespace orvanta::i18n
