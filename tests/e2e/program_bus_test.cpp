// The running program on the private session bus: its interface answered by gdbus, and the command line's
// changes taking effect at once (told over the bus), as do changes made with sqlite3 (seen in the folder).
#include "tests/e2e/program_run.h"
#include "tests/support/temp_folder.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>

namespace orvanta::test {
namespace {

using namespace std::chrono_literals;

const QString kName = QStringLiteral("org.orvanta.Orvanta");
const QString kPath = QStringLiteral("/org/orvanta/Orvanta");
const QString kInterface = QStringLiteral("org.orvanta.Orvanta1");

struct ToolRun {
    int status = -1;
    QString out, err;
};

ToolRun RunCommand(const QString& program, const QStringList& arguments,
                   std::chrono::milliseconds limit = 30s) {
    QProcess tool;
    tool.start(program, arguments);
    ToolRun run;
    if (!tool.waitForFinished(static_cast<int>(limit.count()))) {
        tool.kill();
        tool.waitForFinished();
        return run;
    }
    run.status = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    run.out = QString::fromLocal8Bit(tool.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(tool.readAllStandardError());
    return run;
}

// "H:mm:ss" and "YYYY-MM-DD" of a moment seconds from now.
struct Moment {
    std::string date, time;
    std::time_t at;
};
Moment In(int seconds) {
    Moment m;
    m.at = std::time(nullptr) + seconds;
    std::tm local{};
    localtime_r(&m.at, &local);
    char date[16], time[16];
    std::strftime(date, sizeof date, "%Y-%m-%d", &local);
    std::snprintf(time, sizeof time, "%d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    m.date = date, m.time = time;
    return m;
}

class ProgramBus : public ::testing::Test {
  protected:
    TempFolder folder;
    ProgramHome home{folder.path()};
    QProcess program;
    QByteArray programErrors;

    void SetUp() override {
        if (!std::getenv("DISPLAY") || !std::getenv("DBUS_SESSION_BUS_ADDRESS"))
            GTEST_SKIP() << "no X display or bus: run under scripts/platform-test-env.sh";
        // Hidden in the notification area: no window and no first-run question in front.
        home.WriteSettings("[Option]\nmfirst=0\n[tray]\ntray=1\n");
    }
    void TearDown() override {
        if (program.state() != QProcess::NotRunning) {
            program.terminate();
            if (!program.waitForFinished(5000)) program.kill();
            program.waitForFinished();
        }
    }
    QString Errors() {
        // The pipe is read only while waiting on the process.
        if (program.state() != QProcess::NotRunning) program.waitForReadyRead(200);
        programErrors += program.readAllStandardError();
        return QString::fromLocal8Bit(programErrors);
    }
    ToolRun Gdbus(const QString& method, const QStringList& arguments = {}) {
        return RunCommand("gdbus", QStringList{"call", "--session", "--dest", kName, "--object-path", kPath,
                                               "--method", method} +
                                       arguments);
    }
    ToolRun Ctl(const QStringList& arguments) {
        return RunCommand(QStringLiteral(ORVANTACTL_PROGRAM),
                          QStringList{"--data-dir", QString::fromStdString(home.dataFolder())} + arguments);
    }
    // Starts the program and waits until it answers on the bus for this test's data folder.
    void StartAndWaitForTheBus() {
        home.Prepare(program);
        program.start();
        ASSERT_TRUE(program.waitForStarted());
        const QString folder = QString::fromStdString(home.dataFolder());
        ASSERT_TRUE(WaitUntil(
            [&] {
                return Gdbus("org.freedesktop.DBus.Properties.Get", {kInterface, "DataFolder"})
                    .out.contains(folder);
            },
            20s))
            << "the program did not answer on the bus\n"
            << Errors().toStdString();
    }
    // Adds a task with orvantactl and returns its ID; empty when the command failed.
    std::string Add(const QStringList& options) {
        const ToolRun added = Ctl(QStringList{"add"} + options);
        EXPECT_EQ(added.status, 0) << added.err.toStdString();
        return added.out.trimmed().toStdString();
    }
    QStringList OnceAt(const Moment& m, const std::string& marker) {
        return {"--date",   QString::fromStdString(m.date),
                "--start",  QString::fromStdString(m.time),
                "--launch", "/usr/bin/touch",
                "--params", QString::fromStdString(marker)};
    }
};

TEST_F(ProgramBus, AnswersOnTheSessionBusAsTheCommandLineDoesFromTheFile) {
    StartAndWaitForTheBus();
    // What the interface description promises, the program offers.
    std::ifstream xml(ORVANTA_SOURCE_DIR "/dist/dbus-interface.xml");
    std::stringstream described;
    described << xml.rdbuf();
    const ToolRun introspected =
        RunCommand("gdbus", {"introspect", "--session", "--dest", kName, "--object-path", kPath});
    ASSERT_EQ(introspected.status, 0) << introspected.err.toStdString();
    const QRegularExpression member(QStringLiteral("<(method|signal|property) name=\"(\\w+)\""));
    int members = 0;
    for (const auto& m : member.globalMatch(QString::fromStdString(described.str()))) {
        ++members;
        EXPECT_TRUE(introspected.out.contains(m.captured(2))) << m.captured(2).toStdString();
    }
    EXPECT_GE(members, 15);

    // The next task as the notification area shows it, and as orvantactl printed it from the file.
    const ToolRun next = Gdbus(kInterface + ".NextTask");
    ASSERT_EQ(next.status, 0) << next.err.toStdString();
    EXPECT_TRUE(next.out.contains("Upcoming event:")) << next.out.toStdString();
    const ToolRun viaBus = Ctl({"list"});
    ASSERT_EQ(viaBus.status, 0) << viaBus.err.toStdString();
    const ToolRun viaBusNext = Ctl({"next"});

    // A task that does not exist is named in the reply.
    const ToolRun unknown = Gdbus(kInterface + ".RunTask", {"99999"});
    EXPECT_NE(unknown.status, 0);
    EXPECT_TRUE(unknown.err.contains("no task with ID 99999")) << unknown.err.toStdString();
    const ToolRun noConfirmation = Gdbus(kInterface + ".PendingConfirmation");
    EXPECT_TRUE(noConfirmation.out.startsWith("(false,")) << noConfirmation.out.toStdString();

    // A task run over the bus runs in the program, named as orvantactl names it.
    const std::string marker = folder.file("run-over-the-bus");
    const std::string id = Add({"--trigger", "hotkey", "--hotkey", "ctrl+7", "--launch", "/usr/bin/touch",
                                "--params", QString::fromStdString(marker)});
    ASSERT_FALSE(id.empty());
    const ToolRun ran = Ctl({"run", QString::fromStdString(id)});
    EXPECT_EQ(ran.status, 0) << ran.err.toStdString();
    EXPECT_TRUE(ran.out.startsWith("run: launch /usr/bin/touch")) << ran.out.toStdString();
    EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(marker); }, 10s));
    std::filesystem::remove(marker);

