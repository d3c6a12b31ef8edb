#include "platform/linux/journal_run_history.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <systemd/sd-journal.h>
#include <unistd.h>

namespace orvanta::platform::linux_backend {
namespace {

// A journal entry's field by name, without the "NAME=" in front; empty when it has none.
std::string FieldOf(sd_journal* j, const char* name) {
    const void* data = nullptr;
    size_t length = 0;
    if (sd_journal_get_data(j, name, &data, &length) < 0) return {};
    const std::string text(static_cast<const char*>(data), length);
    const auto equals = text.find('=');
    return equals == std::string::npos ? std::string() : text.substr(equals + 1);
}

// Field values go to sd_journal_send as printf arguments: never as the format itself.
int Send(const HistoryEntry& e, const std::string& message) {
    const bool bad = e.outcome == "failed" || e.outcome == "refused";
    return sd_journal_send("MESSAGE=%s", message.c_str(), "MESSAGE_ID=%s", JournalRunHistory::kMessageId,
                           "SYSLOG_IDENTIFIER=%s", JournalRunHistory::kIdentifier, "PRIORITY=%d", bad ? 4 : 6,
                           "ORVANTA_TASK_ID=%s", e.taskId.c_str(), "ORVANTA_TITLE=%s", e.title.c_str(),
                           "ORVANTA_DUE_KEY=%s", e.dueKey.c_str(), "ORVANTA_ACTION=%s", e.action.c_str(),
                           "ORVANTA_OUTCOME=%s", e.outcome.c_str(), "ORVANTA_REASON=%s", e.reason.c_str(),
                           nullptr);
}

} // namespace

std::string HistoryLine(const HistoryEntry& e) {
    std::string line = e.taskId.empty() ? std::string("tasks") : "task " + e.taskId;
    if (!e.title.empty()) line += " \"" + e.title + "\"";
    if (!e.dueKey.empty()) line += " due " + e.dueKey;
    line += ": " + e.outcome;
    if (!e.action.empty()) line += " [" + e.action + "]";
    if (!e.reason.empty()) line += " (" + e.reason + ")";
    return line;
}

void JournalRunHistory::write(const HistoryEntry& entry) {
    const std::string line = HistoryLine(entry);
    const int sent = Send(entry, line);
    if (sent < 0) fallback_.warn("history: " + line);
}

HistoryReading JournalRunHistory::read(const HistoryQuery& query) const {
    sd_journal* j = nullptr;
    const int opened = sd_journal_open(&j, SD_JOURNAL_LOCAL_ONLY);
    if (opened < 0) return {std::string("the journal cannot be opened: ") + std::strerror(-opened), {}};
    struct Close {
        sd_journal* j;
        ~Close() { sd_journal_close(j); }
    } close{j};
    // Opening succeeds with no file to read: no journal here, or none this user may read.
    if (sd_journal_has_runtime_files(j) <= 0 && sd_journal_has_persistent_files(j) <= 0)
        return {"no journal can be read here: no systemd-journald runs, or this user may not read its files "
                "(members of the systemd-journal group may)",
                {}};
    const std::string idMatch = std::string("MESSAGE_ID=") + kMessageId;
    int r = sd_journal_add_match(j, idMatch.data(), idMatch.size());
    // Only this user's entries from this program: a reader of the system journal sees every user's, and
    // any local process can write an entry with our message ID. _UID is set by journald, not the writer.
    const std::string uidMatch = "_UID=" + std::to_string(getuid());
    if (r >= 0) r = sd_journal_add_match(j, uidMatch.data(), uidMatch.size());
    const std::string identifierMatch = std::string("SYSLOG_IDENTIFIER=") + kIdentifier;
    if (r >= 0) r = sd_journal_add_match(j, identifierMatch.data(), identifierMatch.size());
    if (r >= 0 && !query.taskId.empty()) {
        const std::string taskMatch = "ORVANTA_TASK_ID=" + query.taskId;
        r = sd_journal_add_match(j, taskMatch.data(), taskMatch.size());
    }
    if (r >= 0 && query.sinceUtcMs > 0)
        r = sd_journal_seek_realtime_usec(j, std::uint64_t(query.sinceUtcMs) * 1000);
    if (r < 0) return {std::string("the journal cannot be searched: ") + std::strerror(-r), {}};
    HistoryReading reading;
    while ((r = sd_journal_next(j)) > 0) {
        std::uint64_t usec = 0;
        if (sd_journal_get_realtime_usec(j, &usec) < 0) continue;
        if (std::int64_t(usec / 1000) < query.sinceUtcMs) continue;
        reading.entries.push_back({std::int64_t(usec / 1000), FieldOf(j, "ORVANTA_TASK_ID"),
                                   FieldOf(j, "ORVANTA_TITLE"), FieldOf(j, "ORVANTA_DUE_KEY"),
                                   FieldOf(j, "ORVANTA_ACTION"), FieldOf(j, "ORVANTA_OUTCOME"),
                                   FieldOf(j, "ORVANTA_REASON")});
    }
    if (r < 0) reading.error = std::string("the journal could not be read to the end: ") + std::strerror(-r);
    return reading;
}

} // namespace orvanta::platform::linux_backend
