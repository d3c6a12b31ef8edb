#pragma once

#include <string>
#include <string_view>

namespace orvanta::data {

// Each byte as two upper-case hex digits, no separator.
std::string HexEncode(std::string_view text);

// Pairs from the start; stops at a pair that is blank after trimming, ignores a final odd character,
// raises "'$XY' is not a valid integer value" for a pair that is not hexadecimal.
std::string HexDecode(std::string_view hex);

// The same decoding appended to out, for readers that fill existing strings row after row. When the
// text does not decode, out is left as it was and the same error is raised.
void HexDecode(std::string_view hex, std::string& out);

} // namespace orvanta::data
