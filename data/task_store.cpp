#include "data/task_store.h"

#include "data/database_checks.h"
#include "data/dos_date_time.h"
#include "data/error.h"
#include "data/plain_text.h"
#include "data/settings/text_file.h"
#include "data/sqlite_connection.h"
#include "data/task_database_template.h"
#include "data/task_statements.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sqlite3.h>

namespace orvanta::data {
namespace {

// IDs travel as decimal text and are concatenated into statements; anything else must never get there.
const std::string& CheckedId(const std::string& id) {
    const bool digits = !id.empty() && id.size() <= 19 &&
                        std::all_of(id.begin(), id.end(), [](unsigned char c) { return std::isdigit(c); });
    if (!digits) throw Error("Invalid task ID: \"" + id + "\"");
    return id;
}

void EnsureTaskTableOn(SqliteConnection& db) {
    if (db.query(sql::FindTableQuery()).rowCount() == 0) db.execute(sql::CreateTableStatement());
}

std::optional<TaskStore::RowWrite> Written(const std::string& id, bool lastSet) {
    TaskStore::RowWrite write;
    // As the row gives its ID back: "007" is task 7.
    const std::size_t digit = id.find_first_not_of('0');
    write.id = digit == std::string::npos ? "0" : id.substr(digit);
    write.lastSet = lastSet;
    return write;
}

} // namespace

TaskStore::TaskStore(std::string databasePath, const platform::Clock& clock, int lockWaitMs)
    : path_(std::move(databasePath)), clock_(clock), lockWaitMs_(lockWaitMs) {}

void TaskStore::checkIntegrity() const {
    bool held = false;
    const std::string found = DatabaseDamage(path_, lockWaitMs_, &held);
    // A check another program kept from reading the file learns nothing: damage found before stands.
    if (held) {
        unchecked_ = true;
    } else {
        unchecked_ = false;
        damage_ = found;
    }
    if (!damage_.empty()) throw Error(DamagedDatabaseMessage(path_, damage_));
}

void TaskStore::refuseWriteIfDamaged() const {
    if (damage_.empty() && !unchecked_) return;
    checkIntegrity();
    // Still not checked: writing now, as the other program lets go, would go into a file nobody looked at.
    if (unchecked_)
        throw Error("The task database \"" + path_ +
                    "\" is locked by another program, so it could not be checked; nothing was written. Try "
                    "again once that program is done with it.");
}

void TaskStore::EnsureTaskTable() const {
    // A damaged file may have lost its table; making a new one would write into what is left.
    if (unchecked_) {
        try {
            checkIntegrity();
        } catch (const Error&) {
            return;
        }
    }
    if (!damage_.empty() || unchecked_) return;
    SqliteConnection db(path_, lockWaitMs_);
    EnsureTaskTableOn(db);
}

DataSet TaskStore::ReadTimedTasks(bool hideDisabled) const {
    SqliteConnection db(path_, lockWaitMs_);
    return db.query(sql::ReadTimedTasksQuery(hideDisabled));
}

void TaskStore::ReadTimedTasks(bool hideDisabled, const RowCallback& onRow,
                               std::optional<std::uint32_t>* changeCounter) const {
    SqliteConnection db(path_, lockWaitMs_);
    if (damage_.empty() && !unchecked_) EnsureTaskTableOn(db);
    if (!changeCounter) {
        db.queryRows(sql::ReadTimedTasksQuery(hideDisabled), onRow);
        return;
    }
    // The counter is read while the read still holds the file, so it is the one of the rows read.
    db.execute("BEGIN;");
    try {
        db.queryRows(sql::ReadTimedTasksQuery(hideDisabled), onRow);
        *changeCounter = db.changeCounter();
        // A trigger would write rows no one was told of, and an index could order the read its own way:
        // with either in the file, the rows read say nothing about what a write leaves.
        if (db.query(sql::ObjectsBeyondTaskTableQuery()).textAt(0) != "0") changeCounter->reset();
        db.execute("COMMIT;");
    } catch (...) {
        try {
            db.execute("ROLLBACK;");
        } catch (...) {
            // Closing the connection ends the read anyway.
        }
        throw;
    }
}

std::optional<std::uint32_t> TaskStore::ChangeCounter() const {
    SqliteConnection db(path_, lockWaitMs_);
    db.execute("BEGIN;");
    // Any read takes hold of the file for the rest of the transaction.
    db.query("SELECT COUNT(*) FROM sqlite_master;");
    const std::optional<std::uint32_t> counter = db.changeCounter();
    db.execute("COMMIT;");
    return counter;
}

bool TaskStore::ReadTimedTask(const std::string& id, bool hideDisabled, const RowCallback& onRow) const {
    SqliteConnection db(path_, lockWaitMs_);
    bool found = false;
    db.queryRows(sql::ReadTimedTaskQuery(CheckedId(id), hideDisabled), [&](const ResultRow& row) {
        found = true;
        onRow(row);
    });
    return found;
}

std::size_t TaskStore::TimedTaskPlaceAmong(const std::string& id, std::size_t count,
                                           const std::function<std::string(std::size_t)>& idAt) const {
    SqliteConnection db(path_, lockWaitMs_);
    auto before = [&](const std::string& a, const std::string& b) {
        DataSet result = db.query(sql::TimedTaskSortsBeforeQuery(CheckedId(a), CheckedId(b)));
        if (result.rowCount() == 0)
            throw Error("Task " + a + " or " + b + " is no longer in the task database");
        return result.textAt(0) == "1";
    };
    // The first of them that the read does not put before the task.
    std::size_t low = 0;
    std::size_t high = count;
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (before(idAt(middle), id))
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

std::optional<std::vector<TaskStore::RowWrite>>
TaskStore::RowWritesSince(std::uint64_t mark, std::optional<std::uint32_t> counterAtMark) const {
    const std::uint64_t count = writeCount_ - mark;
    if (mark > writeCount_ || count > recentWrites_.size() || !counterAtMark) return std::nullopt;
    std::vector<RowWrite> writes;
    std::optional<std::uint32_t> counter = counterAtMark;
    for (auto it = recentWrites_.end() - static_cast<std::ptrdiff_t>(count); it != recentWrites_.end();
         ++it) {
        // Each write must have found the file as the one before left it.
        if (!*it || !(*it)->counterBefore || (*it)->counterBefore != counter) return std::nullopt;
        counter = (*it)->counterAfter;
        writes.push_back(**it);
    }
    return writes;
}

template <typename Write> void TaskStore::Noted(const Write& write) const {
    SqliteConnection db(path_, lockWaitMs_);
    // Kept short: a reader that has missed more writes than this reads every task anyway.
    constexpr std::size_t kWritesKept = 64;
    auto note = [&](std::optional<RowWrite> w) {
        ++writeCount_;
        recentWrites_.push_back(std::move(w));
        if (recentWrites_.size() > kWritesKept) recentWrites_.pop_front();
    };
    std::optional<RowWrite> what;
    try {
        // Held from the start, so that no other program commits between the counter and the write.
        std::optional<std::uint32_t> before;
        InTransaction(db, [&] {
            before = db.changeCounter();
            what = write(db);
        });
        // A write that changed nothing (its task gone, a value set to what it was) leaves the file, and
        // its counter, as they were; only pages written at the commit move it on.
        if (what) {
            what->counterBefore = before;
            if (before) what->counterAfter = db.pagesWritten() > 0 ? *before + 1 : *before;
        }
    } catch (...) {
        note(std::nullopt);
        throw;
    }
    note(std::move(what));
}

DataSet TaskStore::ReadHotkeyTasks() const {
    SqliteConnection db(path_, lockWaitMs_);
    return db.query(sql::ReadHotkeyTasksQuery());
}

DataSet TaskStore::readAllTasks() const {
    SqliteConnection db(path_, lockWaitMs_);
    return db.query("SELECT * FROM tasklist ORDER BY ID;");
}

std::string TaskStore::InsertTask(const TaskRecord& task) const {
    refuseWriteIfDamaged();
    std::string id;
    // Both statements commit together: a failed read-back must not leave a task the caller was told
    // could not be saved.
    Noted([&](SqliteConnection& db) {
        db.execute(sql::InsertStatement(task, DosDateTime(clock_.now())));
        DataSet result = db.query(sql::NewestIdQuery());
        id = result.fieldAsText("ID");
        return Written(id, true);
    });
    return id;
}

void TaskStore::UpdateTask(const std::string& id, const TaskRecord& task) const {
    refuseWriteIfDamaged();
    Noted([&](SqliteConnection& db) {
        db.execute(sql::UpdateStatement(CheckedId(id), task, DosDateTime(clock_.now())));
        return Written(id, true);
    });
}

void TaskStore::UpdateTaskKeepOrder(const std::string& id, const TaskRecord& task) const {
    refuseWriteIfDamaged();
    Noted([&](SqliteConnection& db) {
        db.execute(sql::UpdateKeepOrderStatement(CheckedId(id), task));
        return Written(id, false);
    });
}

void TaskStore::SetTaskEnabled(const std::string& id, bool enabled) const {
    refuseWriteIfDamaged();
    Noted([&](SqliteConnection& db) {
        db.execute(sql::SetEnabledStatement(CheckedId(id), enabled));
        return Written(id, false);
    });
}

void TaskStore::DeleteTask(const std::string& id) const {
    refuseWriteIfDamaged();
    Noted([&](SqliteConnection& db) {
        db.execute(sql::DeleteStatement(CheckedId(id)));
        return Written(id, false);
    });
}

void TaskStore::DeleteAllTimedTasks() const {
    RunBulkWrite(sql::DeleteAllTimedStatement());
}

void TaskStore::DeleteDisabledTimedTasks() const {
    RunBulkWrite(sql::DeleteDisabledTimedStatement());
}

void TaskStore::DeleteAllHotkeyTasks() const {
    RunBulkWrite(sql::DeleteAllHotkeyStatement());
}

void TaskStore::DeleteDisabledHotkeyTasks() const {
    RunBulkWrite(sql::DeleteDisabledHotkeyStatement());
}

void TaskStore::RunBulkWrite(const std::string& statement) const {
    refuseWriteIfDamaged();
    Noted([&](SqliteConnection& db) {
        db.execute(statement);
        return std::optional<RowWrite>();
    });
}

void TaskStore::PostponeTask(const std::string& id, const std::string& newTitle, int year, int month, int day,
                             const std::string& time) const {
    refuseWriteIfDamaged();
    // A duplicate without its postponed moment would fire again at the original time: both commit together.
    Noted([&](SqliteConnection& db) {
        db.execute(sql::DuplicateStatement(CheckedId(id)));
        db.execute(sql::PostponeUpdateStatement(newTitle, year, month, day, time, DosDateTime(clock_.now())));
        return std::optional<RowWrite>();
    });
}

void CopyDatabase(const std::string& sourcePath, const std::string& destinationPath) {
    SqliteConnection source(sourcePath);
    SqliteConnection destination(destinationPath);
    sqlite3_backup* backup = sqlite3_backup_init(destination.handle(), "main", source.handle(), "main");
    if (!backup) throw Error("Could not initialize backup");
    const int rc = sqlite3_backup_step(backup, -1);
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        throw Error("Could not copy database" +
                    ErrorDetail(rc, "backup", sqlite3_errmsg(destination.handle())));
}

bool IsTaskDatabase(const std::string& path) {
    static const std::set<std::string> kColumns = {
        "ID",        "ENABLED",  "TITLE",   "DATEMODE", "YEAR",      "MONTH", "DAY",   "SUN",
        "MON",       "TUE",      "WED",     "THU",      "FRI",       "SAT",   "TIME",  "LOOP",
        "ENDTIME",   "HOTKEY1",  "HOTKEY2", "HKLOOP",   "COUNTDOWN", "EVENT", "MACRO", "LAUNCH",
        "TERMINATE", "OPENFILE", "OPENURL", "MESSAGE",  "LAST"};
    sqlite3* db = nullptr;
    // Read-only, so checking a path never creates or changes a file.
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    std::set<std::string> found;
    int count = 0;
    {
        StatementGuard guard;
        if (sqlite3_prepare_v2(db, "PRAGMA table_info(tasklist);", -1, &guard.stmt, nullptr) == SQLITE_OK) {
            while (sqlite3_step(guard.stmt) == SQLITE_ROW) {
                found.insert(Upper(reinterpret_cast<const char*>(sqlite3_column_text(guard.stmt, 1))));
                ++count;
            }
        }
    }
    sqlite3_close(db);
    // Triggers or views in a copied file would run hidden statements against the tasks once it is the
    // task database; a damaged file would lose tasks on the way.
    return count == 29 && found == kColumns && ObjectBeyondTaskTable(path).empty() &&
           DatabaseDamage(path).empty();
}

bool SeedTaskDatabase(const std::string& path) {
    const auto bytes = TaskDatabaseTemplate();
    return ini::PlaceNewFile(path,
                             std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

} // namespace orvanta::data
