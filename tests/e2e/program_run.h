#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <string>

namespace orvanta::test {

// The real program in a private home: its own data, configuration and runtime folders, the test's X
// display and bus. Started without a shell; ended by its process when the test is done.
class ProgramHome {
  public:
    explicit ProgramHome(const std::string& home);

    std::string dataFolder() const { return home_ + "/data/Orvanta"; }
    void WriteSettings(const std::string& iniText) const;
    // The program with its environment, ready to start.
    void Prepare(QProcess& process) const;

  private:
    std::string home_;
};

// Runs a helper tool and returns its standard output; empty when it failed or took longer than 10 s.
QString RunTool(const QString& program, const QStringList& arguments);

// Asks until the answer is true or the time is up.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit);

// The windows "xdotool search --all" finds with the given criteria.
QStringList SearchWindows(const QStringList& criteria);
// The process's visible windows titled exactly "Orvanta".
QStringList VisibleMainWindows(qint64 pid);
// True when a window of the process is embedded and shown in the notification area (taken in by its host).
bool TrayIconShown(qint64 pid);

} // namespace orvanta::test
