#pragma once

#include <span>

namespace orvanta::data {

// The bytes of the database a new installation starts from, generated when the program is built.
std::span<const unsigned char> TaskDatabaseTemplate();

} // namespace orvanta::data
