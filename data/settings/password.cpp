#include "data/settings/password.h"

namespace orvanta::data {

std::string EncodePassword(std::string_view password) {
    const std::size_t n = password.size();
    std::string encoded(n, '\0');
    for (std::size_t k = 0; k < n; ++k) {
        auto own = static_cast<unsigned char>(password[k]);
        auto next = static_cast<unsigned char>(password[(k + 1) % n]);
        encoded[k] = static_cast<char>(own ^ (next % 10));
    }
    return encoded;
}

} // namespace orvanta::data
