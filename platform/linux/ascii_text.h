#pragma once

#include <string>
#include <string_view>

namespace orvanta::platform::linux_backend {

// The words the backends compare (desktop names, locale codes, tool answers) are ASCII; the C library's
// case mapping would follow the user's locale and turn 'I' into a dotless i in a Turkish one.
inline std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// The text without the blanks and line breaks around it.
inline std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

} // namespace orvanta::platform::linux_backend
