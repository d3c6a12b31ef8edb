#pragma once

#include "platform/api/clock.h"

#include <cstdint>

namespace orvanta::data {

// Packs a local date and time as a DOS file date-time (two-second steps) and returns it as the signed
// 32-bit value the task store writes into Last.
std::int32_t DosDateTime(const platform::LocalDateTime& t);

} // namespace orvanta::data
