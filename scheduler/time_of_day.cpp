#include "scheduler/time_of_day.h"

namespace orvanta::scheduler {
namespace {

// Reads one field of one or two digits at pos and moves pos past it.
std::optional<int> ReadField(std::string_view text, std::size_t& pos) {
    int value = 0;
    std::size_t digits = 0;
    while (pos < text.size() && digits < 2 && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + (text[pos] - '0');
        ++pos;
        ++digits;
    }
    if (digits == 0) return std::nullopt;
    return value;
}

} // namespace

std::optional<int> ParseTimeOfDay(std::string_view text) {
    text = Trimmed(text);
    std::size_t pos = 0;
    int fields[3] = {0, 0, 0};
    int count = 0;
    while (count < 3) {
        const auto field = ReadField(text, pos);
        if (!field) return std::nullopt;
        fields[count++] = *field;
        if (pos == text.size()) break;
        if (text[pos] != ':') return std::nullopt;
        ++pos;
    }
    if (pos != text.size() || count < 2) return std::nullopt;
    const int hour = fields[0], minute = fields[1], second = fields[2];
    if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
    return (hour * 60 + minute) * 60 + second;
}

} // namespace orvanta::scheduler
