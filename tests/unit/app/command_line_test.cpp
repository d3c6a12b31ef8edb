#include "app/command_line.h"

#include <gtest/gtest.h>

namespace orvanta::app {
namespace {

using Outcome = CommandLine::Outcome;

TEST(CommandLine, TheDesktopEntrysActionsAndNothing) {
    const CommandLine none = ParseCommandLine({});
    EXPECT_EQ(none.outcome, Outcome::run);
    EXPECT_FALSE(none.show);
    EXPECT_FALSE(none.newTask);

    const CommandLine show = ParseCommandLine({"--show"});
    EXPECT_EQ(show.outcome, Outcome::run);
    EXPECT_TRUE(show.show);
    EXPECT_FALSE(show.newTask);

    // The editor opens in the window: a new task brings the window too.
    const CommandLine newTask = ParseCommandLine({"--new-task"});
    EXPECT_EQ(newTask.outcome, Outcome::run);
    EXPECT_TRUE(newTask.newTask);
    EXPECT_TRUE(newTask.show);
}

TEST(CommandLine, WhatTheProgramDoesNotKnowIsAnErrorNamingIt) {
    const CommandLine unknown = ParseCommandLine({"--show", "--new-tasks", "--bogus"});
    EXPECT_EQ(unknown.outcome, Outcome::error);
    EXPECT_EQ(unknown.error, "unknown option '--new-tasks'");

    const CommandLine stray = ParseCommandLine({"tasks.db"});
    EXPECT_EQ(stray.outcome, Outcome::error);
    EXPECT_EQ(stray.error, "unexpected argument 'tasks.db'");

    // A single dash is no option either; nor is an option's word without its dashes.
    EXPECT_EQ(ParseCommandLine({"-"}).error, "unexpected argument '-'");
    EXPECT_EQ(ParseCommandLine({"show"}).outcome, Outcome::error);
    EXPECT_EQ(kUsageExitStatus, 2);
}

TEST(CommandLine, HelpAndVersionWinWhereverTheyStand) {
    EXPECT_EQ(ParseCommandLine({"--bogus", "--help"}).outcome, Outcome::help);
    EXPECT_EQ(ParseCommandLine({"-h"}).outcome, Outcome::help);
    EXPECT_EQ(ParseCommandLine({"--new-task", "--version"}).outcome, Outcome::version);
    EXPECT_EQ(ParseCommandLine({"--version", "--help"}).outcome, Outcome::help);
    // Before the toolkit takes its own options away, they look unknown; help is still help.
    EXPECT_EQ(ParseCommandLine({"-platform", "offscreen", "--help"}).outcome, Outcome::help);

    const std::string usage = UsageText("orvanta");
    EXPECT_EQ(usage.rfind("Usage: orvanta ", 0), 0u);
    for (const char* option : {"--new-task", "--show", "--help", "--version"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}

} // namespace
} // namespace orvanta::app
