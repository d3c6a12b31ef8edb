#include "data/hex_codec.h"

#include "data/error.h"

namespace orvanta::data {
namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Trimming drops spaces and control characters alike.
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

} // namespace

std::string HexEncode(std::string_view text) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 2);
    for (unsigned char byte : text) {
        out.push_back(kDigits[byte >> 4]);
        out.push_back(kDigits[byte & 0x0F]);
    }
    return out;
}

std::string HexDecode(std::string_view hex) {
    std::string out;
    const std::size_t pairs = hex.size() / 2;
    out.reserve(pairs);
    for (std::size_t i = 0; i < pairs; ++i) {
        const char a = hex[2 * i];
        const char b = hex[2 * i + 1];
        if (IsBlank(a) && IsBlank(b)) break;
        // A pair with one blank is converted as the single remaining digit, the way an integer
        // conversion of the trimmed pair reads it.
        int value;
        if (IsBlank(a) && HexDigitValue(b) >= 0) {
            value = HexDigitValue(b);
        } else if (IsBlank(b) && HexDigitValue(a) >= 0) {
            value = HexDigitValue(a);
        } else if (HexDigitValue(a) >= 0 && HexDigitValue(b) >= 0) {
            value = HexDigitValue(a) * 16 + HexDigitValue(b);
        } else {
            throw Error("'$" + std::string{a, b} + "' is not a valid integer value");
        }
        out.push_back(static_cast<char>(value));
    }
    return out;
}

} // namespace orvanta::data
