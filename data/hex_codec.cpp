#include "data/hex_codec.h"

#include "data/error.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace orvanta::data {
namespace {

// A hex digit's value, shifted into the high half of a byte for the first digit of a pair; -1 for every
// other byte, so that one OR of the two look-ups is negative exactly when a pair needs a closer look.
// Decoding runs over every text column of every task on each list rebuild.
constexpr std::array<std::int16_t, 256> DigitTable(int shift) {
    std::array<std::int16_t, 256> values{};
    for (auto& v : values)
        v = -1;
    for (int c = '0'; c <= '9'; ++c)
        values[c] = static_cast<std::int16_t>((c - '0') << shift);
    for (int c = 'A'; c <= 'F'; ++c)
        values[c] = static_cast<std::int16_t>((c - 'A' + 10) << shift);
    for (int c = 'a'; c <= 'f'; ++c)
        values[c] = static_cast<std::int16_t>((c - 'a' + 10) << shift);
    return values;
}
constexpr std::array<std::int16_t, 256> kHighDigits = DigitTable(4);
constexpr std::array<std::int16_t, 256> kLowDigits = DigitTable(0);

int HexDigitValue(char c) {
    return kLowDigits[static_cast<unsigned char>(c)];
}

constexpr std::size_t kChunk = 256;

// Trimming drops spaces and control characters alike.
bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

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
    HexDecode(hex, out);
    return out;
}

void HexDecode(std::string_view hex, std::string& out) {
    const std::size_t start = out.size();
    if (hex.size() / 2 > kChunk) out.reserve(start + hex.size() / 2);
    // Decoded into a chunk on the stack and appended from there: a short text then costs one copy, with
    // no filling or resizing of the string.
    char chunk[kChunk];
    std::size_t filled = 0;
    const char* pair = hex.data();
    const char* const end = pair + hex.size() / 2 * 2;
    for (;;) {
        // Pairs of two hex digits, as long as they come and the chunk has room.
        const char* const stop = pair + 2 * std::min<std::size_t>((end - pair) / 2, kChunk - filled);
        for (; pair != stop; pair += 2) {
            const int value = kHighDigits[static_cast<unsigned char>(pair[0])] |
                              kLowDigits[static_cast<unsigned char>(pair[1])];
            if (value < 0) break;
            chunk[filled++] = static_cast<char>(value);
        }
        if (filled == kChunk) {
            out.append(chunk, filled);
            filled = 0;
            continue;
        }
        if (pair == end) break;
        const char a = pair[0];
        const char b = pair[1];
        if (IsBlank(a) && IsBlank(b)) break;
        // A pair with one blank is converted as the single remaining digit, the way an integer
        // conversion of the trimmed pair reads it.
        int value;
        if (IsBlank(a) && HexDigitValue(b) >= 0) {
            value = HexDigitValue(b);
        } else if (IsBlank(b) && HexDigitValue(a) >= 0) {
            value = HexDigitValue(a);
        } else {
            out.resize(start);
            throw Error("'$" + std::string{a, b} + "' is not a valid integer value");
        }
        chunk[filled++] = static_cast<char>(value);
        pair += 2;
    }
    out.append(chunk, filled);
}

} // namespace orvanta::data
