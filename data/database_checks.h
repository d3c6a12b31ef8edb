#pragma once

#include <string>

namespace orvanta::data {

// What SQLite's quick check finds wrong with the database file, in its words; empty when the file is
// sound or does not exist (a missing file is made afresh, not damaged). Opens the file read-only. A file
// another connection still holds after lockWaitMs is not known to be damaged and answers empty, with
// held set: a write that follows fails as locked, which is what the user must be told, and the file
// is to be checked again before anything writes to it.
std::string DatabaseDamage(const std::string& path, int lockWaitMs = 0, bool* held = nullptr);

// The message the user reads about a damaged task database: which file, what is wrong, that it is left
// alone, and how to get the tasks back from a backup.
std::string DamagedDatabaseMessage(const std::string& path, const std::string& damage);

// The first schema object of the database beyond the task table and SQLite's own bookkeeping (a
// trigger, a view, another table or index), as "<type> <name>"; empty when there is none. A backup must
// hold nothing that could run or hide statements once it is the task database.
std::string ObjectBeyondTaskTable(const std::string& path);

} // namespace orvanta::data