    // Without the program, the same commands read the file and print the same.
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(10000));
    const ToolRun fromFile = Ctl({"list"});
    ASSERT_EQ(fromFile.status, 0) << fromFile.err.toStdString();
    EXPECT_EQ(viaBus.out.toStdString(), fromFile.out.toStdString());
    EXPECT_EQ(viaBusNext.out.toStdString(), Ctl({"next"}).out.toStdString());
    const ToolRun ranHere = Ctl({"run", QString::fromStdString(id)});
    EXPECT_EQ(ranHere.out.toStdString(), ran.out.toStdString());
    EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(marker); }, 10s))
        << "run from the file ran it here";
}

TEST_F(ProgramBus, TasksAddedEnabledDisabledAndDeletedFromTheCommandLineBehaveAtOnce) {
    StartAndWaitForTheBus();
    const std::string added = folder.file("added"), disabled = folder.file("disabled"),
                      deleted = folder.file("deleted"), enabled = folder.file("enabled");
    const Moment due = In(8);
    ASSERT_FALSE(Add(OnceAt(due, added)).empty());
    const std::string toDisable = Add(OnceAt(due, disabled));
    const std::string toDelete = Add(OnceAt(due, deleted));
    const std::string toEnable = Add(OnceAt(due, enabled) + QStringList{"--disabled"});
    for (const auto& [command, id] :
         {std::pair{"disable", toDisable}, {"delete", toDelete}, {"enable", toEnable}}) {
        const ToolRun changed = Ctl({command, QString::fromStdString(id)});
        ASSERT_EQ(changed.status, 0) << command << ": " << changed.err.toStdString();
    }
    ASSERT_LT(std::time(nullptr), due.at)
        << "the machine was too slow to set the tasks up before their moment";
    // The program's own list has them already: each command waited for the program to read them (the
    // folder watch alone would take a second of quiet first).
    const QString listed = Ctl({"list"}).out;
    auto listedId = [&](const std::string& id) {
        return listed.contains(QString::fromStdString("\t" + id + "\t"));
    };
    EXPECT_TRUE(listedId(toEnable)) << listed.toStdString();
    EXPECT_FALSE(listedId(toDelete)) << listed.toStdString();

    EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(added); }, 15s)) << Errors().toStdString();
    EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(enabled); }, 10s));
    // The waiter runs every row of the moment in one pass: the two left out would have run by now.
    std::this_thread::sleep_for(1s);
    EXPECT_FALSE(std::filesystem::exists(disabled));
    EXPECT_FALSE(std::filesystem::exists(deleted));
}

