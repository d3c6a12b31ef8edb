#include "data/sqlite_sort_order.h"

#include "data/error.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <sqlite3.h>

namespace orvanta::data {
namespace {

// SQLite's order of storage classes; integers and reals compare with each other by value.
enum class SortClass : std::uint8_t { kNull = 0, kNumber = 1, kText = 2, kBlob = 3 };

// One row's sort key. Texts and blobs carry their first 16 bytes big-endian in two integers, so that
// nearly every comparison is two integer comparisons; only keys whose first 16 bytes are equal are
// compared in full. Padding with zero bytes keeps a key that is a prefix of another before it. Numbers,
// and texts longer than the two integers hold, keep their whole value aside.
struct SortKey {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    std::uint32_t row = 0;   // the row's place in the query, which also breaks ties
    std::uint32_t aside = 0; // index of the whole value aside, for a number or a long text
    std::size_t size = 0;    // of a text or blob
    SortClass kind = SortClass::kNull;
};

// A value kept aside: a long text's or blob's bytes in the shared buffer, or a number.
struct WholeValue {
    std::size_t start = 0;
    std::size_t size = 0;
    // Exact for every 64-bit integer and every double where long double has a 64-bit mantissa; where it
    // has not, integers beyond 2^53 that differ by less than their spacing compare equal, which only
    // turns them into ties kept in stored order.
    long double number = 0;
};

constexpr std::size_t kKeyBytes = 16;

std::uint64_t BigEndianWord(const unsigned char* bytes, std::size_t size) {
    std::uint64_t word = 0;
    for (std::size_t i = 0; i < 8; ++i)
        word = (word << 8) | (i < size ? bytes[i] : 0u);
    return word;
}

struct StatementGuard {
    sqlite3_stmt* stmt = nullptr;
    ~StatementGuard() { sqlite3_finalize(stmt); }
};

} // namespace

std::vector<std::size_t> SortPlaces(SqliteConnection& db, const std::string& oneColumnQuery) {
    StatementGuard guard;
    int rc = sqlite3_prepare_v2(db.handle(), oneColumnQuery.c_str(), -1, &guard.stmt, nullptr);
    if (rc != SQLITE_OK || !guard.stmt)
        throw Error("Error executing SQL" + ErrorDetail(rc, oneColumnQuery, sqlite3_errmsg(db.handle())));

    std::vector<SortKey> keys;
    std::vector<WholeValue> aside;
    std::string bytes;
    for (;;) {
        rc = sqlite3_step(guard.stmt);
        if (rc == SQLITE_DONE) break;
        if (rc == SQLITE_BUSY) throw Error("Could not prepare SQL statement");
        if (rc != SQLITE_ROW)
            throw Error("Could not retrieve data" + ErrorDetail(rc, oneColumnQuery, sqlite3_errmsg(db.handle())));
        SortKey& key = keys.emplace_back();
        key.row = static_cast<std::uint32_t>(keys.size() - 1);
        const int type = sqlite3_column_type(guard.stmt, 0);
        if (type == SQLITE_NULL) continue;
        if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
            key.kind = SortClass::kNumber;
            key.aside = static_cast<std::uint32_t>(aside.size());
            aside.push_back({0, 0,
                             type == SQLITE_INTEGER ? static_cast<long double>(sqlite3_column_int64(guard.stmt, 0))
                                                    : static_cast<long double>(sqlite3_column_double(guard.stmt, 0))});
            continue;
        }
        const void* data = type == SQLITE_TEXT ? static_cast<const void*>(sqlite3_column_text(guard.stmt, 0))
                                               : sqlite3_column_blob(guard.stmt, 0);
        const auto* first = static_cast<const unsigned char*>(data);
        const auto size = static_cast<std::size_t>(sqlite3_column_bytes(guard.stmt, 0));
        key.kind = type == SQLITE_TEXT ? SortClass::kText : SortClass::kBlob;
        key.size = size;
        key.high = BigEndianWord(first, size);
        key.low = size > 8 ? BigEndianWord(first + 8, size - 8) : 0;
        if (size > kKeyBytes) {
            key.aside = static_cast<std::uint32_t>(aside.size());
            aside.push_back({bytes.size(), size, 0});
            bytes.append(static_cast<const char*>(data), size);
        }
    }

    // Two texts whose first 16 bytes are equal: a shorter one is a prefix of the other.
    auto compareInFull = [&](const SortKey& a, const SortKey& b) {
        if (a.size <= kKeyBytes || b.size <= kKeyBytes) return a.size < b.size ? -1 : a.size > b.size ? 1 : 0;
        const WholeValue& x = aside[a.aside];
        const WholeValue& y = aside[b.aside];
        const int c = std::memcmp(bytes.data() + x.start + kKeyBytes, bytes.data() + y.start + kKeyBytes,
                                  std::min(x.size, y.size) - kKeyBytes);
        return c != 0 ? c : x.size < y.size ? -1 : x.size > y.size ? 1 : 0;
    };
    // Every key differs from every other by its row, so an unstable sort gives the stable order.
    std::sort(keys.begin(), keys.end(), [&](const SortKey& a, const SortKey& b) {
        if (a.kind != b.kind) return a.kind < b.kind;
        if (a.kind == SortClass::kNumber) {
            const long double x = aside[a.aside].number;
            const long double y = aside[b.aside].number;
            if (x != y) return x < y;
        } else if (a.kind != SortClass::kNull) {
            if (a.high != b.high) return a.high < b.high;
            if (a.low != b.low) return a.low < b.low;
            if (const int c = compareInFull(a, b); c != 0) return c < 0;
        }
        return a.row < b.row;
    });
    std::vector<std::size_t> places(keys.size());
    for (std::size_t place = 0; place < keys.size(); ++place)
        places[keys[place].row] = place;
    return places;
}

} // namespace orvanta::data
