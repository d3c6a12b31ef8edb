// Feeds arbitrary text to the hex decoder: it either raises the store's error or returns bytes that
// encode back to the decoded prefix of the input.
#include "data/error.h"
#include "data/hex_codec.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::string decoded;
    try {
        decoded = orvanta::data::HexDecode(input);
    } catch (const orvanta::Error&) {
        return 0;
    }
    if (decoded.size() > input.size() / 2) std::abort();
    // Whatever decodes must survive a round trip unchanged.
    if (orvanta::data::HexDecode(orvanta::data::HexEncode(decoded)) != decoded) std::abort();
    return 0;
}
