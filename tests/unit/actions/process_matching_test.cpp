#include "actions/process_matching.h"
#include "platform/fake/fake_process_control.h"

#include <gtest/gtest.h>

namespace orvanta::actions {
namespace {

using platform::ProcessEntry;

ProcessEntry Process(std::int64_t id, std::string path, std::string shortName, std::string argv0) {
    const auto slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return {id, std::move(path), std::move(name), std::move(shortName), std::move(argv0)};
}

TEST(ProcessMatches, OnlyTheProgramFilesNameOrPathCounts) {
    const ProcessEntry editor = Process(1, "/usr/bin/gedit", "gedit", "gedit");
    const ProcessEntry script = Process(2, "/usr/bin/python3.11", "backup.py", "/usr/bin/python3");
    // exec -a firefox sleep 100: the process calls itself firefox, the program is sleep.
    const ProcessEntry disguised = Process(3, "/usr/bin/sleep", "sleep", "firefox");
    // The system cuts its own name of a process at 15 characters.
    const ProcessEntry longName =
        Process(4, "/opt/tools/averyveryverylongname", "averyveryverylo", "averyveryverylongname");
    const ProcessEntry nameless = Process(5, "", "", ""); // a zombie, say
    // Another user's processes: the program file cannot be read, only the kept name is known.
    const ProcessEntry foreign = Process(6, "", "Notepad", "/opt/wine/Notepad.exe");
    const ProcessEntry foreignCut = Process(7, "", "gnome-control-c", "gnome-control-center");
    struct Case {
        const ProcessEntry& process;
        std::string value;
        bool matches;
    };
    const Case cases[] = {
        {editor, "gedit", true},
        {editor, "GEDIT", true},
        {editor, "/usr/bin/gedit", true},
        {editor, "/USR/BIN/Gedit", true},
        {editor, "/usr/local/bin/gedit", false},
        {editor, "bin/gedit", false},
        {editor, "gedi", false},
        {editor, "gedit ", false},
        {editor, "", false},
        {script, "python3.11", true},
        {script, "/usr/bin/python3.11", true},
        {script, "backup.py", false},
        {script, "python3", false},
        {script, "/usr/bin/python3", false},
        {disguised, "sleep", true},
        {disguised, "firefox", false},
        {longName, "averyveryverylongname", true},
        {longName, "/opt/tools/averyveryverylongname", true},
        {longName, "averyveryverylo", false},
        {nameless, "", false},
        {foreign, "notepad", true},
        {foreign, "notepad.exe", false},
        {foreign, "/opt/wine/notepad.exe", false},
        {foreignCut, "gnome-control-c", false},
        {foreignCut, "gnome-control-center", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProcessMatches(c.process, c.value), c.matches)
            << c.process.imagePath << " (" << c.process.shortName << ") against \"" << c.value << "\"";

    // A backend that knows a program's file name but not its path (as some systems report it).
    const ProcessEntry bare{8, "", "CALC.EXE", "CALC.EXE", ""};
    EXPECT_TRUE(ProcessMatches(bare, "calc.exe"));
    EXPECT_FALSE(ProcessMatches(bare, "C:\\Windows\\calc.exe"));
}

TEST(KillProcessesByName, EndsEveryMatchAndAnswersForTheLastAttempt) {
    platform::fake::FakeProcessControl processes;
    processes.setProcesses(
        {Process(10, "/usr/bin/sleep", "sleep", "sleep"), Process(11, "/usr/bin/gedit", "gedit", "gedit"),
         Process(12, "/bin/Sleep", "Sleep", "Sleep"), Process(13, "/usr/bin/sleep", "sleep", "sleep")});
    processes.refuseKill(10);
    EXPECT_TRUE(KillProcessesByName(processes, "SLEEP")) << "an earlier refusal is not the answer";
    EXPECT_EQ(processes.killed(), (std::vector<std::int64_t>{10, 12, 13}));
    EXPECT_EQ(processes.processes().size(), 2u);

    EXPECT_FALSE(KillProcessesByName(processes, "sleep")) << "the last (only) attempt was refused";
    EXPECT_FALSE(KillProcessesByName(processes, "xterm")) << "nothing tried";
    processes.setListAvailable(false);
    EXPECT_FALSE(KillProcessesByName(processes, "gedit"));
}

} // namespace
} // namespace orvanta::actions