TEST_F(ProgramBus, AHotkeyTaskAddedFromTheCommandLineAnswersItsKeyWithinASecond) {
    StartAndWaitForTheBus();
    const std::string marker = folder.file("pressed");
    ASSERT_FALSE(Add({"--trigger", "hotkey", "--hotkey", "alt+L", "--launch", "/usr/bin/touch", "--params",
                      QString::fromStdString(marker)})
                     .empty());
    // orvantactl returned once the program had its keys.
    EXPECT_TRUE(WaitUntil(
        [&] {
            RunTool("xdotool", {"key", "alt+l"});
            return std::filesystem::exists(marker);
        },
        1s))
        << Errors().toStdString();
}

TEST_F(ProgramBus, WhileTheSettingsAreLockedTheTaskListIsRefused) {
    home.WriteSettings("[Option]\nmfirst=0\nlock=1\npword=\n[tray]\ntray=1\n");
    StartAndWaitForTheBus();
    const ToolRun listed = Gdbus(kInterface + ".ListScheduled");
    EXPECT_NE(listed.status, 0);
    EXPECT_TRUE(listed.err.contains("org.orvanta.Orvanta1.Error.Locked")) << listed.err.toStdString();
    EXPECT_TRUE(listed.err.contains("password")) << listed.err.toStdString();
    const ToolRun ctl = Ctl({"list"});
    EXPECT_EQ(ctl.status, 1);
    EXPECT_TRUE(ctl.err.startsWith("orvantactl: The settings are protected by a password"))
        << ctl.err.toStdString();
    EXPECT_TRUE(ctl.out.isEmpty());
    // The notification area's hint shows without the password, and so does its answer here.
    EXPECT_EQ(Gdbus(kInterface + ".NextTask").status, 0);
    EXPECT_TRUE(
        Gdbus("org.freedesktop.DBus.Properties.Get", {kInterface, "SettingsLocked"}).out.contains("true"));

    // Showing the window goes through the password, as from the notification area; the caller is answered
    // at once and does not wait on the user typing it.
    // The icon is a window of the same caption: it is counted once it is in the panel.
    ASSERT_TRUE(WaitUntil([&] { return TrayIconShown(program.processId()); }, 15s));
    const qsizetype before = VisibleMainWindows(program.processId()).size();
    QElapsedTimer asked;
    asked.start();
    const ToolRun shown = RunCommand("gdbus", {"call", "--session", "--dest", kName, "--object-path", kPath,
                                               "--method", kInterface + ".ShowWindow", "--timeout", "5"});
    EXPECT_EQ(shown.status, 0) << shown.err.toStdString();
    EXPECT_LT(asked.elapsed(), 4000);
    // The window and the prompt in front of it are both captioned with the program's name.
    EXPECT_TRUE(WaitUntil([&] { return VisibleMainWindows(program.processId()).size() >= before + 2; }, 10s))
        << "no password prompt came up";
}

// A change that brings in a task the program cannot schedule is still taken in: the command line says
// it succeeded (a script would otherwise repeat it), and the program tells of the task in its window.
TEST_F(ProgramBus, AChangeBringingAnUnschedulableTaskIsReportedAsTakenIn) {
    // A backup holding a task the rebuild refuses, as an older version or a hand edit may leave it.
    const std::string other = folder.file("other");
    std::filesystem::create_directory(other);
    const QStringList otherFolder{"--data-dir", QString::fromStdString(other)};
    const ToolRun seeded =
        RunCommand(QStringLiteral(ORVANTACTL_PROGRAM),
                   otherFolder + QStringList{"add", "--title", "Broken", "--trigger", "daily", "--start",
                                             "3:00", "--message", "x"});
    ASSERT_EQ(seeded.status, 0) << seeded.err.toStdString();
    const QString backup = QString::fromStdString(other + "/task.db");
    ASSERT_EQ(RunCommand("sqlite3", {backup, "UPDATE tasklist SET DateMode=4, Month=13"}).status, 0);
    StartAndWaitForTheBus();

    const ToolRun imported = Ctl({"import", backup});
    EXPECT_EQ(imported.status, 0) << imported.err.toStdString();
    EXPECT_FALSE(imported.err.contains("could not take it in")) << imported.err.toStdString();
    EXPECT_TRUE(WaitUntil([&] { return Errors().contains("Month 13 is out of range"); }, 10s))
        << Errors().toStdString();
    std::this_thread::sleep_for(2s);
    EXPECT_FALSE(Errors().contains("changed by another program")) << "the change was read once";
}

