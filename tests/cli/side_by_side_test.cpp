#include "cli_runner.h"
#include "data/sqlite_connection.h"

#include <chrono>
#include <gtest/gtest.h>
#include <set>
#include <thread>

namespace orvanta::cli_test {
namespace {

// Scripts run commands side by side, and other tools open the file: neither may lose a change or have
// a sound file called damaged, whose message tells the user to move it away.
TEST(SideBySide, CommandsAtOneMomentAllTakeEffect) {
    Sandbox box;
    constexpr int kWorkers = 6, kEach = 4;
    std::vector<std::vector<CliResult>> results(kWorkers);
    std::vector<std::thread> workers;
    for (int w = 0; w < kWorkers; ++w)
        workers.emplace_back([&, w] {
            for (int i = 0; i < kEach; ++i)
                results[w].push_back(
                    box.run({"add", "--title", "side " + std::to_string(w) + "." + std::to_string(i),
                             "--trigger", "daily", "--start", "03:00", "--event", "lock"}));
        });
    for (auto& t : workers)
        t.join();
    std::set<std::string> ids;
    for (const auto& worker : results)
        for (const CliResult& r : worker) {
            EXPECT_EQ(r.exitCode, 0) << r.err;
            ids.insert(r.out);
        }
    EXPECT_EQ(ids.size(), static_cast<std::size_t>(kWorkers * kEach)) << "two adds were given one ID";
    std::set<std::string> titles;
    for (std::string id : ids) {
        if (!id.empty() && id.back() == '\n') id.pop_back();
        titles.insert(ShowFields(box.run({"show", id}).out)["Title"]);
    }
    for (int w = 0; w < kWorkers; ++w)
        for (int i = 0; i < kEach; ++i)
            EXPECT_EQ(titles.count("side " + std::to_string(w) + "." + std::to_string(i)), 1u)
                << w << "." << i;
}

TEST(SideBySide, AFileHeldBrieflyIsWaitedForAndOneHeldOnIsReportedLockedNotDamaged) {
    Sandbox box;
    ASSERT_EQ(box.run({"show", "1"}).exitCode, 0); // the task file exists
    {
        data::SqliteConnection other(box.database());
        other.execute("BEGIN EXCLUSIVE;");
        std::thread release([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
            other.execute("COMMIT;");
        });
        const CliResult enabled = box.run({"enable", "2"});
        release.join();
        EXPECT_EQ(enabled.exitCode, 0) << enabled.err;
        EXPECT_EQ(ShowFields(box.run({"show", "2"}).out)["Enabled"], "1 (enabled)");
    }
    data::SqliteConnection holder(box.database());
    holder.execute("BEGIN EXCLUSIVE;");
    const CliResult refused = box.run({"disable", "2"});
    holder.execute("ROLLBACK;");
    EXPECT_NE(refused.exitCode, 0);
    EXPECT_NE(refused.err.find("locked"), std::string::npos) << refused.err;
    EXPECT_EQ(refused.err.find("damaged"), std::string::npos) << refused.err;
    EXPECT_EQ(ShowFields(box.run({"show", "2"}).out)["Enabled"], "1 (enabled)");
    // Nothing was remembered as damage: the next command writes.
    EXPECT_EQ(box.run({"disable", "2"}).exitCode, 0);
}

} // namespace
} // namespace orvanta::cli_test
