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

TEST(ProcessMatches, BareNamesFullPathsAndCase) {
    const ProcessEntry editor = Process(1, "/usr/bin/gedit", "gedit", "gedit");
    const ProcessEntry script = Process(2, "/usr/bin/python3.11", "backup.py", "/usr/bin/python3");
    const ProcessEntry foreign = Process(3, "", "Notepad", "/opt/wine/Notepad.exe"); // exe unreadable
    const ProcessEntry nameless = Process(5, "", "", "");                            // a zombie, say
    const ProcessEntry longName =
        Process(4, "/usr/bin/gnome-control-center", "gnome-control-c", "gnome-control-center");
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
        {script, "backup.py", true},
        {script, "python3", true},
        {script, "python3.11", true},
        {script, "/usr/bin/python3", true},
        {script, "/usr/bin/python3.11", true},
        {script, "python", false},
        {foreign, "notepad.exe", true},
        {foreign, "notepad", true},
        {foreign, "/opt/wine/notepad.exe", true},
        {nameless, "", false},
        {longName, "gnome-control-center", true},
        {longName, "gnome-control-c", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProcessMatches(c.process, c.value), c.matches)
            << c.process.firstArgument << " against \"" << c.value << "\"";
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
