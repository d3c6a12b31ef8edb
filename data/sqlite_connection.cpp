#include "data/sqlite_connection.h"

#include "data/error.h"
#include "data/plain_text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <optional>
#include <sqlite3.h>

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

ColumnKind KindOfDeclaredType(const char* declared, int valueType) {
    if (!declared || !*declared) {
        switch (valueType) {
        case SQLITE_INTEGER:
            return ColumnKind::Integer;
        case SQLITE_FLOAT:
            return ColumnKind::Float;
        case SQLITE_BLOB:
            return ColumnKind::Blob;
        default:
            return ColumnKind::Text;
        }
    }
    std::string type = Upper(declared);
    type = type.substr(0, type.find_first_of(" ("));
    if (type == "INTEGER" || type == "BOOLEAN") return ColumnKind::Integer;
    if (type == "NUMERIC" || type == "FLOAT" || type == "DOUBLE" || type == "REAL") return ColumnKind::Float;
    if (type == "BLOB") return ColumnKind::Blob;
    return ColumnKind::Text;
}

// The text of one value of the current row, in the form its column's kind gives it. Numbers are written
// into room (at least kNumberRoom bytes); other text points into the statement and stays valid until the
// next step. The value is fetched once and read through its own accessors rather than through one
// statement accessor per question (its type, its text, its length): a timed-task read of a full
// table asks for some 2.5 million values.
constexpr std::size_t kNumberRoom = 32;

std::string_view ValueText(sqlite3_value* value, ColumnKind kind, char* room, bool utf8Database) {
    const int type = sqlite3_value_type(value);
    if (type == SQLITE_NULL) return {};
    switch (kind) {
    case ColumnKind::Integer: {
        const std::int64_t number = sqlite3_value_int64(value);
        // Most integer columns hold flags and small codes.
        if (number >= 0 && number <= 9) {
            *room = static_cast<char>('0' + number);
            return std::string_view(room, 1);
        }
        return std::string_view(
            room, static_cast<std::size_t>(std::to_chars(room, room + kNumberRoom, number).ptr - room));
    }
    case ColumnKind::Float: {
        const int size = std::snprintf(room, kNumberRoom, "%.17g", sqlite3_value_double(value));
        return std::string_view(room, static_cast<std::size_t>(size));
    }
    case ColumnKind::Blob: {
        const void* data = sqlite3_value_blob(value);
        const int size = sqlite3_value_bytes(value);
        return data ? std::string_view(static_cast<const char*>(data), static_cast<std::size_t>(size))
                    : std::string_view();
    }
    case ColumnKind::Text:
        break;
    }
    if (type == SQLITE_TEXT && utf8Database) {
        // The stored bytes are already the UTF-8 text. Asking for them as text would first copy them to
        // add a terminator this view does not need, for each of a large read's hundreds of thousands.
        const void* data = sqlite3_value_blob(value);
        const int size = sqlite3_value_bytes(value);
        return data ? std::string_view(static_cast<const char*>(data), static_cast<std::size_t>(size))
                    : std::string_view();
    }
    const unsigned char* text = sqlite3_value_text(value);
    const int size = sqlite3_value_bytes(value);
    return text ? std::string_view(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size))
                : std::string_view();
}

// Whether the database keeps its text in UTF-8, as every task database does; false when it cannot tell.
bool IsUtf8Database(sqlite3* db) {
    StatementGuard guard;
    if (sqlite3_prepare_v2(db, "PRAGMA encoding;", -1, &guard.stmt, nullptr) != SQLITE_OK || !guard.stmt)
        return false;
    if (sqlite3_step(guard.stmt) != SQLITE_ROW) return false;
    const unsigned char* name = sqlite3_column_text(guard.stmt, 0);
    return name && std::string_view(reinterpret_cast<const char*>(name)) == "UTF-8";
}

} // namespace

StatementGuard::~StatementGuard() {
    sqlite3_finalize(stmt);
}

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

SqliteConnection::SqliteConnection(const std::string& path, int lockWaitMs) {
    // A connection lives for one store operation on the thread that runs it, so it needs no lock of its
    // own; without one, reading a large result no longer pays a lock per value.
    const int rc = sqlite3_open_v2(path.c_str(), &db_,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : "unknown error";
        sqlite3_close(db_);
        db_ = nullptr;
        throw Error("Failed to open database \"" + path + "\" : " + message);
    }
    // The statements write hex values between double quotes and rely on SQLite reading a double-quoted
    // word that names no column as a string; say so rather than trust the library's build default.
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 1, nullptr);
    if (lockWaitMs > 0) sqlite3_busy_timeout(db_, lockWaitMs);
    // Temporary storage stays SQLite's default: the timed-task read sorts every row by Last, and a sort
    // larger than the page cache spills to temporary files. Kept in memory instead (temp_store MEMORY),
    // each spilled piece is allocated in small blocks, which costs the read of 86,400 tasks about a
    // third more processor time than the files do.
}