TEST_F(ProgramBus, AChangeMadeWithSqlite3IsTakenInOnce) {
    // The task is there from the start, disabled; sqlite3 enables it while the program runs.
    const std::string marker = folder.file("enabled-by-sqlite3");
    const Moment due = In(12);
    const ToolRun seeded = Ctl(QStringList{"add"} + OnceAt(due, marker) + QStringList{"--disabled"});
    ASSERT_EQ(seeded.status, 0) << seeded.err.toStdString();
    const QString id = seeded.out.trimmed();
    StartAndWaitForTheBus();

    const QString database = QString::fromStdString(home.dataFolder() + "/task.db");
    // A burst: three writes, each its own transaction, as a script of statements makes them.
    const ToolRun written = RunCommand("sqlite3", {database, "UPDATE tasklist SET Title=Title WHERE ID=" + id,
                                                   "UPDATE tasklist SET Enabled=1 WHERE ID=" + id,
                                                   "UPDATE tasklist SET Enabled=Enabled"});
    ASSERT_EQ(written.status, 0) << written.err.toStdString();
    ASSERT_LT(std::time(nullptr), due.at - 2) << "the machine was too slow to write before the moment";
    EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(marker); }, 25s)) << Errors().toStdString();
    // The burst was read once: one line for it in the log.
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(Errors().count("changed by another program"), 1) << Errors().toStdString();
}

// A stopped program (SIGSTOP, a debugger) cannot answer: the command stores its change at once, without
// waiting for the call limit, and the program takes it in from the file once it goes on.
TEST_F(ProgramBus, AProgramThatDoesNotAnswerHoldsNoCommandUp) {
    StartAndWaitForTheBus();
    const std::string marker = folder.file("added-while-stopped");
    const Moment due = In(20);
    ASSERT_EQ(::kill(static_cast<pid_t>(program.processId()), SIGSTOP), 0);
    const auto before = std::chrono::steady_clock::now();
    const ToolRun added = Ctl(QStringList{"add"} + OnceAt(due, marker));
    const auto took = std::chrono::steady_clock::now() - before;
    ::kill(static_cast<pid_t>(program.processId()), SIGCONT);
    EXPECT_EQ(added.status, 0) << added.err.toStdString();
    EXPECT_LT(took, 10s) << "the command waited for the stopped program";
    EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(marker); }, 40s)) << Errors().toStdString();
}

// A task file overwritten while the program runs cannot be read; the list is then unknown, and the
// command line must not print it as empty with success.
TEST_F(ProgramBus, AfterTheTaskFileWasDamagedTheListFailsInsteadOfComingBackEmpty) {
    ASSERT_EQ(Ctl({"add", "--trigger", "daily", "--start", "3:00", "--message", "kept"}).status, 0);
    StartAndWaitForTheBus();
    std::ofstream(home.dataFolder() + "/task.db", std::ios::binary | std::ios::trunc) << "hello";
    ToolRun listed;
    EXPECT_TRUE(WaitUntil(
        [&] {
            listed = Ctl({"list"});
            return listed.status != 0;
        },
        15s))
        << listed.out.toStdString();
    EXPECT_TRUE(listed.err.contains("could not be read")) << listed.err.toStdString();
    EXPECT_FALSE(listed.out.contains("None")) << listed.out.toStdString();
}

