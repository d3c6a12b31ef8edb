// A user's way through the real windows: the editor opened from the main window, driven by the keyboard the
// way a user would, and the count-down window. What the list shows is read back through orvantactl, which
// builds the same list from the stored rows; the programs the tasks start tell when they ran.

#include "data/task_store.h"
#include "platform/linux/linux_clock.h"
#include "tests/e2e/program_run.h"
#include "tests/support/temp_folder.h"

#include <QRegularExpression>
#include <QThread>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>

namespace orvanta::test {
namespace {

using namespace std::chrono_literals;

constexpr const char* kReminderCaption = "The following scheduled task waiting for confirm!";

QString Xdotool(const QStringList& arguments) {
    return RunTool("xdotool", arguments);
}

// Visible windows of the process whose caption is exactly the given text.
QStringList WindowsTitled(qint64 pid, const QString& caption) {
    QString pattern;
    for (QChar c : caption)
        pattern += QStringLiteral(".[]()*+?{}|^$\\").contains(c) ? QString("\\") + c : QString(c);
    return SearchWindows({"--onlyvisible", "--pid", QString::number(pid), "--name", "^" + pattern + "$"});
}

// The main window; the notification-area icon is a window of the same caption, told apart by its size.
QString MainWindow(qint64 pid) {
    for (const QString& window : WindowsTitled(pid, "Orvanta")) {
        const QString geometry = Xdotool({"getwindowgeometry", "--shell", window});
        const QRegularExpression width(QStringLiteral("WIDTH=(\\d+)"));
        if (width.match(geometry).captured(1).toInt() > 200) return window;
    }
    return {};
}

// Without a window manager nothing hands the keyboard to a window that opens or to the one below a closed
// dialog; the test does what a user's click would.
void Focus(const QString& window) {
    Xdotool({"windowfocus", "--sync", window});
    QThread::msleep(150);
}

void Keys(const QStringList& keys) {
    Xdotool(QStringList{"key", "--delay", "40"} + keys);
}

void Type(const QString& text) {
    Xdotool({"type", "--delay", "20", text});
}

QStringList Repeated(const QString& key, int times) {
    QStringList keys;
    for (int i = 0; i < times; ++i)
        keys << key;
    return keys;
}

double WallSeconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// When the file was last written, in wall-clock seconds; nothing when it does not exist.
std::optional<double> WrittenAt(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return std::nullopt;
    return double(info.st_mtim.tv_sec) + double(info.st_mtim.tv_nsec) / 1e9;
}

std::string DueKeyOf(const std::tm& t) {
    return std::to_string(t.tm_year + 1900) + "-" + std::to_string(t.tm_mon + 1) + "-" +
           std::to_string(t.tm_mday) + "-" + std::to_string(t.tm_hour) + "-" + std::to_string(t.tm_min) +
           "-" + std::to_string(t.tm_sec);
}

QString TwoDigits(int value) {
    return QString::number(value).rightJustified(2, '0');
}

class TaskWindows : public ::testing::Test {
  protected:
    TempFolder folder;
    ProgramHome home{folder.path()};
    QProcess program;

    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display: run under scripts/platform-test-env.sh";
        home.WriteSettings("[Option]\nmfirst=0\n");
    }
    void TearDown() override {
        if (program.state() != QProcess::NotRunning) {
            program.terminate();
            if (!program.waitForFinished(5000)) program.kill();
            program.waitForFinished();
        }
    }
    void Start() {
        home.Prepare(program);
        program.start();
        ASSERT_TRUE(program.waitForStarted());
    }
    std::string Errors() { return program.readAllStandardError().toStdString(); }

