// The command line's side of the running program: which program it talks to, and how the program's
// answers become the same output the files give.
#include "data/error.h"
#include "platform/fake/fake_running_program.h"
#include "tests/support/temp_folder.h"
#include "tools/orvantactl/program_link.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace orvanta::ctl {
namespace {

using platform::fake::FakeRunningProgram;
using Kind = platform::RunningProgram::Reply::Kind;

TEST(ProgramLink, OnlyAProgramOfTheSameDataFolderIsAsked) {
    test::TempFolder temp;
    const std::string mine = temp.path() + "/mine", other = temp.path() + "/other";
    std::filesystem::create_directories(mine);
    std::filesystem::create_directories(other);
    std::filesystem::create_directory_symlink(mine, temp.path() + "/link");
    FakeRunningProgram program;
    EXPECT_EQ(ProgramOfFolder(&program, mine), nullptr) << "none runs";
    EXPECT_EQ(ProgramOfFolder(nullptr, mine), nullptr);
    program.folder = other;
    EXPECT_EQ(ProgramOfFolder(&program, mine), nullptr);
    // The same folder written another way.
    for (const std::string& same :
         {mine, mine + "/", temp.path() + "/link", temp.path() + "/other/../mine"}) {
        program.folder = same;
        EXPECT_EQ(ProgramOfFolder(&program, mine), &program) << same;
    }
    // A folder that is not there (yet) is compared as written, tidied.
    program.folder = temp.path() + "/new//folder/";
    EXPECT_EQ(ProgramOfFolder(&program, temp.path() + "/new/folder"), &program);
    EXPECT_EQ(ProgramOfFolder(&program, temp.path() + "/new/folder2"), nullptr);
}

TEST(ProgramLink, AChangeIsToldAndItsOutcomeReported) {
    FakeRunningProgram program;
    program.folder = "/data";
    std::ostringstream err;
    TellOfChange(program, err);
    EXPECT_EQ(program.calls, std::vector<std::string>{"rebuild"});
    EXPECT_EQ(err.str(), "");

    program.rebuildDeferred = true;
    TellOfChange(program, err);
    EXPECT_NE(err.str().find("once that window closes"), std::string::npos) << err.str();

    program.answer = Kind::kFailed;
    program.answerMessage = "Task 12 cannot be scheduled";
    try {
        TellOfChange(program, err);
        FAIL() << "a program that failed to take the change in is reported";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(),
                     "the change is stored, but the running program could not take it in: Task 12 cannot be "
                     "scheduled");
    }
}

TEST(ProgramLink, TheProgramsAnswersPrintAsTheFilesDo) {
    FakeRunningProgram program;
    program.folder = "/data";
    program.rows = {{"Back up\tnightly", "Waiting", "7", "1", "3600", "0", "2026-12-10-23-0-0", ""}};
    program.problems = {{"9", "no such weekday"}};
    std::ostringstream out;
    const auto problems = ListFromProgram(program, out);
    EXPECT_EQ(out.str(), "Back up\\tnightly\tWaiting\t7\t1\t3600\t0\t2026-12-10-23-0-0\t\n");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].taskId, "9");

    program.rows = {{"too", "short"}};
    EXPECT_THROW(ListFromProgram(program, out), Error);

    program.hint = "Upcoming event: Back up";
    std::ostringstream hint;
    NextFromProgram(program, hint);
    EXPECT_EQ(hint.str(), "Upcoming event: Back up\n");

    program.actionsRun = {"launch /usr/bin/true|", "show the message"};
    std::ostringstream ran;
    RunInProgram(program, "7", ran);
    EXPECT_EQ(ran.str(), "run: launch /usr/bin/true|\nrun: show the message\n");
    EXPECT_EQ(program.calls.back(), "run 7");
}

TEST(ProgramLink, ARefusalOrAnEndedProgramIsAnError) {
    FakeRunningProgram program;
    program.folder = "/data";
    program.answer = Kind::kRefused;
    program.answerMessage = "The settings are protected by a password";
    std::ostringstream out;
    try {
        ListFromProgram(program, out);
        FAIL() << "a refusal prints no list";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "The settings are protected by a password");
    }
    EXPECT_EQ(out.str(), "");
    program.folder.reset();
    EXPECT_THROW(NextFromProgram(program, out), Error);
}

} // namespace
} // namespace orvanta::ctl