TEST_F(ProgramBus, AConfirmationIsSignalledAndAnsweredOverTheBus) {
    StartAndWaitForTheBus();
    QProcess monitor;
    monitor.start("gdbus", {"monitor", "--session", "--dest", kName});
    ASSERT_TRUE(monitor.waitForStarted());
    QString signalled;
    auto heard = [&](const QString& what) {
        monitor.waitForReadyRead(100);
        signalled += QString::fromLocal8Bit(monitor.readAllStandardOutput());
        return signalled.contains(what);
    };
    const Moment due = In(5);
    const std::string marker = folder.file("confirmed");
    const std::string id =
        Add(OnceAt(due, marker) + QStringList{"--title", "Confirm me", "--countdown", "60"});
    ASSERT_FALSE(id.empty());

    ASSERT_TRUE(WaitUntil([&] { return heard("ConfirmationOpened"); }, 20s)) << signalled.toStdString();
    const ToolRun pending = Gdbus(kInterface + ".PendingConfirmation");
    EXPECT_TRUE(pending.out.startsWith(QStringLiteral("(true, '%1', '").arg(QString::fromStdString(id))))
        << pending.out.toStdString();
    EXPECT_TRUE(pending.out.contains("Confirm me")) << pending.out.toStdString();
    const QRegularExpressionMatch named =
        QRegularExpression(QStringLiteral("^\\(true, '(\\d+)', '([0-9-]+)'")).match(pending.out);
    ASSERT_TRUE(named.hasMatch()) << pending.out.toStdString();
    const QString taskId = named.captured(1), dueKey = named.captured(2);

    // An answer meant for another confirmation (one that closed meanwhile) is refused and changes nothing.
    const ToolRun other = Gdbus(kInterface + ".ConfirmRunNow", {taskId, dueKey + "0"});
    EXPECT_NE(other.status, 0);
    EXPECT_TRUE(other.err.contains("The open confirmation is that of task " + taskId))
        << other.err.toStdString();
    EXPECT_TRUE(Gdbus(kInterface + ".PendingConfirmation").out.startsWith("(true,"));
    // Only the delays the confirmation offers.
    const ToolRun odd = Gdbus(kInterface + ".ConfirmPostpone", {taskId, dueKey, "7"});
    EXPECT_NE(odd.status, 0);
    EXPECT_TRUE(odd.err.contains("5, 10, 15, 30, 60, 120, 180 or 300")) << odd.err.toStdString();
    const ToolRun postponed = Gdbus(kInterface + ".ConfirmPostpone", {taskId, dueKey, "5"});
    EXPECT_EQ(postponed.status, 0) << postponed.err.toStdString();
    EXPECT_TRUE(WaitUntil([&] { return heard("ConfirmationEnded"); }, 10s)) << signalled.toStdString();
    EXPECT_TRUE(Gdbus(kInterface + ".PendingConfirmation").out.startsWith("(false,"));
    // The postponed copy is in the list; the actions did not run.
    const ToolRun listed = Ctl({"list"});
    EXPECT_TRUE(listed.out.contains("Confirm me - Delay for 5 mins")) << listed.out.toStdString();
    EXPECT_FALSE(std::filesystem::exists(marker));
    // The task fires when its actions run, which a postponement puts off.
    EXPECT_FALSE(heard("TaskFired")) << signalled.toStdString();
    monitor.kill();
    monitor.waitForFinished();
}

TEST_F(ProgramBus, AChangeWhileTheEditorIsOpenIsTakenInWhenItCloses) {
    StartAndWaitForTheBus();
    auto editors = [&] {
        return SearchWindows(
            {"--onlyvisible", "--pid", QString::number(program.processId()), "--name", "^Add Task$"});
    };
    const ToolRun opened = Gdbus(kInterface + ".NewTask");
    ASSERT_EQ(opened.status, 0) << opened.err.toStdString();
    ASSERT_TRUE(WaitUntil([&] { return editors().size() == 1; }, 15s)) << "the bus opened no editor";

    const ToolRun added = Ctl({"add", "--trigger", "daily", "--start", "3:00", "--message", "later"});
    ASSERT_EQ(added.status, 0) << added.err.toStdString();
    EXPECT_TRUE(added.err.contains("once that window closes")) << added.err.toStdString();
    const QString id = "\t" + added.out.trimmed() + "\t";
    EXPECT_FALSE(Ctl({"list"}).out.contains(id)) << "read while the editor held the table";

    for (const QString& editor : editors())
        RunTool("xdotool", {"key", "--window", editor, "Escape"});
    // The key is let go on the display as well: held there, it would repeat into later tests' windows.
    RunTool("xdotool", {"keyup", "Escape"});
    ASSERT_TRUE(WaitUntil([&] { return editors().isEmpty(); }, 10s)) << "the editor did not close";
    EXPECT_TRUE(WaitUntil([&] { return Ctl({"list"}).out.contains(id); }, 10s)) << Errors().toStdString();
}

} // namespace
} // namespace orvanta::test