    QString Ctl(const QStringList& arguments) {
        return RunTool(QStringLiteral(ORVANTACTL_PROGRAM),
                       QStringList{"--data-dir", QString::fromStdString(home.dataFolder())} + arguments);
    }
    // The list row of the task with this title, its eight columns; empty when there is none.
    QStringList ListRow(const QString& title) {
        for (const QString& line : Ctl({"list"}).split('\n', Qt::SkipEmptyParts)) {
            const QStringList columns = line.split('\t');
            if (columns.size() == 8 && columns[0].endsWith("---- " + title)) return columns;
        }
        return {};
    }
};

TEST_F(TaskWindows, ATaskAddedInTheEditorWaitsThenStartsItsProgramAtItsSecond) {
    const std::string marker = folder.file("fired");
    Start();
    QString main;
    ASSERT_TRUE(WaitUntil(
        [&] {
            main = MainWindow(program.processId());
            return !main.isEmpty();
        },
        15s));

    // The editor's date is today's: a due moment after midnight would need another date typed.
    std::time_t due = std::time(nullptr) + 15;
    std::tm local{}, today{};
    const std::time_t now = std::time(nullptr);
    localtime_r(&due, &local);
    localtime_r(&now, &today);
    if (local.tm_mday != today.tm_mday) {
        QThread::sleep(20);
        due = std::time(nullptr) + 15;
        localtime_r(&due, &local);
    }

    // A freshly shown main window gives the keyboard to its tab bar; "Add" comes next.
    Focus(main);
    Keys({"Tab", "space"});
    QStringList editor;
    ASSERT_TRUE(WaitUntil(
        [&] {
            editor = WindowsTitled(program.processId(), "Add Task");
            return editor.size() == 1;
        },
        5s))
        << Errors();
    Focus(editor.front());
    Type("editor marker");
    // Past "Once" and the date's three sections to the start time, whose sections take two digits each.
    Keys(Repeated("Tab", 5));
    Type(TwoDigits(local.tm_hour) + TwoDigits(local.tm_min) + TwoDigits(local.tm_sec));
    // On through the repeat list, the count-down, the power and program boxes to the launch's "..." button.
    // The macro's "..." button is a stop only when a recorder is there to open; without it the sixteenth
    // stop is the launch's button, with it the read-only field before, where a blank does nothing.
    Keys(Repeated("Tab", 16) << "space");
    QStringList picker;
    const auto pickerOpen = [&] {
        picker = WindowsTitled(program.processId(), "Select Program");
        return picker.size() == 1;
    };
    if (!WaitUntil(pickerOpen, 2s)) Keys({"Tab", "space"});
    ASSERT_TRUE(WaitUntil(pickerOpen, 5s))
        << "the program dialog did not open: the editor's focus order is not the one this test walks";
    Focus(picker.front());
    Type("/usr/bin/touch");
    Keys({"Tab"});
    Type(QString::fromStdString(marker));
    Keys({"Return"});
    ASSERT_TRUE(
        WaitUntil([&] { return WindowsTitled(program.processId(), "Select Program").isEmpty(); }, 5s));
    // Back in the editor the "..." button has the focus; Return in the field beside it is the form's OK.
    Focus(editor.front());
    Keys({"shift+Tab", "Return"});
    ASSERT_TRUE(WaitUntil([&] { return WindowsTitled(program.processId(), "Add Task").isEmpty(); }, 5s))
        << "the editor stayed open: " << Errors();
    ASSERT_LT(std::time(nullptr), due) << "typing took longer than the lead time; nothing can be concluded";

    const QStringList row = ListRow("editor marker");
    ASSERT_EQ(row.size(), 8) << Ctl({"list"}).toStdString();
    EXPECT_EQ(row[1], "Waiting");
    EXPECT_EQ(row[3], "1");
    EXPECT_EQ(row[6].toStdString(), DueKeyOf(local));
    EXPECT_TRUE(Ctl({"show", row[2]}).contains("Launch: /usr/bin/touch | " + QString::fromStdString(marker)))
        << Ctl({"show", row[2]}).toStdString();
    EXPECT_FALSE(WrittenAt(marker));

    ASSERT_TRUE(WaitUntil([&] { return WrittenAt(marker).has_value(); },
                          std::chrono::seconds(due - std::time(nullptr) + 10)))
        << Errors();
    // Never before its second; the hand-over to the window and the start take well under a second.
    EXPECT_GE(*WrittenAt(marker), double(due));
    EXPECT_LT(*WrittenAt(marker), double(due) + 1.5);
    EXPECT_TRUE(WaitUntil([&] { return ListRow("editor marker").value(1) == "Passed"; }, 5s));
}

TEST_F(TaskWindows, ACountDownTaskAsksFirstAndRunsItsProgramWhenTheCountReachesZero) {
    const std::string marker = folder.file("confirmed");
    const std::time_t due = std::time(nullptr) + 5;
    std::tm local{};
    localtime_r(&due, &local);
    {
        platform::linux_backend::LinuxClock clock;
        const std::string database = home.dataFolder() + "/task.db";
        ASSERT_TRUE(data::SeedTaskDatabase(database));
        data::TaskRecord task;
        task.title = "count-down marker";
        task.dateMode = data::kOnce;
        task.year = local.tm_year + 1900, task.month = local.tm_mon + 1, task.day = local.tm_mday;
        task.time = std::to_string(local.tm_hour) + ":" + TwoDigits(local.tm_min).toStdString() + ":" +
                    TwoDigits(local.tm_sec).toStdString();
        task.endTime = "23:59:59";
        task.countdown = 3;
        task.launch = "/usr/bin/touch|" + marker;
        data::TaskStore(database, clock).InsertTask(task);
    }
    Start();

    double shownAt = 0;
    ASSERT_TRUE(WaitUntil(
        [&] {
            shownAt = WallSeconds();
            return WindowsTitled(program.processId(), kReminderCaption).size() == 1;
        },
        15s))
        << Errors();
    EXPECT_GE(shownAt, double(due));
    EXPECT_FALSE(WrittenAt(marker)) << "the program ran before it was confirmed";

    ASSERT_TRUE(WaitUntil([&] { return WrittenAt(marker).has_value(); }, 10s)) << Errors();
    // Three one-second steps from the window's appearance (seen a little late here), not before.
    const double ranAt = *WrittenAt(marker);
    EXPECT_GE(ranAt, double(due) + 3.0);
    EXPECT_GT(ranAt - shownAt, 2.0);
    EXPECT_LT(ranAt - shownAt, 4.5);
    // It closes at once; the margin is for a desktop shared with busy neighbours.
    EXPECT_TRUE(
        WaitUntil([&] { return WindowsTitled(program.processId(), kReminderCaption).isEmpty(); }, 10s));
    // Run once: a second start would have rewritten the file.
    QThread::sleep(2);
    EXPECT_EQ(*WrittenAt(marker), ranAt);
}

} // namespace
} // namespace orvanta::test
