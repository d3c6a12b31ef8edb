#pragma once

#include "data/data_set.h"
#include "data/task_record.h"
#include "platform/api/clock.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvanta::data {

// The only code that issues SQL against task.db. Every operation opens the file, runs its statements
// and closes it again; nothing is kept between operations.
class TaskStore {
  public:
    // lockWaitMs: how long each statement waits for another program's hold on the file (a second
    // orvantactl writing, sqlite3 in a transaction) before it fails as locked. The window waits briefly,
    // as its thread cannot take events meanwhile; a command can wait longer.
    TaskStore(std::string databasePath, const platform::Clock& clock, int lockWaitMs = 0);

    const std::string& path() const { return path_; }

    // Runs SQLite's quick check on the file. A damaged file raises the message that names it and says
    // how to restore the tasks, and is remembered: from then on every operation that writes raises that
    // message instead of touching the file, until a later check finds it sound again (an import or the
    // user replaced it). Reading goes on.
    void checkIntegrity() const;

    void EnsureTaskTable() const;
    DataSet ReadTimedTasks(bool hideDisabled) const;
    // The same rows in the same order, handed over one by one as the query is stepped, for a reader
    // that keeps its own copy of them (the list rebuild); nothing of the result is held here. The table
    // is made sure of first, as by EnsureTaskTable, on the same connection: a rebuild opens the file once.
    // changeCounter, when given, receives the file's change counter as of the read (see ChangeCounter).
    using RowCallback = std::function<void(const ResultRow& row)>;
    void ReadTimedTasks(bool hideDisabled, const RowCallback& onRow,
                        std::optional<std::uint32_t>* changeCounter = nullptr) const;
    // The row with this ID as that read would hand it over; false, without a call, when the read would
    // leave it out (no such task, a hotkey task, a disabled one with hideDisabled).
    bool ReadTimedTask(const std::string& id, bool hideDisabled, const RowCallback& onRow) const;
    // How many of count tasks, in the order of that read (idAt gives the ID of each), the read puts
    // before the task with this ID. Only a few of them are looked at, so the answer holds only when they
    // are in that order.
    std::size_t TimedTaskPlaceAmong(const std::string& id, std::size_t count,
                                    const std::function<std::string(std::size_t)>& idAt) const;
    DataSet ReadHotkeyTasks() const;
    // Returns the new task's ID as decimal text. Both statements commit together or not at all.
    std::string InsertTask(const TaskRecord& task) const;
    void UpdateTask(const std::string& id, const TaskRecord& task) const;
    void UpdateTaskKeepOrder(const std::string& id, const TaskRecord& task) const;
    void SetTaskEnabled(const std::string& id, bool enabled) const;
    void DeleteTask(const std::string& id) const;
    void DeleteAllTimedTasks() const;
    void DeleteDisabledTimedTasks() const;
    void DeleteAllHotkeyTasks() const;
    void DeleteDisabledHotkeyTasks() const;
    // Copies the task as a once task at the given moment with the given title; the original row stays.
    void PostponeTask(const std::string& id, const std::string& newTitle, int year, int month, int day,
                      const std::string& time) const;

    // Every task, in ID order; for tools that need the whole table.
    DataSet readAllTasks() const;

    // A write of this store to one row, so that a reader holding the rows from before can read just
    // that one again rather than every task.
    struct RowWrite {
        std::string id;
        bool lastSet = false; // a new row, or its Last set anew: its place in the read may have changed
        // The file's change counter just before the write and just after it.
        std::optional<std::uint32_t> counterBefore, counterAfter;
    };
    // A point in this store's writes, to ask RowWritesSince about later.
    std::uint64_t writeMark() const { return writeCount_; }
    // The writes since mark, oldest first, when the file changed by them alone after a read that saw the
    // change counter counterAtMark; nullopt when one of them was not to a single known row (a bulk
    // delete, a postponement, a write that failed), when another program wrote in between, when the
    // file keeps no counter, or when they are more than are kept.
    std::optional<std::vector<RowWrite>> RowWritesSince(std::uint64_t mark,
                                                        std::optional<std::uint32_t> counterAtMark) const;
    // The file's change counter now, which every committed change moves on; nullopt when the file keeps
    // none (see SqliteConnection::changeCounter).
    std::optional<std::uint32_t> ChangeCounter() const;

  private:
    // Runs a write in a transaction of its own, on the connection it is given, and notes what it returns
    // it wrote, or a write to no known row when it fails.
    template <typename Write> void Noted(const Write& write) const;
    // One statement over many rows.
    void RunBulkWrite(const std::string& statement) const;
    // Raises the damage message while the file is known to be damaged and still is.
    void refuseWriteIfDamaged() const;

    std::string path_;
    const platform::Clock& clock_;
    int lockWaitMs_ = 0;
    mutable std::string damage_;
    // The last check could not read the file (another program held it): it is checked again before
    // anything is written.
    mutable bool unchecked_ = false;
    mutable std::uint64_t writeCount_ = 0;
    mutable std::deque<std::optional<RowWrite>> recentWrites_; // the last writes, newest at the back
};

// Replaces the destination database's content with the source's, through SQLite's online backup.
void CopyDatabase(const std::string& sourcePath, const std::string& destinationPath);

// True when the file opens as a sound SQLite database holding a tasklist table of the 29 task columns
// and nothing else of its own: no trigger, view or other table or index.
bool IsTaskDatabase(const std::string& path);

// Writes the built-in template database to the path when no file exists there. Returns true when it
// wrote one; an existing file is never touched.
bool SeedTaskDatabase(const std::string& path);

} // namespace orvanta::data
