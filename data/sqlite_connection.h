#pragma once

#include "data/data_set.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>

struct sqlite3;
struct sqlite3_stmt;

namespace orvanta::data {

// One open database file for the span of one store operation. Every failure is raised as an
// orvanta::Error with the message the user will see.
class SqliteConnection {
  public:
    // lockWaitMs: how long a statement waits for another connection's hold on the file to end before it
    // fails as locked.
    explicit SqliteConnection(const std::string& path, int lockWaitMs = 0);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    // Compiles the first statement of the text and runs it to completion.
    void execute(const std::string& sql);
    // Runs a query and holds its whole result in memory.
    DataSet query(const std::string& sql);
    // Runs a query and hands each row to onRow as it is stepped, the values in the same text form as
    // query gives them; nothing of the result is kept. A query without rows never calls onRow.
    void queryRows(const std::string& sql, const std::function<void(const ResultRow&)>& onRow);

    // The file's change counter, which every committed change moves on by one in the usual journal mode;
    // nullopt for a file without one (empty, or in write-ahead-log mode, where it stands still). Read it
    // inside a transaction that holds the file, so that no other program can commit meanwhile.
    std::optional<std::uint32_t> changeCounter();

    // How many pages this connection has written to the file so far.
    int pagesWritten() const;

    sqlite3* handle() const { return db_; }

  private:
    sqlite3* db_ = nullptr;
};

// Finalizes the statement on every way out of a scope.
struct StatementGuard {
    sqlite3_stmt* stmt = nullptr;
    StatementGuard() = default;
    StatementGuard(const StatementGuard&) = delete;
    StatementGuard& operator=(const StatementGuard&) = delete;
    ~StatementGuard();
};

// Runs fn between BEGIN and COMMIT; rolls back and re-raises when fn fails.
template <typename Fn> auto InTransaction(SqliteConnection& db, Fn&& fn) {
    db.execute("BEGIN IMMEDIATE;");
    try {
        if constexpr (std::is_void_v<decltype(fn())>) {
            fn();
            db.execute("COMMIT;");
        } else {
            auto result = fn();
            db.execute("COMMIT;");
            return result;
        }
    } catch (...) {
        try {
            db.execute("ROLLBACK;");
        } catch (...) {
            // The first failure is the one worth reporting; SQLite rolls back on close anyway.
        }
        throw;
    }
}

// The text SQLite's result codes are described by in error messages.
std::string ResultCodeDescription(int code);

// The tail appended to an error message: empty for code 0, else code, description, statement, message.
std::string ErrorDetail(int code, const std::string& sql, const std::string& sqliteMessage);

} // namespace orvanta::data
