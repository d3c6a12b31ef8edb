#pragma once

#include <string>
#include <string_view>

namespace orvanta::data {

// The keyless transform under which the lock password is stored. Byte k of the result is byte k of
// the password XOR (byte (k + 1) mod n, as an unsigned value) mod 10, the last byte pairing with the
// first. Only the low four bits change, so printable text stays printable and fits an INI value; the
// stored form is compared, never decoded.
std::string EncodePassword(std::string_view password);

} // namespace orvanta::data
