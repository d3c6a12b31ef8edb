#include "tests/e2e/program_run.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcessEnvironment>
#include <QThread>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace orvanta::test {

ProgramHome::ProgramHome(const std::string& home) : home_(home) {
    std::filesystem::create_directories(dataFolder());
    std::filesystem::create_directories(home_ + "/config");
    std::filesystem::create_directories(home_ + "/run");
    std::filesystem::permissions(home_ + "/run", std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
}

void ProgramHome::WriteSettings(const std::string& iniText) const {
    std::ofstream(dataFolder() + "/wake.ini", std::ios::binary | std::ios::trunc) << iniText;
}

void ProgramHome::Prepare(QProcess& process) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString home = QString::fromStdString(home_);
    env.insert("HOME", home);
    env.insert("XDG_DATA_HOME", home + "/data");
    env.insert("XDG_CONFIG_HOME", home + "/config");
    env.insert("XDG_CACHE_HOME", home + "/cache");
    // The instance lock and hand-over socket live here: copies of other tests never meet this one.
    env.insert("XDG_RUNTIME_DIR", home + "/run");
    env.insert("QT_ACCESSIBILITY", "0");
    env.insert("NO_AT_BRIDGE", "1");
    process.setProcessEnvironment(env);
    process.setProgram(QStringLiteral(ORVANTA_PROGRAM));
}

QString RunTool(const QString& program, const QStringList& arguments) {
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(10000) || tool.exitStatus() != QProcess::NormalExit) {
        tool.kill();
        tool.waitForFinished();
        return {};
    }
    return QString::fromLocal8Bit(tool.readAllStandardOutput());
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > limit.count()) return false;
        QThread::msleep(100);
    }
    return true;
}

QStringList SearchWindows(const QStringList& criteria) {
    // This xdotool dies of a BadWindow error when any window on the display goes away while it looks, so
    // another test's dialog closing would read as "no such window": such a search is asked again. A
    // search that never answers fails the test, or a check that a window is gone would pass on it.
    for (int attempt = 0; attempt < 20; ++attempt) {
        QProcess tool;
        tool.start("xdotool", QStringList{"search", "--all"} + criteria);
        if (!tool.waitForFinished(10000)) {
            tool.kill();
            tool.waitForFinished();
            break;
        }
        if (tool.exitStatus() == QProcess::NormalExit && !tool.readAllStandardError().contains("X Error"))
            return QString::fromLocal8Bit(tool.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    }
    ADD_FAILURE() << "xdotool search " << criteria.join(' ').toStdString() << " gave no answer";
    return {};
}

QStringList VisibleMainWindows(qint64 pid) {
    return SearchWindows({"--onlyvisible", "--pid", QString::number(pid), "--name", "^Orvanta$"});
}

bool TrayIconShown(qint64 pid) {
    const QStringList windows = SearchWindows({"--pid", QString::number(pid), "--class", "^orvanta$"});
    for (const QString& window : windows) {
        // A tray icon is an XEmbed client; the tray host takes it into a window of its own and maps it
        // there. The toolkit marks its other windows as XEmbed clients too, but they stay on the root.
        const QString embed = RunTool("xprop", {"-id", window, "_XEMBED_INFO"});
        const QString info = RunTool("xwininfo", {"-id", window});
        const QString family = RunTool("xwininfo", {"-children", "-id", window});
        const qsizetype at = family.indexOf("Parent window id:");
        const QString parent = at < 0 ? QString() : family.mid(at).section('\n', 0, 0);
        if (embed.contains("_XEMBED_INFO(_XEMBED_INFO) =") && info.contains("IsViewable") &&
            !parent.isEmpty() && !parent.contains("(the root window)"))
            return true;
    }
    return false;
}

} // namespace orvanta::test
