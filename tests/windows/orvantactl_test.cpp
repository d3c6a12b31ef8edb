#include "tests/support/temp_folder.h"
#include "tests/windows/probe.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <initializer_list>
#include <windows.h>

namespace {

struct CtlRun {
    int exitCode = -1;
    std::string out;
};

std::string Quoted(const std::string& argument) {
    return "\"" + argument + "\"";
}

// Runs the command-line companion beside the test program with its output in a file; CR LF line ends
// are read as LF.
CtlRun RunOrvantactl(const orvanta::test::TempFolder& temp, std::initializer_list<std::string> arguments) {
    std::string program = orvanta::test::ProbePath();
    program = program.substr(0, program.find_last_of("\\/") + 1) + "orvantactl.exe";
    std::string commandLine = Quoted(program) + " --data-dir " + Quoted(temp.path() + "\\data");
    for (const auto& argument : arguments)
        commandLine += " " + Quoted(argument);

    const std::string outPath = temp.file("out.txt");
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE out =
        CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = out;
    PROCESS_INFORMATION info{};
    CtlRun result;
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                       &info)) {
        DWORD code = static_cast<DWORD>(-1);
        if (WaitForSingleObject(info.hProcess, 30000) == WAIT_OBJECT_0)
            GetExitCodeProcess(info.hProcess, &code);
        result.exitCode = static_cast<int>(code);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    CloseHandle(out);
    result.out = orvanta::test::ReadFileBytes(outPath);
    result.out.erase(std::remove(result.out.begin(), result.out.end(), '\r'), result.out.end());
    return result;
}

} // namespace

// The companion program built on the Win32 backend: real files under a backslash data folder, SQLite from
// loader.dll, and the online backup for export and import.
TEST(OrvantactlOnWindows, AddsShowsExportsDeletesAndImportsATask) {
    orvanta::test::TempFolder temp;
    ASSERT_TRUE(CreateDirectoryA((temp.path() + "\\data").c_str(), nullptr));
    CtlRun added = RunOrvantactl(temp, {"add", "--title", "Nightly backup", "--trigger", "once", "--date",
                                        "2031-12-24", "--start", "07:05", "--message", "Back up now"});
    ASSERT_EQ(added.exitCode, 0) << added.out;
    ASSERT_EQ(added.out, "8\n") << "the first ID after the template's seven tasks";

    CtlRun shown = RunOrvantactl(temp, {"show", "8"});
    ASSERT_EQ(shown.exitCode, 0) << shown.out;
    EXPECT_NE(shown.out.find("Title: Nightly backup\n"), std::string::npos) << shown.out;

    const std::string backup = temp.path() + "\\copy.krlbak";
    ASSERT_EQ(RunOrvantactl(temp, {"export", backup}).exitCode, 0);
    ASSERT_EQ(RunOrvantactl(temp, {"delete", "8"}).exitCode, 0);
    EXPECT_NE(RunOrvantactl(temp, {"show", "8"}).exitCode, 0) << "the task is gone";

    ASSERT_EQ(RunOrvantactl(temp, {"import", backup}).exitCode, 0);
    shown = RunOrvantactl(temp, {"show", "8"});
    EXPECT_EQ(shown.exitCode, 0) << shown.out;
    EXPECT_NE(shown.out.find("Title: Nightly backup\n"), std::string::npos) << shown.out;
}
