#include "cli_runner.h"

#include <filesystem>
#include <gtest/gtest.h>

// The history command's own side: what it accepts, and what it says where there is nothing to read.
// Reading real entries back is shown by the end-to-end test with the program and a journald.
namespace orvanta::cli_test {
namespace {

TEST(HistoryCommand, AWrongOptionIsAUsageErrorAndTheUsageNamesTheCommand) {
    Sandbox sandbox;
    for (const std::vector<std::string>& args : {std::vector<std::string>{"history", "--since", "yesterday"},
                                                 {"history", "--task", "x1"},
                                                 {"history", "--verbose"},
                                                 {"history", "--task"}}) {
        const CliResult r = sandbox.run(args);
        EXPECT_EQ(r.exitCode, 2) << args.back();
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind("orvantactl: ", 0), 0u) << r.err;
    }
    EXPECT_NE(sandbox.run({"--help"}).out.find("history [--since TIME] [--task ID]"), std::string::npos);
}

TEST(HistoryCommand, WithoutAJournalItSaysWhyAndFails) {
    if (std::filesystem::exists("/run/systemd/journal/socket"))
        GTEST_SKIP() << "a journald runs here; the end-to-end test reads its entries";
    Sandbox sandbox;
    const CliResult r = sandbox.run({"history", "--since", "2025-03-07", "--task", "007"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("the run history cannot be read: no journal can be read here"), std::string::npos)
        << r.err;
}

} // namespace
} // namespace orvanta::cli_test
