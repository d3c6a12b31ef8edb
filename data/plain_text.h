#pragma once

#include <string>
#include <string_view>

// Text helpers for the names and fields the store and its readers compare. Letter case is ASCII only:
// the names are ASCII, and a byte of a UTF-8 text must never change with the user's locale.
namespace orvanta::data {

// Drops blanks and control characters at both ends, as every trimmed text of the task list is.
std::string_view Trimmed(std::string_view text);

std::string Lower(std::string_view text);
std::string Upper(std::string_view text);
bool SameIgnoringCase(std::string_view a, std::string_view b);

} // namespace orvanta::data
