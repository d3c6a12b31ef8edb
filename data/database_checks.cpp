#include "data/database_checks.h"

#include "data/plain_text.h"
#include "data/sqlite_connection.h"
#include "data/task_statements.h"

#include <cctype>
#include <sqlite3.h>
#include <string_view>

namespace orvanta::data {
namespace {

// One read-only connection that never creates a file; closed on every way out.
class ReadOnlyDatabase {
  public:
    explicit ReadOnlyDatabase(const std::string& path, int lockWaitMs = 0) {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            error_ = db_ ? sqlite3_errmsg(db_) : "cannot be opened";
            sqlite3_close(db_);
            db_ = nullptr;
            return;
        }
        if (lockWaitMs > 0) sqlite3_busy_timeout(db_, lockWaitMs);
    }
    ~ReadOnlyDatabase() { sqlite3_close(db_); }
    ReadOnlyDatabase(const ReadOnlyDatabase&) = delete;
    ReadOnlyDatabase& operator=(const ReadOnlyDatabase&) = delete;

    // Runs the query, handing each row's first two columns as text to onRow until it returns false.
    // Returns SQLite's message when the query failed, else empty.
    template <typename OnRow> std::string rows(const char* sql, OnRow&& onRow) {
        if (!db_) return error_;
        StatementGuard guard;
        sqlite3_stmt*& stmt = guard.stmt;
        std::string failure;
        if (sqlite3_prepare_v2(db_, sql, -1, &stmt, nullptr) != SQLITE_OK) {
            failure = sqlite3_errmsg(db_);
        } else {
            int rc;
            while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
                auto text = [&](int column) {
                    const unsigned char* value = sqlite3_column_text(stmt, column);
                    return value ? std::string(reinterpret_cast<const char*>(value)) : std::string();
                };
                if (!onRow(text(0), sqlite3_column_count(stmt) > 1 ? text(1) : std::string())) break;
            }
            if (rc != SQLITE_ROW && rc != SQLITE_DONE) failure = sqlite3_errmsg(db_);
        }
        if (!failure.empty()) lastCode_ = sqlite3_errcode(db_);
        return failure;
    }
    // Whether the last failure was another connection holding the file, which says nothing of its state.
    bool heldElsewhere() const { return lastCode_ == SQLITE_BUSY || lastCode_ == SQLITE_LOCKED; }

  private:
    sqlite3* db_ = nullptr;
    std::string error_;
    int lastCode_ = SQLITE_OK;
};

bool IsSqliteOwn(std::string_view name) {
    return name.size() > 7 && SameIgnoringCase(name.substr(0, 7), "sqlite_");
}

// SQL text compared as SQLite keeps it: spacing, letter case and a final ";" do not count.
std::string WithoutSpacesOrCase(const std::string& text) {
    std::string out;
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c)) && c != ';')
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool Exists(const std::string& path) {
    sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
    int exists = 0;
    return vfs && vfs->xAccess(vfs, path.c_str(), SQLITE_ACCESS_EXISTS, &exists) == SQLITE_OK && exists;
}

} // namespace

std::string DatabaseDamage(const std::string& path, int lockWaitMs, bool* held) {
    if (held) *held = false;
    if (!Exists(path)) return {};
    ReadOnlyDatabase db(path, lockWaitMs);
    std::string finding;
    const std::string failure =
        db.rows("PRAGMA quick_check;", [&](const std::string& line, const std::string&) {
            finding = line;
            return false; // the first finding names the damage well enough
        });
    if (!failure.empty() && db.heldElsewhere()) {
        if (held) *held = true;
        return {};
    }
    if (!failure.empty()) return failure;
    return finding == "ok" ? std::string() : (finding.empty() ? "no answer to the check" : finding);
}

std::string DamagedDatabaseMessage(const std::string& path, const std::string& damage) {
    return "The task database \"" + path + "\" is damaged (" + damage +
           "). Nothing is written to it, so that what is left of it stays as it is. To get your tasks back, "
           "end the program, move that file elsewhere, start the program again and import your latest "
           "backup (a .krlbak file) with Tools > Import Tasks File.";
}

std::string ObjectBeyondTaskTable(const std::string& path) {
    ReadOnlyDatabase db(path);
    std::string extra;
    const std::string failure = db.rows(
        "SELECT type, name FROM sqlite_master;", [&](const std::string& type, const std::string& name) {
            const bool taskTable = type == "table" && SameIgnoringCase(name, "tasklist");
            // SQLite's own tables and the indexes it makes for constraints run nothing.
            const bool bookkeeping = (type == "table" || type == "index") && IsSqliteOwn(name);
            if (taskTable || bookkeeping) return true;
            extra = type + " " + name;
            return false;
        });
    if (!failure.empty()) return "unreadable schema: " + failure;
    if (!extra.empty()) return extra;
    // The task table is taken whole, so it must be the one this program makes: a constraint or default
    // of a backup's own would come along into the user's file.
    std::string definition;
    const std::string tableFailure =
        db.rows("SELECT sql, name FROM sqlite_master WHERE type = 'table' AND lower(name) = 'tasklist';",
                [&](const std::string& text, const std::string&) {
                    definition = text;
                    return false;
                });
    if (!tableFailure.empty()) return "unreadable schema: " + tableFailure;
    if (!definition.empty() &&
        WithoutSpacesOrCase(definition) != WithoutSpacesOrCase(sql::TemplateCreateTableStatement()))
        return "a task table defined otherwise";
    return {};
}

} // namespace orvanta::data
