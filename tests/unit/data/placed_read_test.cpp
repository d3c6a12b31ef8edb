// The timed-task read that sorts only Last itself: its order must be SQLite's own ORDER BY, and a read
// on its own thread must end cleanly whichever side fails.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <sqlite3.h>
#include <stdexcept>
#include <thread>

#include "data/error.h"
#include "data/row_batch_queue.h"
#include "data/sqlite_connection.h"
#include "data/sqlite_sort_order.h"
#include "data/task_store.h"
#include "platform/fake/fake_clock.h"
#include "tests/support/temp_folder.h"

namespace orvanta::data {
namespace {

// Random values of every storage class, many of them equal or sharing long prefixes, in a column
// without a type (so that each keeps the class it was given).
void FillMixedValues(SqliteConnection& db, std::size_t rows, unsigned seed) {
    db.execute("CREATE TABLE t (id INTEGER PRIMARY KEY, v);");
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const std::string prefixes[] = {"", "1500000", "0123456789abcdef", "0123456789abcdefX", "z"};
    InTransaction(db, [&] {
        for (std::size_t i = 0; i < rows; ++i) {
            std::string value;
            switch (pick(0, 6)) {
            case 0: value = "NULL"; break;
            case 1: value = std::to_string(pick(-5, 5)); break;           // integers, many equal
            case 2: value = std::to_string(pick(-5, 5)) + ".5"; break;    // reals between them
            case 3: value = "X'" + std::string(pick(0, 3), 'A') + "0'"; break; // blobs (even hex digits)
            default: {
                // Texts: shared prefixes up to and beyond 16 bytes, then a short random tail.
                std::string text = prefixes[pick(0, 4)];
                for (int n = pick(0, 3); n > 0; --n)
                    text += static_cast<char>('0' + pick(0, 9));
                value = "'" + text + "'";
            }
            }
            if (value.rfind("X'", 0) == 0 && (value.size() - 3) % 2 != 0) value = "X'00'";
            db.execute("INSERT INTO t (v) VALUES (" + value + ");");
        }
    });
}

TEST(SortPlaces, EqualsSqlitesOwnOrderByWithTiesInStoredOrder) {
    for (const unsigned seed : {1u, 2u, 3u}) {
        test::TempFolder folder;
        SqliteConnection db(folder.file("x.db"));
        FillMixedValues(db, 600, seed);

        const std::vector<std::size_t> places = SortPlaces(db, "SELECT v FROM t ORDER BY id;");
        // SQLite's own sort is the reference; the id makes its order of equal values the stored order.
        std::map<std::string, std::size_t> expected;
        std::size_t place = 0;
        db.queryRows("SELECT id FROM t ORDER BY v, id;",
                     [&](const ResultRow& row) { expected[std::string(row.textAt(0))] = place++; });
        std::size_t index = 0;
        ASSERT_EQ(places.size(), expected.size());
        db.queryRows("SELECT id FROM t ORDER BY id;", [&](const ResultRow& row) {
            EXPECT_EQ(places[index], expected[std::string(row.textAt(0))]) << "seed " << seed << ", id " << row.textAt(0);
            ++index;
        });
    }
}

TEST(SortPlaces, AnEmptyResultAndABadQuery) {
    test::TempFolder folder;
    SqliteConnection db(folder.file("x.db"));
    db.execute("CREATE TABLE t (v);");
    EXPECT_TRUE(SortPlaces(db, "SELECT v FROM t;").empty());
    EXPECT_THROW(SortPlaces(db, "SELECT v FROM nowhere;"), Error);
}

class PlacedReadTest : public ::testing::Test {
  protected:
    test::TempFolder folder;
    platform::fake::FakeClock clock{{2025, 3, 7, 9, 5, 0, 0}};
    std::string dbPath = folder.file("task.db");
    TaskStore store{dbPath, clock};

    void SetUp() override { store.EnsureTaskTable(); }

    std::string Insert(int enabled, int second) {
        clock.set({2025, 3, 7, 9, 5, second, 0});
        TaskRecord t;
        t.enabled = enabled;
        t.title = "task saved at " + std::to_string(second);
        t.dateMode = kDaily;
        t.time = "7:05:00";
        t.endTime = "23:59:59";
        return store.InsertTask(t);
    }

    // ID by place, as the placed read hands them over.
    std::vector<std::string> IdsByPlace(bool hideDisabled) {
        std::vector<std::string> ids;
        store.ReadTimedTasks(hideDisabled, [&](const ResultRow& row, std::size_t place, std::size_t rows) {
            ids.resize(rows);
            EXPECT_LT(place, rows);
            EXPECT_TRUE(ids[place].empty()) << "place " << place << " given twice";
            ids[place] = std::string(row.textAt(row.columnIndex("ID")));
        });
        return ids;
    }

