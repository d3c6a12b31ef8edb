#pragma once

#include <cstdint>
#include <optional>

namespace orvanta::scheduler {

// What identifies one state of the task file: a file written again or put back in place has a new
// modification time or size. exists is false while the file is missing (between a delete and a restore).
struct FileStamp {
    bool exists = false;
    std::int64_t modifiedNs = 0;
    std::int64_t size = 0;
    bool operator==(const FileStamp&) const = default;
};

// Decides when the program takes in a change to its task file made by someone else (sqlite3, a restored
// backup, an older companion). A burst of changes is taken in once, a quiet moment after its last change;
// never while a pass or an editor holds the table (the change waits until it is free); and not at all
// when the file is as it was at the last rebuild, so the program's own writes, which it has rebuilt for
// already, or a change undone within the burst, cost nothing. Times are milliseconds of a steady clock.
class OutsideChangeGate {
  public:
    explicit OutsideChangeGate(std::int64_t quietMs) : quietMs_(quietMs) {}

    enum class Step {
        kNothing, // nothing is waiting
        kWait,    // a change waits: ask again at nextCheck()
        kRebuild, // rebuild now, then tell Rebuilt()
    };

    // The file as the program read it last (at start, and after every rebuild of its own).
    void Rebuilt(const FileStamp& stamp) {
        taken_ = stamp;
        pendingSince_.reset();
    }
    // Something in the folder changed at now.
    void Changed(std::int64_t now);
    // What to do at now, with the table held or free and the file as it is now.
    Step Check(std::int64_t now, bool held, const FileStamp& current);
    // When to ask again; nullopt when nothing is waiting.
    std::optional<std::int64_t> nextCheck() const;

  private:
    std::int64_t quietMs_;
    std::optional<std::int64_t> pendingSince_; // the last change of the waiting burst
    std::optional<FileStamp> taken_;
};

} // namespace orvanta::scheduler
