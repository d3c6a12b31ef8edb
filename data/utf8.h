#pragma once

#include <string>

namespace orvanta::data {

// Appends one code point as UTF-8, the 8-bit text of the whole system on Linux.
void AppendUtf8(std::string& out, char32_t c);

} // namespace orvanta::data
