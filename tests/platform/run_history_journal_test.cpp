#include "platform/fake/fake_log.h"
#include "platform/linux/actions/logind_requests.h"
#include "platform/linux/journal_run_history.h"
#include "platform/linux/system_bus.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <gtest/gtest.h>
#include <systemd/sd-bus.h>
#include <thread>
#include <unistd.h>

// The run history in a real systemd journal: the one of scripts/platform-test-env.sh where the machine
// runs none, else the machine's own.
namespace orvanta::platform::linux_backend {
namespace {

using namespace std::chrono_literals;

bool JournalRuns() {
    return std::filesystem::exists("/run/systemd/journal/socket");
}

// journald takes each entry in its own time; waits until the query finds count entries.
HistoryReading ReadUntil(const JournalRunHistory& history, const HistoryQuery& query, std::size_t count) {
    HistoryReading reading;
    const auto until = std::chrono::steady_clock::now() + 10s;
    do {
        reading = history.read(query);
        if (!reading.error.empty() || reading.entries.size() >= count) break;
        std::this_thread::sleep_for(50ms);
    } while (std::chrono::steady_clock::now() < until);
    return reading;
}

TEST(JournalRunHistory, EntriesComeBackWithEveryFieldInOrderAndTheQueryNarrowsThem) {
    if (!JournalRuns())
        GTEST_SKIP() << "no systemd-journald runs: run under scripts/platform-test-env.sh as root";
    fake::RecordingLog log;
    JournalRunHistory history(log);
    // IDs no other run of this test has written, so a long-lived journal does not confuse it.
    const std::string id = std::to_string(getpid()) + std::to_string(std::time(nullptr));
    const std::string other = id + "0";
    const auto startMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::system_clock::now().time_since_epoch())
                             .count() -
                         1000;
    history.write({0, id, "Backup \"home\"\nnightly", "2026-12-10-14-30-0", "Launch", "ran", ""});
    history.write(
        {0, other, "other", "2026-12-10-14-31-0", "ShutDown", "refused", "logind refused PowerOff"});
    history.write({0, id, "Backup \"home\"\nnightly", "", "Launch", "failed", "no such program: /no/such"});

    const HistoryReading mine = ReadUntil(history, {startMs, id}, 2);
    ASSERT_EQ(mine.error, "");
    ASSERT_EQ(mine.entries.size(), 2u);
    EXPECT_EQ(mine.entries[0].title, "Backup \"home\"\nnightly");
    EXPECT_EQ(mine.entries[0].dueKey, "2026-12-10-14-30-0");
    EXPECT_EQ(mine.entries[0].outcome, "ran");
    EXPECT_EQ(mine.entries[1].outcome, "failed");
    EXPECT_EQ(mine.entries[1].dueKey, "");
    EXPECT_EQ(mine.entries[1].reason, "no such program: /no/such");
    EXPECT_GE(mine.entries[0].utcMs, startMs);
    EXPECT_LE(mine.entries[0].utcMs, mine.entries[1].utcMs);

    const HistoryReading all = ReadUntil(history, {startMs, {}}, 3);
    std::vector<std::string> ours;
    for (const HistoryEntry& e : all.entries)
        if (e.taskId == id || e.taskId == other) ours.push_back(e.taskId + " " + e.outcome);
    EXPECT_EQ(ours, (std::vector<std::string>{id + " ran", other + " refused", id + " failed"}));

    const HistoryReading later = history.read({mine.entries[1].utcMs + 3'600'000, id});
    EXPECT_EQ(later.error, "");
    EXPECT_TRUE(later.entries.empty());
    EXPECT_TRUE(log.lines().empty()) << "an entry went to the error output: " << log.lines().front();
}

TEST(JournalRunHistory, ARefusalNamesTheProgramWhoseInhibitorBlocksIt) {
    if (!std::getenv("ORVANTA_TEST_ENV"))
        GTEST_SKIP() << "needs the mock logind of scripts/platform-test-env.sh";
    const SystemBus bus = OpenSystemBus(5s);
    ASSERT_TRUE(bus);
    sd_bus_message* reply = nullptr;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    ASSERT_GE(sd_bus_call_method(bus.get(), "org.freedesktop.login1", "/org/freedesktop/login1",
                                 "org.freedesktop.login1.Manager", "Inhibit", &error, &reply, "ssss",
                                 "shutdown:idle", "disc burner", "writing a disc", "block"),
              0)
        << error.message;
    sd_bus_error_free(&error);
    // The inhibitor lasts while its descriptor is open: the reply holds it.
    EXPECT_EQ(BlockingInhibitors(bus.get(), "PowerOff"), "disc burner (writing a disc)");
    EXPECT_EQ(BlockingInhibitors(bus.get(), "Reboot"), "disc burner (writing a disc)");
    EXPECT_EQ(BlockingInhibitors(bus.get(), "Suspend"), ""); // it does not block sleep
    sd_bus_message_unref(reply);
}

} // namespace
} // namespace orvanta::platform::linux_backend
