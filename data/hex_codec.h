#pragma once

#include <string>
#include <string_view>

namespace orvanta::data {

// Each byte as two upper-case hex digits, no separator.
std::string HexEncode(std::string_view text);

// Pairs from the start; stops at a pair that is blank after trimming, ignores a final odd character,
// raises "'$XY' is not a valid integer value" for a pair that is not hexadecimal.
std::string HexDecode(std::string_view hex);

} // namespace orvanta::data
