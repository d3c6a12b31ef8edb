#include "actions/argument_splitting.h"
#include "actions/launch_value.h"
#include "tests/support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace orvanta::actions {
namespace {

using Args = std::vector<std::string>;

TEST(SplitArguments, QuoteAwareRulesWithoutAShell) {
    struct Case {
        std::string text;
        Args arguments;
    };
    const Case cases[] = {
        {"", {}},
        {"   \t ", {}},
        {"one", {"one"}},
        {"  one   two\tthree ", {"one", "two", "three"}},
        {"\"a b\" ; rm -rf ~", {"a b", ";", "rm", "-rf", "~"}},
        {"$(reboot) `id` $HOME *.txt a|b a&&b >out",
         {"$(reboot)", "`id`", "$HOME", "*.txt", "a|b", "a&&b", ">out"}},
        {"pre\"quoted part\"post next", {"prequoted partpost", "next"}},
        {"\"\" x \"\"", {"", "x", ""}},
        {"say \\\"hi\\\"", {"say", "\"hi\""}},
        {"\"she said \\\"no\\\"\"", {"she said \"no\""}},
        {"C:\\dir\\file.txt \\\\server\\share", {"C:\\dir\\file.txt", "\\\\server\\share"}},
        {"\"ends in folder\\\\\" next", {"ends in folder\\", "next"}},
        {"odd\\\\\\\"quote", {"odd\\\"quote"}},
        {"\"unclosed quote keeps  blanks", {"unclosed quote keeps  blanks"}},
        {"line\r\nbreak", {"line", "break"}},
        {"'single quotes' are plain", {"'single", "quotes'", "are", "plain"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitArguments(c.text), c.arguments) << "text: " << c.text;
}

TEST(SplitLaunchValue, SplitsAtTheFirstBarAndKeepsBlanks) {
    struct Case {
        std::string value;
        LaunchValueParts parts;
    };
    const Case cases[] = {
        {"/usr/bin/gedit | notes.txt", {"/usr/bin/gedit ", " notes.txt"}},
        {"prog|a|b", {"prog", "a"}},
        {"prog|", {"prog", ""}},
        {"|params", {"", "params"}},
        {"/usr/bin/xterm", {"/usr/bin/xterm", "/usr/bin/xterm"}},
        {"", {"", ""}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitLaunchValue(c.value), c.parts) << "value: " << c.value;
}

TEST(PrepareLaunch, StartsTheTrimmedProgramWithSplitParameters) {
    const auto none = [](const std::string&) { return false; };
    const platform::ProgramStart start = PrepareLaunch(" /opt/my tool/run \t| --name \"a b\" ; x", none);
    EXPECT_EQ(start.program, "/opt/my tool/run");
    EXPECT_EQ(start.parameters, " --name \"a b\" ; x");
    EXPECT_EQ(start.arguments, (Args{"--name", "a b", ";", "x"}));

    EXPECT_TRUE(PrepareLaunch("prog | ", none).arguments.empty());
}

TEST(PrepareLaunch, AnExistingFileAsParametersIsOneQuotedArgument) {
    test::TempFolder folder;
    const std::string file = folder.file("my \"odd\" notes.txt");
    test::WriteFileBytes(file, "x");
    if (!std::filesystem::exists(file)) GTEST_SKIP() << "this system's file names cannot hold quotes";
    const FileProbe probe = FileSystemProbe();

    const platform::ProgramStart start = PrepareLaunch("/usr/bin/gedit|" + file, probe);
    EXPECT_EQ(start.parameters, "\"" + file + "\"");
    EXPECT_EQ(start.arguments, Args{file}) << "the name reaches the program whole, quotes and all";

    // The editor's blank after the bar makes the text no path: it is split like any other.
    const platform::ProgramStart edited = PrepareLaunch("/usr/bin/gedit | " + file, probe);
    EXPECT_EQ(edited.parameters, " " + file);
    EXPECT_GT(edited.arguments.size(), 1u);

    // A folder is not a file.
    EXPECT_EQ(PrepareLaunch("ls|" + folder.path(), probe).parameters, folder.path());
}

} // namespace
} // namespace orvanta::actions
