#include "tools/orvantactl/history_lines.h"

#include "data/error.h"
#include "scheduler/wake_keys.h"

#include <cstdio>

namespace orvanta::ctl {
namespace {

std::string Stamp(const platform::LocalDateTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return text;
}

} // namespace

std::string HistoryLine(const platform::HistoryEntry& e, const platform::Clock& clock) {
    std::string line = Stamp(clock.localOf(e.utcMs)) + "  " + e.outcome;
    if (!e.taskId.empty()) line += "  task " + e.taskId;
    if (!e.title.empty()) line += " \"" + e.title + "\"";
    if (!e.dueKey.empty()) {
        const auto due = scheduler::ParseDueKey(e.dueKey);
        line += "  due " + (due ? Stamp(*due) : e.dueKey);
    } else if (!e.taskId.empty()) {
        line += "  (hotkey)";
    }
    if (!e.action.empty()) line += "  " + e.action;
    if (!e.reason.empty()) line += "  (" + e.reason + ")";
    // Titles and reasons are anyone's text: no control character (a terminal's escape sequence among
    // them) reaches the terminal.
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7f') c = ' ';
    return line;
}

void PrintHistory(const platform::RunHistory& history, const platform::HistoryQuery& query,
                  const platform::Clock& clock, std::ostream& out) {
    const platform::HistoryReading reading = history.read(query);
    if (!reading.error.empty() && reading.entries.empty())
        throw Error("the run history cannot be read: " + reading.error);
    for (const platform::HistoryEntry& e : reading.entries)
        out << HistoryLine(e, clock) << '\n';
    if (!reading.error.empty()) throw Error("the run history was not read to the end: " + reading.error);
}

} // namespace orvanta::ctl
