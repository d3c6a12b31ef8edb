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

void TaskStore::ReadTimedTasks(bool hideDisabled, const RowCallback& onRow) const {
    SqliteConnection db(path_, lockWaitMs_);
    if (damage_.empty() && !unchecked_) EnsureTaskTableOn(db);
    db.queryRows(sql::ReadTimedTasksQuery(hideDisabled), onRow);
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
    SqliteConnection db(path_, lockWaitMs_);
    // Both statements commit together: a failed read-back must not leave a task the caller was told
    // could not be saved.
    return InTransaction(db, [&] {
        db.execute(sql::InsertStatement(task, DosDateTime(clock_.now())));
        DataSet result = db.query(sql::NewestIdQuery());
        return result.fieldAsText("ID");
    });
}

void TaskStore::UpdateTask(const std::string& id, const TaskRecord& task) const {
    refuseWriteIfDamaged();
    SqliteConnection db(path_, lockWaitMs_);
    db.execute(sql::UpdateStatement(CheckedId(id), task, DosDateTime(clock_.now())));
}

void TaskStore::UpdateTaskKeepOrder(const std::string& id, const TaskRecord& task) const {
    refuseWriteIfDamaged();
    SqliteConnection db(path_, lockWaitMs_);
    db.execute(sql::UpdateKeepOrderStatement(CheckedId(id), task));
}

void TaskStore::SetTaskEnabled(const std::string& id, bool enabled) const {
    refuseWriteIfDamaged();
    SqliteConnection db(path_, lockWaitMs_);
    db.execute(sql::SetEnabledStatement(CheckedId(id), enabled));
}

void TaskStore::DeleteTask(const std::string& id) const {
    refuseWriteIfDamaged();
    SqliteConnection db(path_, lockWaitMs_);
    db.execute(sql::DeleteStatement(CheckedId(id)));
}

void TaskStore::DeleteAllTimedTasks() const {
    refuseWriteIfDamaged();
    SqliteConnection db(path_, lockWaitMs_);
    db.execute(sql::DeleteAllTimedStatement());
}

void TaskStore::DeleteDisabledTimedTasks() const {
    refuseWriteIfDamaged();
    SqliteConnection db(path_, lockWaitMs_);
    db.execute(sql::DeleteDisabledTimedStatement());
}

void TaskStore::DeleteAllHotkeyTasks() const {
    refuseWriteIfDamaged();
    SqliteConnection db(path_, lockWaitMs_);
    db.execute(sql::DeleteAllHotkeyStatement());
}

void TaskStore::DeleteDisabledHotkeyTasks() const {
    refuseWriteIfDamaged();
    SqliteConnection db(path_, lockWaitMs_);
    db.execute(sql::DeleteDisabledHotkeyStatement());
}

void TaskStore::PostponeTask(const std::string& id, const std::string& newTitle, int year, int month, int day,
                             const std::string& time) const {
    refuseWriteIfDamaged();
    SqliteConnection db(path_, lockWaitMs_);
    // A duplicate without its postponed moment would fire again at the original time.
    InTransaction(db, [&] {
        db.execute(sql::DuplicateStatement(CheckedId(id)));
        db.execute(sql::PostponeUpdateStatement(newTitle, year, month, day, time, DosDateTime(clock_.now())));
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