    std::vector<std::string> IdsInSqlOrder(bool hideDisabled) {
        std::vector<std::string> ids;
        for (DataSet rows = store.ReadTimedTasks(hideDisabled); !rows.eof(); rows.next())
            ids.push_back(rows.fieldAsText("ID"));
        return ids;
    }
};

TEST_F(PlacedReadTest, PlacesFollowTheLastSaveAcrossManyBatches) {
    // Saved out of ID order (every save time differs), more rows than one batch holds, some disabled.
    std::mt19937 rng(7);
    std::vector<int> seconds(700);
    for (std::size_t i = 0; i < seconds.size(); ++i)
        seconds[i] = static_cast<int>(i);
    std::shuffle(seconds.begin(), seconds.end(), rng);
    // DOS times count in two-second steps: spread the saves so that no two share one.
    for (std::size_t i = 0; i < seconds.size(); ++i) {
        clock.set({2025, 3, 7, 9 + seconds[i] / 1800, seconds[i] / 30 % 60, seconds[i] % 30 * 2, 0});
        TaskRecord t;
        t.enabled = i % 5 == 0 ? 0 : 1;
        t.title = "task " + std::to_string(i);
        t.dateMode = kWeekly;
        t.time = "7:05:00";
        store.InsertTask(t);
    }
    for (const bool hideDisabled : {false, true}) {
        const auto placed = IdsByPlace(hideDisabled);
        EXPECT_EQ(placed, IdsInSqlOrder(hideDisabled)) << "hideDisabled " << hideDisabled;
        EXPECT_EQ(placed.size(), hideDisabled ? 560u : 700u);
    }
}

TEST_F(PlacedReadTest, EqualSaveTimesKeepTheStoredOrder) {
    const std::string a = Insert(1, 10);
    const std::string b = Insert(1, 10);
    const std::string c = Insert(1, 4);
    EXPECT_EQ(IdsByPlace(false), (std::vector<std::string>{c, a, b}));
}

TEST_F(PlacedReadTest, AReaderThatFailsEndsTheReadAndLeavesTheFileFree) {
    for (int i = 0; i < 600; ++i)
        Insert(1, i % 60);
    int calls = 0;
    EXPECT_THROW(store.ReadTimedTasks(false,
                                      [&](const ResultRow&, std::size_t, std::size_t) {
                                          if (++calls == 300) throw std::runtime_error("reader failed");
                                      }),
                 std::runtime_error);
    EXPECT_EQ(calls, 300);
    // The read's lock is gone: the file can be written at once.
    EXPECT_NO_THROW(Insert(1, 1));
    EXPECT_EQ(IdsByPlace(false).size(), 601u);
}

TEST_F(PlacedReadTest, TheReadsOwnFailureReachesTheCaller) {
    Insert(1, 1);
    // A writer holding the file keeps the read from starting; its error is the store's usual one.
    SqliteConnection writer(dbPath);
    writer.execute("BEGIN EXCLUSIVE;");
    int calls = 0;
    try {
        store.ReadTimedTasks(false, [&](const ResultRow&, std::size_t, std::size_t) { ++calls; });
        ADD_FAILURE() << "a locked file must not read as empty";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("locked"), std::string::npos) << e.what();
    }
    EXPECT_EQ(calls, 0);
    writer.execute("ROLLBACK;");
    EXPECT_EQ(IdsByPlace(false).size(), 1u);
}

TEST_F(PlacedReadTest, AFileWithAWriteAheadLogIsPlacedWithinOneTransaction) {
    {
        SqliteConnection db(dbPath);
        ASSERT_EQ(db.query("PRAGMA journal_mode = wal;").textAt(0), "wal");
    }
    const std::string late = Insert(1, 20);
    const std::string early = Insert(1, 10);
    const std::string disabled = Insert(0, 4);
    EXPECT_EQ(IdsByPlace(false), (std::vector<std::string>{disabled, early, late}));
    EXPECT_EQ(IdsByPlace(true), (std::vector<std::string>{early, late}));
}

// The hand-over of the places between the two threads, both ways, without a file.
TEST(RowBatchQueue, PlacesComeFromTheConsumerOrElseFromTheProducer) {
    for (const bool consumerReads : {true, false}) {
        RowBatchQueue queue(2);
        std::vector<std::size_t> consumerGot;
        std::thread consumer([&] {
            EXPECT_FALSE(queue.placesOrSnapshot().has_value());
            queue.secondReadEnded(consumerReads);
            consumerGot = consumerReads ? std::vector<std::size_t>{7} : queue.deliveredPlaces();
        });
        queue.snapshotHeld();
        const bool consumerHasPlaces = queue.consumerHasPlaces();
        if (!consumerHasPlaces) queue.deliverPlaces({1, 0});
        consumer.join();
        EXPECT_EQ(consumerHasPlaces, consumerReads);
        const std::vector<std::size_t> expected = consumerReads ? std::vector<std::size_t>{7} : std::vector<std::size_t>{1, 0};
        EXPECT_EQ(consumerGot, expected);
    }
}

TEST(RowBatchQueue, BatchesKeepTheirRowsAndTheProducersFailureReachesTheConsumer) {
    RowBatchQueue queue(1);
    queue.start({{"A", ColumnKind::Text}, {"B", ColumnKind::Text}});
    auto batch = queue.emptyBatch();
    const std::string_view first[] = {"one", ""};
    const std::string_view second[] = {"", "two and more"};
    batch->append(first);
    batch->append(second);
    queue.push(std::move(batch));
    std::thread producer([&] {
        // Only one batch may be in flight: this waits until the consumer hands it back.
        auto again = queue.emptyBatch();
        EXPECT_EQ(again->rowCount(), 0u) << "a recycled batch comes back empty";
        queue.finish(std::make_exception_ptr(Error("disk gone")));
    });
    auto got = queue.next();
    ASSERT_TRUE(got);
    std::string_view cells[2];
    got->cellsOf(1, cells);
    EXPECT_EQ(cells[0], "");
    EXPECT_EQ(cells[1], "two and more");
    got->cellsOf(0, cells);
    EXPECT_EQ(cells[0], "one");
    queue.recycle(std::move(got));
    producer.join();
    EXPECT_THROW(queue.next(), Error);
}

} // namespace
} // namespace orvanta::data
