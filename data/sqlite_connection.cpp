#include "data/sqlite_connection.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>

#include "data/error.h"

namespace orvanta::data {
namespace {

constexpr const char* kDescriptions[] = {
    "Successful result",
    "SQL error or missing database",
    "An internal logic error in SQLite",
    "Access permission denied",
    "Callback routine requested an abort",
    "The database file is locked",
    "A table in the database is locked",
    "A malloc() failed",
    "Attempt to write a readonly database",
    "Operation terminated by sqlite3_interrupt()",
    "Some kind of disk I/O error occurred",
    "The database disk image is malformed",
    "(Internal Only) Table or record not found",
    "Insertion failed because database is full",
    "Unable to open the database file",
    "Database lock protocol error",
    "Database is empty",
    "The database schema changed",
    "Too much data for one row of a table",
    "Abort due to contraint violation",
    "Data type mismatch",
    "Library used incorrectly",
    "Uses OS features not supported on host",
    "Authorization denied",
    "Auxiliary database format error",
    "2nd parameter to sqlite3_bind out of range",
    "File opened that is not a database file",
};

// Finalizes the statement on every way out of a scope.
struct StatementGuard {
    sqlite3_stmt* stmt = nullptr;
    ~StatementGuard() { sqlite3_finalize(stmt); }
};

ColumnKind KindOfDeclaredType(const char* declared, int valueType) {
    if (!declared || !*declared) {
        switch (valueType) {
        case SQLITE_INTEGER: return ColumnKind::Integer;
        case SQLITE_FLOAT: return ColumnKind::Float;
        case SQLITE_BLOB: return ColumnKind::Blob;
        default: return ColumnKind::Text;
        }
    }
    std::string type(declared);
    std::transform(type.begin(), type.end(), type.begin(), [](unsigned char c) { return std::toupper(c); });
    type = type.substr(0, type.find_first_of(" ("));
    if (type == "INTEGER" || type == "BOOLEAN") return ColumnKind::Integer;
    if (type == "NUMERIC" || type == "FLOAT" || type == "DOUBLE" || type == "REAL") return ColumnKind::Float;
    if (type == "BLOB") return ColumnKind::Blob;
    return ColumnKind::Text;
}

std::optional<std::string> ReadValue(sqlite3_stmt* stmt, int i, ColumnKind kind) {
    if (sqlite3_column_type(stmt, i) == SQLITE_NULL) return std::nullopt;
    switch (kind) {
    case ColumnKind::Integer:
        return std::to_string(static_cast<long long>(sqlite3_column_int64(stmt, i)));
    case ColumnKind::Float: {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.17g", sqlite3_column_double(stmt, i));
        return std::string(buffer);
    }
    case ColumnKind::Blob: {
        const void* data = sqlite3_column_blob(stmt, i);
        const int size = sqlite3_column_bytes(stmt, i);
        return std::string(static_cast<const char*>(data), static_cast<std::size_t>(size));
    }
    case ColumnKind::Text:
        break;
    }
    const unsigned char* text = sqlite3_column_text(stmt, i);
    const int size = sqlite3_column_bytes(stmt, i);
    return std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size));
}

} // namespace

std::string ResultCodeDescription(int code) {
    if (code >= 0 && code < static_cast<int>(std::size(kDescriptions))) return kDescriptions[code];
    if (code == SQLITE_ROW) return "sqlite3_step() has another row ready";
    if (code == SQLITE_DONE) return "sqlite3_step() has finished executing";
    return "Unknown SQLite Error Code \"" + std::to_string(code) + "\"";
}

std::string ErrorDetail(int code, const std::string& sql, const std::string& sqliteMessage) {
    if (code == 0) return {};
    return ".\rError [" + std::to_string(code) + "]: " + ResultCodeDescription(code) + ".\r\"" + sql +
           "\": " + sqliteMessage;
}

SqliteConnection::SqliteConnection(const std::string& path) {
    const int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : "unknown error";
        sqlite3_close(db_);
        db_ = nullptr;
        throw Error("Failed to open database \"" + path + "\" : " + message);
    }
    // The statements write hex values between double quotes and rely on SQLite reading a double-quoted
    // word that names no column as a string; say so rather than trust the library's build default.
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 1, nullptr);
}

SqliteConnection::~SqliteConnection() { sqlite3_close_v2(db_); }

void SqliteConnection::execute(const std::string& sql) {
    StatementGuard guard;
    int rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &guard.stmt, nullptr);
    if (rc != SQLITE_OK) throw Error("Error executing SQL" + ErrorDetail(rc, sql, sqlite3_errmsg(db_)));
    if (!guard.stmt) throw Error("Could not prepare SQL statement" + ErrorDetail(rc, sql, sqlite3_errmsg(db_)));
    rc = sqlite3_step(guard.stmt);
    if (rc != SQLITE_DONE)
        throw Error("Error executing SQL statement" + ErrorDetail(rc, sql, sqlite3_errmsg(db_)));
}

DataSet SqliteConnection::query(const std::string& sql) {
    StatementGuard guard;
    int rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &guard.stmt, nullptr);
    if (rc != SQLITE_OK) throw Error("Error executing SQL" + ErrorDetail(rc, sql, sqlite3_errmsg(db_)));
    if (!guard.stmt) throw Error("Could not prepare SQL statement" + ErrorDetail(rc, sql, sqlite3_errmsg(db_)));

    std::vector<DataSet::Column> columns;
    std::vector<DataSet::Row> rows;
    for (;;) {
        rc = sqlite3_step(guard.stmt);
        if (rc == SQLITE_DONE) break;
        if (rc == SQLITE_BUSY) throw Error("Could not prepare SQL statement");
        if (rc != SQLITE_ROW) throw Error("Could not retrieve data" + ErrorDetail(rc, sql, sqlite3_errmsg(db_)));
        const int count = sqlite3_column_count(guard.stmt);
        if (columns.empty()) {
            // Names and kinds are fixed at the first row, as the value kinds of a column without a
            // declared type can only be seen there.
            for (int i = 0; i < count; ++i)
                columns.push_back({sqlite3_column_name(guard.stmt, i),
                                   KindOfDeclaredType(sqlite3_column_decltype(guard.stmt, i),
                                                      sqlite3_column_type(guard.stmt, i))});
        }
        DataSet::Row row;
        row.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) row.push_back(ReadValue(guard.stmt, i, columns[i].kind));
        rows.push_back(std::move(row));
    }
    return DataSet(std::move(columns), std::move(rows));
}

} // namespace orvanta::data
