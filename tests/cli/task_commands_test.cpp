#include "cli_runner.h"

#include <gtest/gtest.h>

namespace orvanta::cli_test {
namespace {

// Every error is exactly one "orvantactl: ..." line on stderr and nothing on stdout.
void ExpectOneLineError(const CliResult& r, int exitCode, const std::string& context) {
    EXPECT_EQ(r.exitCode, exitCode) << context << "\n" << r.err;
    EXPECT_EQ(r.err.rfind("orvantactl: ", 0), 0u) << context << "\n" << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << context << "\n" << r.err;
    EXPECT_EQ(r.out, "") << context;
}

TEST(TaskCommands, DisableEnableAndDeleteChangeOnlyTheirTask) {
    Sandbox box;
    ASSERT_EQ(box.run({"enable", "3"}).exitCode, 0);
    EXPECT_EQ(ShowFields(box.run({"show", "3"}).out)["Enabled"], "1 (enabled)");
    EXPECT_EQ(ShowFields(box.run({"show", "2"}).out)["Enabled"], "0 (disabled)");
    ASSERT_EQ(box.run({"disable", "003"}).exitCode, 0);
    EXPECT_EQ(ShowFields(box.run({"show", "3"}).out)["Enabled"], "0 (disabled)");

    const std::string taskSixBefore = box.run({"show", "6"}).out;
    const CliResult deleted = box.run({"delete", "7"});
    EXPECT_EQ(deleted.exitCode, 0) << deleted.err;
    EXPECT_EQ(deleted.out, "");
    ExpectOneLineError(box.run({"show", "7"}), 1, "show deleted");
    EXPECT_EQ(box.run({"show", "6"}).out, taskSixBefore);
    // The newest ID is free again, as the table has no AUTOINCREMENT.
    EXPECT_EQ(box.run({"add", "--trigger", "daily", "--event", "lock"}).out, "7\n");
}

TEST(TaskCommands, UnknownOrMalformedIdsChangeNothing) {
    Sandbox box;
    ASSERT_EQ(box.run({"show", "1"}).exitCode, 0); // seeds
    const std::string before = FileBytes(box.database());
    for (const char* command : {"show", "enable", "disable", "delete"}) {
        const CliResult unknown = box.run({command, "42"});
        ExpectOneLineError(unknown, 1, command);
        EXPECT_NE(unknown.err.find("42"), std::string::npos) << unknown.err;
        for (const char* id : {"abc", "-1", "1x", "", "99999999999999999999"})
            ExpectOneLineError(box.run({command, id}), 2, std::string(command) + " " + id);
        ExpectOneLineError(box.run({command}), 2, std::string(command) + " without ID");
        ExpectOneLineError(box.run({command, "1", "2"}), 2, std::string(command) + " with two IDs");
    }
    EXPECT_EQ(FileBytes(box.database()), before);
}

TEST(TaskCommands, BadAddInputIsRefusedAndChangesNothing) {
    const std::vector<std::vector<std::string>> cases = {
        {"--trigger", "daily", "--start", "24:00", "--event", "lock"},
        {"--trigger", "daily", "--start", "7:5", "--event", "lock"},
        {"--trigger", "daily", "--start", "7:05:60", "--event", "lock"},
        {"--trigger", "daily", "--end", "noon", "--event", "lock"},
        {"--trigger", "daily", "--start", "10:00", "--end", "9:59:59", "--event", "lock"},
        {"--date", "2025-02-29", "--event", "lock"},
        {"--date", "2025-2-3", "--event", "lock"},
        {"--event", "lock"},
        {"--trigger", "annually", "--date", "04-31", "--event", "lock"},
        {"--trigger", "monthly", "--date", "32", "--event", "lock"},
        {"--trigger", "weekly", "--event", "lock"},
        {"--trigger", "weekly", "--days", "mon,funday", "--event", "lock"},
        {"--trigger", "daily", "--days", "mon", "--event", "lock"},
        {"--trigger", "daily", "--date", "2030-01-01", "--event", "lock"},
        {"--trigger", "hourly", "--event", "lock"},
        {"--trigger", "hotkey", "--event", "lock"},
        {"--trigger", "hotkey", "--hotkey", "shift+1", "--event", "lock"},
        {"--trigger", "hotkey", "--hotkey", "alt+!", "--event", "lock"},
        {"--trigger", "hotkey", "--hotkey", "alt+1", "--start", "8:00", "--event", "lock"},
        {"--trigger", "hotkey", "--hotkey", "alt+1", "--event", "wake"},
        {"--trigger", "daily", "--hotkey", "alt+1", "--event", "lock"},
        {"--trigger", "daily", "--event", "reboot"},
        {"--trigger", "daily", "--event", "shutdown", "--message", "bye"},
        {"--trigger", "daily", "--event", "wake+run"},
        {"--trigger", "daily"},
        {"--trigger", "daily", "--message", " \n "},
        {"--trigger", "daily", "--repeat", "15", "--event", "lock"},
        {"--trigger", "daily", "--countdown", "-5", "--event", "lock"},
        {"--trigger", "daily", "--title", "a*b", "--event", "lock"},
        {"--trigger", "daily", "--params", "-x", "--message", "m"},
        {"--trigger", "daily", "--launch", "/bin/a|b", "--message", "m"},
        {"--trigger", "daily", "--event", "lock", "--event", "lock"},
        {"--trigger", "daily", "--event", "lock", "--colour", "red"},
        {"--trigger", "daily", "--event"},
        {"--trigger", "daily", "--event", "lock", "stray"},
    };
    Sandbox box;
    ASSERT_EQ(box.run({"show", "1"}).exitCode, 0);
    const std::string before = FileBytes(box.database());
    for (const auto& options : cases) {
        std::vector<std::string> args = {"add"};
        args.insert(args.end(), options.begin(), options.end());
        std::string context;
        for (const auto& a : options)
            context += a + " ";
        ExpectOneLineError(box.run(args), 2, context);
    }
    EXPECT_EQ(FileBytes(box.database()), before);
    EXPECT_EQ(box.run({"show", "8"}).exitCode, 1);
}

TEST(TaskCommands, CommandLineErrorsAndHelp) {
    Sandbox box;
    ExpectOneLineError(box.runBare({}), 2, "no command");
    ExpectOneLineError(box.run({"list-all"}), 2, "unknown command");
    ExpectOneLineError(box.runBare({"--verbose", "show", "1"}), 2, "unknown global option");
    ExpectOneLineError(box.runBare({"--data-dir"}), 2, "data dir without value");
    EXPECT_EQ(FileBytes(box.database()), "<missing>");

    const CliResult help = box.runBare({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* word : {"none", "wake", "restart", "shutdown", "lock", "standby", "hibernate", "logoff",
                             "monitoroff", "wake+run", "--data-dir", "export FILE", "import FILE"})
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    EXPECT_EQ(box.run({"add", "--title", "x", "--help"}).out, help.out);
    // A value is taken as it stands, even when it looks like an option.
    const CliResult dashed = box.run({"add", "--trigger", "daily", "--message", "--help"});
    EXPECT_EQ(dashed.out, "8\n");
    EXPECT_EQ(ShowFields(box.run({"show", "8"}).out)["Message"], "--help");
}

} // namespace
} // namespace orvanta::cli_test