SqliteConnection::~SqliteConnection() {
    sqlite3_close_v2(db_);
}

void SqliteConnection::execute(const std::string& sql) {
    StatementGuard guard;
    int rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &guard.stmt, nullptr);
    if (rc != SQLITE_OK) throw Error("Error executing SQL" + ErrorDetail(rc, sql, sqlite3_errmsg(db_)));
    if (!guard.stmt)
        throw Error("Could not prepare SQL statement" + ErrorDetail(rc, sql, sqlite3_errmsg(db_)));
    rc = sqlite3_step(guard.stmt);
    if (rc != SQLITE_DONE)
        throw Error("Error executing SQL statement" + ErrorDetail(rc, sql, sqlite3_errmsg(db_)));
}

DataSet SqliteConnection::query(const std::string& sql) {
    // Without a row there are no columns either, which the result's lookups report as an empty dataset.
    DataSet rows;
    queryRows(sql, [&rows](const ResultRow& row) {
        if (rows.columnCount() == 0) rows = DataSet(row.columns());
        rows.appendRow(row.cells());
    });
    return rows;
}

std::optional<std::uint32_t> SqliteConnection::changeCounter() {
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(db_, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
        !file->pMethods)
        return std::nullopt;
    // Read through SQLite's own handle: opening the file a second time and closing it would drop the
    // locks SQLite holds on it.
    unsigned char header[28];
    if (file->pMethods->xRead(file, header, sizeof header, 0) != SQLITE_OK) return std::nullopt;
    // Bytes 18 and 19 are 1 for the rollback journal, 2 for write-ahead logging.
    if (header[18] != 1 || header[19] != 1) return std::nullopt;
    return static_cast<std::uint32_t>(header[24]) << 24 | static_cast<std::uint32_t>(header[25]) << 16 |
           static_cast<std::uint32_t>(header[26]) << 8 | header[27];
}

int SqliteConnection::pagesWritten() const {
    int written = 0;
    int highest = 0;
    sqlite3_db_status(db_, SQLITE_DBSTATUS_CACHE_WRITE, &written, &highest, 0);
    return written;
}

void SqliteConnection::queryRows(const std::string& sql, const std::function<void(const ResultRow&)>& onRow) {
    StatementGuard guard;
    int rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &guard.stmt, nullptr);
    if (rc != SQLITE_OK) throw Error("Error executing SQL" + ErrorDetail(rc, sql, sqlite3_errmsg(db_)));
    if (!guard.stmt)
        throw Error("Could not prepare SQL statement" + ErrorDetail(rc, sql, sqlite3_errmsg(db_)));

    std::optional<ResultRow> row;
    bool utf8Database = false;
    std::vector<ColumnKind> kinds;
    std::vector<char> numbers;
    for (;;) {
        rc = sqlite3_step(guard.stmt);
        if (rc == SQLITE_DONE) break;
        if (rc == SQLITE_BUSY) throw Error("Could not prepare SQL statement");
        if (rc != SQLITE_ROW)
            throw Error("Could not retrieve data" + ErrorDetail(rc, sql, sqlite3_errmsg(db_)));
        if (!row) {
            // Names and kinds are fixed at the first row, as the value kinds of a column without a
            // declared type can only be seen there.
            const int count = sqlite3_column_count(guard.stmt);
            std::vector<DataSet::Column> columns;
            for (int i = 0; i < count; ++i) {
                kinds.push_back(KindOfDeclaredType(sqlite3_column_decltype(guard.stmt, i),
                                                   sqlite3_column_type(guard.stmt, i)));
                columns.push_back({sqlite3_column_name(guard.stmt, i), kinds.back()});
            }
            row.emplace(std::move(columns));
            numbers.resize(kinds.size() * kNumberRoom);
            utf8Database = IsUtf8Database(db_);
        }
        const std::span<std::string_view> cells = row->cells();
        for (std::size_t i = 0; i < kinds.size(); ++i)
            cells[i] = ValueText(sqlite3_column_value(guard.stmt, static_cast<int>(i)), kinds[i],
                                 numbers.data() + i * kNumberRoom, utf8Database);
        onRow(*row);
    }
}

} // namespace orvanta::data
