#pragma once

#include "data/data_set.h"
#include "data/task_record.h"
#include "platform/api/clock.h"

#include <functional>
#include <string>

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
    using RowCallback = std::function<void(const ResultRow& row)>;
    void ReadTimedTasks(bool hideDisabled, const RowCallback& onRow) const;
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

  private:
    // Raises the damage message while the file is known to be damaged and still is.
    void refuseWriteIfDamaged() const;

    std::string path_;
    const platform::Clock& clock_;
    int lockWaitMs_ = 0;
    mutable std::string damage_;
    // The last check could not read the file (another program held it): it is checked again before
    // anything is written.
    mutable bool unchecked_ = false;
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
