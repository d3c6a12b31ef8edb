#include "cli_runner.h"
#include "data/data_set.h"
#include "data/task_record.h"
#include "data/task_store.h"
#include "platform/fake/fake_clock.h"

#include <ctime>
#include <gtest/gtest.h>

namespace orvanta::cli_test {
namespace {

using Fields = std::map<std::string, std::string>;

// Adds a task, expecting ID 8 (the first after the template's seven), and returns what show prints.
Fields AddAndShow(const Sandbox& box, std::vector<std::string> options) {
    options.insert(options.begin(), "add");
    const CliResult added = box.run(options);
    EXPECT_EQ(added.exitCode, 0) << added.err;
    EXPECT_EQ(added.out, "8\n");
    const CliResult shown = box.run({"show", "8"});
    EXPECT_EQ(shown.exitCode, 0) << shown.err;
    return ShowFields(shown.out);
}

std::tm Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

TEST(AddShow, OnceTaskWithEveryProgramActionKeepsItsTextExactly) {
    Sandbox box;
    const std::tm before = Today();
    const std::vector<std::pair<std::string, std::string>> options = {
        {"--title", "  Back up \"docs\"; DROP TABLE tasklist; -- Grüße 日本  "},
        {"--trigger", "once"},
        {"--date", "2031-12-24"},
        {"--start", "07:05"},
        {"--repeat", "120"},
        {"--end", "21:30:15"},
        {"--event", "wake"},
        {"--macro", "/home/u/night.mco"},
        {"--launch", "/usr/bin/rsync"},
        {"--params", "-a 'src dir' dst"},
        {"--terminate", "/usr/bin/gedit"},
        {"--open-file", "/tmp/a b.txt"},
        {"--open-url", "https://example.org/?q=1&r='x'"},
        {"--message", "\n  Line one;\n\"two\" SELECT * FROM tasklist  \t"}};
    std::vector<std::string> args = {"add", "--countdown=45"};
    for (const auto& [name, value] : options)
        args.insert(args.end(), {name, value});
    const CliResult added = box.run(args);
    ASSERT_EQ(added.exitCode, 0) << added.err;
    ASSERT_EQ(added.out, "8\n");
    const CliResult shown = box.run({"show", "8"});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    const std::string expected = "ID: 8\nEnabled: 1 (enabled)\n"
                                 "Title: Back up \"docs\"; DROP TABLE tasklist; -- Grüße 日本\n"
                                 "DateMode: 2 (once)\nYear: 2031\nMonth: 12\nDay: 24\n"
                                 "Sun: 0\nMon: 1\nTue: 1\nWed: 1\nThu: 1\nFri: 1\nSat: 0\n"
                                 "Time: 7:05:00\nLoop: 120\nEndTime: 21:30:15\n"
                                 "Hotkey1: 0 (Alt)\nHotkey2: 47 (none)\nhkLoop: 0\nCountdown: 45\n"
                                 "Event: 9 (wake+run)\nMacro: /home/u/night.mco\n"
                                 "Launch: /usr/bin/rsync | -a 'src dir' dst\nTerminate: gedit\n"
                                 "OpenFile: /tmp/a b.txt\nOpenURL: https://example.org/?q=1&r='x'\n"
                                 "Message: Line one;\\n\"two\" SELECT * FROM tasklist\nLast: ";
    EXPECT_EQ(shown.out.substr(0, expected.size()), expected);

    // Last is the save moment, decoded behind its number.
    const std::tm after = Today();
    char dayBefore[16], dayAfter[16];
    std::strftime(dayBefore, sizeof dayBefore, "(%Y-%m-%d ", &before);
    std::strftime(dayAfter, sizeof dayAfter, "(%Y-%m-%d ", &after);
    const std::string last = ShowFields(shown.out)["Last"];
    EXPECT_TRUE(last.find(dayBefore) != std::string::npos || last.find(dayAfter) != std::string::npos)
        << last;

    // The stored message holds a real line break; show only escapes it.
    platform::fake::FakeClock clock;
    data::DataSet rows = data::TaskStore(box.database(), clock).readAllTasks();
    while (!rows.eof() && rows.fieldAsText("ID") != "8")
        rows.next();
    ASSERT_FALSE(rows.eof());
    EXPECT_EQ(data::ReadTaskRecord(rows).message, "Line one;\n\"two\" SELECT * FROM tasklist");
}

struct KindCase {
    std::vector<std::string> options;
    Fields expected;
};

TEST(AddShow, EachTriggerKindStoresItsOwnColumnsAndTheEditorDefaultsForTheRest) {
    const std::tm today = Today();
    const std::string year = std::to_string(today.tm_year + 1900), month = std::to_string(today.tm_mon + 1),
                      day = std::to_string(today.tm_mday);
    const std::vector<KindCase> cases = {
        {{"--trigger", "daily", "--start", "23:59:59", "--event", "lock"},
         {{"DateMode", "1 (daily)"},
          {"Year", year},
          {"Month", month},
          {"Day", day},
          {"Mon", "1"},
          {"Sun", "0"},
          {"Time", "23:59:59"},
          {"EndTime", "23:59:59"},
          {"Loop", "0"},
          {"Title", "Lock Desktop"}}},
        {{"--trigger", "weekly", "--days", "SUN,wed,sat", "--start", "0:00", "--event", "standby"},
         {{"DateMode", "5 (weekly)"},
          {"Sun", "1"},
          {"Mon", "0"},
          {"Tue", "0"},
          {"Wed", "1"},
          {"Thu", "0"},
          {"Fri", "0"},
          {"Sat", "1"},
          {"Time", "0:00:00"}}},
        {{"--trigger", "monthly", "--date", "31", "--start", "12:00", "--event", "hibernate"},
         {{"DateMode", "3 (monthly)"}, {"Year", year}, {"Month", month}, {"Day", "31"}}},
        {{"--trigger", "annually", "--date", "02-29", "--start", "6:30", "--event", "restart"},
         {{"DateMode", "4 (annually)"}, {"Year", year}, {"Month", "2"}, {"Day", "29"}, {"Title", "Reboot"}}},
        {{"--trigger", "hotkey", "--hotkey", "ctrl+k", "--event", "monitoroff"},
         {{"DateMode", "0 (hotkey)"},
          {"Hotkey1", "1 (Ctrl)"},
          {"Hotkey2", "75 (K)"},
          {"Countdown", "0"},
          {"Event", "8 (monitoroff)"},
          {"Title", "Close Monitor"}}},
        {{"--trigger", "hotkey", "--hotkey", "ALT+0", "--terminate", "C:\\Tools\\app.exe"},
         {{"Hotkey1", "0 (Alt)"},
          {"Hotkey2", "48 (0)"},
          {"Event", "0 (none)"},
          {"Terminate", "app.exe"},
          {"Title", "Terminate Process: app.exe  "}}},
    };
    for (const KindCase& c : cases) {
        Sandbox box;
        const Fields shown = AddAndShow(box, c.options);
        for (const auto& [name, value] : c.expected)
            EXPECT_EQ(shown.at(name), value) << name << " for " << c.options[1];
    }
    if (Today().tm_mday != today.tm_mday) GTEST_SKIP() << "the date changed while the test ran";
}

TEST(AddShow, EventNamesGiveTheirCodesAndUntitledTasksDescribeTheirActions) {
    const std::vector<std::pair<std::vector<std::string>, std::pair<std::string, std::string>>> cases = {
        {{"--event", "shutdown"}, {"3 (shutdown)", "Shut down "}},
        {{"--event", "logoff"}, {"7 (logoff)", "Log off"}},
        {{"--event", "wake"}, {"1 (wake)", "Wake up  "}},
        {{"--event", "wake+run", "--open-url", "http://a.example"},
         {"9 (wake+run)", "Wake up  Open URL: http://a.example  "}},
        {{"--launch", "/opt/tool/backup", "--params", "--all", "--message", "Done"},
         {"0 (none)", "Launch Program: backup   Reminder: Done"}},
        {{"--macro", "/m/x.mco", "--open-file", "/docs/r.pdf"},
         {"0 (none)", "Keyboard/Mouse Macro: x.mco  Open File: r.pdf  "}},
    };
    for (const auto& [options, expected] : cases) {
        Sandbox box;
        std::vector<std::string> all = {"--trigger", "daily", "--title", "   "};
        all.insert(all.end(), options.begin(), options.end());
        const Fields shown = AddAndShow(box, all);
        EXPECT_EQ(shown.at("Event"), expected.first) << options[1];
        EXPECT_EQ(shown.at("Title"), expected.second) << options[1];
    }
}

TEST(AddShow, LaunchWithoutParametersKeepsTheSeparatorAndDefaultsApply) {
    Sandbox box;
    const Fields shown = AddAndShow(box, {"--trigger", "daily", "--launch", "/usr/bin/xterm", "--disabled"});
    EXPECT_EQ(shown.at("Launch"), "/usr/bin/xterm | ");
    EXPECT_EQ(shown.at("Enabled"), "0 (disabled)");
    // The start time defaults to the current minute.
    const std::string& time = shown.at("Time");
    ASSERT_GE(time.size(), 7u);
    EXPECT_EQ(time.substr(time.size() - 3), ":00");
}

} // namespace
} // namespace orvanta::cli_test
