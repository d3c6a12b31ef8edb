#include "data/placed_timed_read.h"

#include "data/error.h"
#include "data/row_batch_queue.h"
#include "data/sqlite_connection.h"
#include "data/sqlite_sort_order.h"
#include "data/task_statements.h"

#include <optional>
#include <sqlite3.h>
#include <thread>

namespace orvanta::data {
namespace {

// Enough batches for the rows read while the other side sorts the places, so that neither waits.
constexpr std::size_t kBatchesInFlight = 128;
constexpr std::size_t kRowsPerBatch = 256;

bool KeepsWriteAheadLog(SqliteConnection& db) {
    DataSet mode = db.query("PRAGMA journal_mode;");
    return mode.rowCount() > 0 && mode.textAt(0) == "wal";
}

// The producer: the rows in stored order into the queue, and the places when the consumer cannot have
// them on its own.
void ReadRows(const std::string& path, bool hideDisabled, RowBatchQueue& queue) {
    SqliteConnection db(path);
    // Room for the pages of a large file (up to 64 MB) for as long as this connection lives, should it
    // read the places too after the rows. Refused, it only runs slower.
    sqlite3_exec(db.handle(), "PRAGMA cache_size = -65536;", nullptr, nullptr, nullptr);
    const bool ownPlaces = KeepsWriteAheadLog(db);
    db.execute("BEGIN;");
    try {
        if (ownPlaces) queue.deliverPlaces(SortPlaces(db, sql::ReadTimedTaskLastByIdQuery(hideDisabled)));
        std::unique_ptr<RowBatch> batch;
        bool first = true;
        db.queryRows(sql::ReadTimedTasksByIdQuery(hideDisabled), [&](const ResultRow& row) {
            if (first) {
                first = false;
                queue.start(row.columns());
                if (!ownPlaces) queue.snapshotHeld();
            }
            if (!batch) batch = queue.emptyBatch();
            batch->append(row.cells());
            if (batch->rowCount() == kRowsPerBatch) queue.push(std::move(batch));
        });
        if (batch) queue.push(std::move(batch));
        if (!ownPlaces) {
            // A read with no rows still holds the file from its first step.
            if (first) queue.snapshotHeld();
            // The transaction holds the file until the consumer's own read has ended.
            if (!queue.consumerHasPlaces())
                queue.deliverPlaces(SortPlaces(db, sql::ReadTimedTaskLastByIdQuery(hideDisabled)));
        }
        db.execute("COMMIT;");
    } catch (...) {
        try {
            db.execute("ROLLBACK;");
        } catch (...) {
            // Closing the connection ends the read all the same.
        }
        throw;
    }
}

// The consumer's places: its own second read while the producer holds the file, or the producer's.
std::vector<std::size_t> Places(const std::string& path, bool hideDisabled, RowBatchQueue& queue) {
    if (auto delivered = queue.placesOrSnapshot()) return std::move(*delivered);
    std::optional<std::vector<std::size_t>> places;
    try {
        SqliteConnection db(path);
        places = SortPlaces(db, sql::ReadTimedTaskLastByIdQuery(hideDisabled));
    } catch (const Error&) {
        // Most likely a writer waiting to commit, which refuses new readers: the producer's transaction
        // still reads the file, and gives the places instead.
    }
    queue.secondReadEnded(places.has_value());
    return places ? std::move(*places) : queue.deliveredPlaces();
}

} // namespace

void ReadPlacedTimedTasks(const std::string& path, bool hideDisabled, const PlacedRowCallback& onRow) {
    RowBatchQueue queue(kBatchesInFlight);
    std::thread reader([&] {
        try {
            ReadRows(path, hideDisabled, queue);
            queue.finish();
        } catch (const RowBatchQueue::Cancelled&) {
            queue.finish();
        } catch (...) {
            queue.finish(std::current_exception());
        }
    });
    try {
        const std::vector<std::size_t> places = Places(path, hideDisabled, queue);
        std::optional<ResultRow> row;
        std::size_t index = 0;
        while (auto batch = queue.next()) {
            if (!row) row.emplace(queue.columns());
            for (std::size_t i = 0; i < batch->rowCount(); ++i, ++index) {
                if (index == places.size())
                    throw Error("Could not retrieve data: the task list changed while it was read");
                batch->cellsOf(i, row->cells());
                onRow(*row, places[index], places.size());
            }
            queue.recycle(std::move(batch));
        }
        if (index != places.size())
            throw Error("Could not retrieve data: the task list changed while it was read");
    } catch (...) {
        queue.cancel();
        reader.join();
        throw;
    }
    reader.join();
}

} // namespace orvanta::data
