#pragma once

#include "scheduler/open_confirmation.h"
#include "scheduler/run_events.h"
#include "scheduler/run_table_builder.h"

#include <QDBusArgument>
#include <QDBusContext>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvanta::ui {

// A task the list leaves out, as the bus carries it: (ss).
struct BusRowProblem {
    QString taskId;
    QString problem;
};

// What the bus interface works with; the program wires these to its main window, scheduler and store.
struct ProgramBusPorts {
    QString dataFolder;
    // True while the settings are protected by a password.
    std::function<bool()> settingsLocked;
    // Brings the main window forward through its password prompt; with newTask, opens the editor as the
    // New command does.
    std::function<void(bool newTask)> comeForward;
    // Rebuilds the run table and reloads the hotkeys; false when the table is held and the rebuild waits.
    std::function<bool()> rebuild;
    // The run table as the main window shows it.
    std::function<const scheduler::RunTableBuild&()> table;
    // Runs a task now as its hotkey would, and names the actions it started. Raises for an unknown task.
    std::function<std::vector<std::string>(const std::string& taskId)> runTask;
    // The confirmation open now, if any.
    std::function<std::optional<scheduler::OpenConfirmation>()> openConfirmation;
};

// The program's session-bus interface: the window, the run table, running a task, answering an open
// confirmation, and signals of firings and confirmations. While the settings are protected, what shows
// the tasks is refused, as the window is; what the notification area and the confirmation offer without
// the password stays allowed. A failure is answered as a D-Bus error with its message.
class ProgramBusService : public QObject, protected QDBusContext, public scheduler::RunEventSink {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.orvanta.Orvanta1")
    Q_PROPERTY(QString DataFolder READ DataFolder)
    Q_PROPERTY(bool SettingsLocked READ SettingsLocked)

  public:
    explicit ProgramBusService(ProgramBusPorts ports, QObject* parent = nullptr);

    // Registers the object and takes the bus name, or waits in line for it behind another holder. False,
    // with the reason on stderr, when there is no session bus.
    bool Publish(const QString& busName);

    QString DataFolder() const { return ports_.dataFolder; }
    bool SettingsLocked() const { return ports_.settingsLocked && ports_.settingsLocked(); }

    void Record(const scheduler::RunEvent& event) override;

  public slots:
    void ShowWindow();
    void NewTask();
    bool Rebuild();
    QList<QStringList> ListScheduled(QList<orvanta::ui::BusRowProblem>& problems);
    QString NextTask(QList<orvanta::ui::BusRowProblem>& problems);
    QStringList RunTask(const QString& taskId);
    // (open, task ID, due key, title) of the confirmation open now.
    bool PendingConfirmation(QString& taskId, QString& dueKey, QString& title);
    // Each answer names the confirmation it is meant for (as PendingConfirmation gave it), so that it never
    // reaches another that opened meanwhile.
    void ConfirmRunNow(const QString& taskId, const QString& dueKey);
    void ConfirmPostpone(const QString& taskId, const QString& dueKey, uint minutes);
    void ConfirmPass(const QString& taskId, const QString& dueKey);

  signals:
    void TaskFired(const QString& taskId, const QString& dueKey);
    void ConfirmationOpened(const QString& taskId, const QString& dueKey);
    void ConfirmationEnded(const QString& taskId, const QString& dueKey);

  private:
    // The one guard of every call: an error becomes the caller's D-Bus error.
    template <typename Answer> void Answered(Answer&& answer);
    bool RefusedWhileLocked(const char* what);
    // The current table; raises when the last read of the task file failed.
    const scheduler::RunTableBuild& ReadTable();
    static QList<BusRowProblem> ProblemsOf(const scheduler::RunTableBuild& build);
    // The open confirmation window when it is the one of this task and due key, else a D-Bus error saying
    // there is none or which one is open.
    QWidget* OpenConfirmationWindow(const QString& taskId, const QString& dueKey);

    ProgramBusPorts ports_;
};

QDBusArgument& operator<<(QDBusArgument& argument, const BusRowProblem& problem);
const QDBusArgument& operator>>(const QDBusArgument& argument, BusRowProblem& problem);

} // namespace orvanta::ui

Q_DECLARE_METATYPE(orvanta::ui::BusRowProblem)
