#include "data/dos_date_time.h"

namespace orvanta::data {

std::int32_t DosDateTime(const platform::LocalDateTime& t) {
    const std::uint32_t date = (static_cast<std::uint32_t>(t.year - 1980) << 9) |
                               (static_cast<std::uint32_t>(t.month) << 5) | static_cast<std::uint32_t>(t.day);
    const std::uint32_t time = (static_cast<std::uint32_t>(t.hour) << 11) |
                               (static_cast<std::uint32_t>(t.minute) << 5) |
                               static_cast<std::uint32_t>(t.second / 2);
    // Years from 2044 on set the top bit; the stored value is the signed reading of the same bits.
    return static_cast<std::int32_t>((date << 16) | time);
}

} // namespace orvanta::data
