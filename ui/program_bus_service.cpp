#include "ui/program_bus_service.h"

#include "data/error.h"
#include "platform/api/running_program.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMetaType>
#include <QWidget>
#include <algorithm>
#include <exception>
#include <iostream>

namespace orvanta::ui {
namespace {

namespace names = platform::program_bus;

// The delays the confirmation's Wait menu offers, which name its items ("wait15").
constexpr uint kDelays[] = {5, 10, 15, 30, 60, 120, 180, 300};

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

QDBusArgument& operator<<(QDBusArgument& argument, const BusRowProblem& problem) {
    argument.beginStructure();
    argument << problem.taskId << problem.problem;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, BusRowProblem& problem) {
    argument.beginStructure();
    argument >> problem.taskId >> problem.problem;
    argument.endStructure();
    return argument;
}

ProgramBusService::ProgramBusService(ProgramBusPorts ports, QObject* parent)
    : QObject(parent), ports_(std::move(ports)) {
    qDBusRegisterMetaType<BusRowProblem>();
    qDBusRegisterMetaType<QList<BusRowProblem>>();
    qDBusRegisterMetaType<QList<QStringList>>();
}

bool ProgramBusService::Publish(const QString& busName) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::cerr << "orvanta: no session bus; the program cannot be reached from the command line\n";
        return false;
    }
    if (!bus.registerObject(QString::fromLatin1(names::kObjectPath), this,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                                QDBusConnection::ExportAllProperties)) {
        std::cerr << "orvanta: the bus object could not be registered: "
                  << bus.lastError().message().toStdString() << '\n';
        return false;
    }
    // Another copy of the program for another data folder may hold the name (a test, a second desktop
    // session on the same bus): this one waits in line and answers once it has ended.
    const auto reply = bus.interface()->registerService(busName, QDBusConnectionInterface::QueueService,
                                                        QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid()) {
        std::cerr << "orvanta: the bus name " << busName.toStdString()
                  << " could not be taken: " << reply.error().message().toStdString() << '\n';
        bus.unregisterObject(QString::fromLatin1(names::kObjectPath));
        return false;
    }
    if (reply.value() == QDBusConnectionInterface::ServiceQueued)
        std::cerr << "orvanta: another program holds the bus name " << busName.toStdString()
                  << "; this one answers on it once that one has ended\n";
    return true;
}

template <typename Answer> void ProgramBusService::Answered(Answer&& answer) {
    try {
        answer();
    } catch (const std::exception& e) {
        sendErrorReply(QString::fromLatin1(names::kFailedError), QString::fromUtf8(e.what()));
    } catch (...) {
        sendErrorReply(QString::fromLatin1(names::kFailedError), QStringLiteral("Unknown error"));
    }
}

bool ProgramBusService::RefusedWhileLocked(const char* what) {
    if (!SettingsLocked()) return false;
    sendErrorReply(QString::fromLatin1(names::kLockedError),
                   QStringLiteral("The settings are protected by a password: %1 is refused until the "
                                  "password is entered in Orvanta's window")
                       .arg(QString::fromLatin1(what)));
    return true;
}

void ProgramBusService::Record(const scheduler::RunEvent& event) {
    using scheduler::RunOutcome;
    switch (event.outcome) {
    case RunOutcome::kRan:
        emit TaskFired(Text(event.taskId), Text(event.dueKey));
        break;
    case RunOutcome::kConfirmationOpened:
        emit ConfirmationOpened(Text(event.taskId), Text(event.dueKey));
        break;
    case RunOutcome::kConfirmationEnded:
        emit ConfirmationEnded(Text(event.taskId), Text(event.dueKey));
        break;
    default:
        break;
    }
}

void ProgramBusService::ShowWindow() {
    // The window asks for the password itself when it comes up, as from the notification area.
    Answered([this] { ports_.comeForward(false); });
}

void ProgramBusService::NewTask() {
    Answered([this] { ports_.comeForward(true); });
}

bool ProgramBusService::Rebuild() {
    bool done = false;
    Answered([&] { done = ports_.rebuild(); });
    return done;
}

QList<BusRowProblem> ProgramBusService::ProblemsOf(const scheduler::RunTableBuild& build) {
    QList<BusRowProblem> problems;
    for (const scheduler::RowProblem& p : build.problems)
        problems.push_back({Text(p.taskId), Text(p.problem)});
    return problems;
}

QList<QStringList> ProgramBusService::ListScheduled(QList<BusRowProblem>& problems) {
    QList<QStringList> rows;
    if (RefusedWhileLocked("the task list")) return rows;
    Answered([&] {
        const scheduler::RunTableBuild& build = ReadTable();
        for (const scheduler::DisplayRow row : *build.table.displayRows) {
            QStringList columns;
            for (const std::string_view column : row.Cells())
                columns.push_back(Text(std::string(column)));
            rows.push_back(columns);
        }
        problems = ProblemsOf(build);
    });
    return rows;
}

const scheduler::RunTableBuild& ProgramBusService::ReadTable() {
    const scheduler::RunTableBuild& build = ports_.table();
    // An empty list from a file that could not be read would tell the caller there is nothing to run.
    if (!build.readFailure.empty())
        throw orvanta::Error("the task file could not be read, so the list is unknown: " + build.readFailure);
    return build;
}

QString ProgramBusService::NextTask(QList<BusRowProblem>& problems) {
    // The notification area's hint, which shows without the password.
    QString hint;
    Answered([&] {
        const scheduler::RunTableBuild& build = ReadTable();
        hint = Text(build.hint);
        problems = ProblemsOf(build);
    });
    return hint;
}

QStringList ProgramBusService::RunTask(const QString& taskId) {
    // As a press of the task's hotkey, which works whatever the lock.
    QStringList actions;
    Answered([&] {
        for (const std::string& action : ports_.runTask(taskId.toStdString()))
            actions.push_back(Text(action));
    });
    return actions;
}

bool ProgramBusService::PendingConfirmation(QString& taskId, QString& dueKey, QString& title) {
    bool open = false;
    Answered([&] {
        const std::optional<scheduler::OpenConfirmation> confirmation = ports_.openConfirmation();
        open = confirmation.has_value();
        if (!open) return;
        taskId = Text(confirmation->taskId);
        dueKey = Text(confirmation->dueKey);
        title = Text(confirmation->title);
    });
    return open;
}

QWidget* ProgramBusService::OpenConfirmationWindow(const QString& taskId, const QString& dueKey) {
    const auto open = ports_.openConfirmation ? ports_.openConfirmation() : std::nullopt;
    if (open && (Text(open->taskId) != taskId || Text(open->dueKey) != dueKey)) {
        sendErrorReply(
            QString::fromLatin1(names::kFailedError),
            QStringLiteral("The open confirmation is that of task %1 due at %2, not of task %3 due at %4")
                .arg(Text(open->taskId), Text(open->dueKey), taskId, dueKey));
        return nullptr;
    }
    if (open)
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->objectName() == QLatin1String("Reminder") && window->isVisible()) return window;
    sendErrorReply(QString::fromLatin1(names::kFailedError), QStringLiteral("No confirmation is open"));
    return nullptr;
}

// The answers press the confirmation's own buttons, so they do exactly what the user's click does, also
// while the settings are locked: the confirmation asks for no password either.
void ProgramBusService::ConfirmRunNow(const QString& taskId, const QString& dueKey) {
    Answered([&] {
        if (QWidget* window = OpenConfirmationWindow(taskId, dueKey))
            if (auto* button = window->findChild<QAbstractButton*>(QStringLiteral("Button1")))
                button->click();
    });
}

void ProgramBusService::ConfirmPass(const QString& taskId, const QString& dueKey) {
    Answered([&] {
        if (QWidget* window = OpenConfirmationWindow(taskId, dueKey))
            if (auto* button = window->findChild<QAbstractButton*>(QStringLiteral("Button2")))
                button->click();
    });
}

void ProgramBusService::ConfirmPostpone(const QString& taskId, const QString& dueKey, uint minutes) {
    Answered([&] {
        if (std::find(std::begin(kDelays), std::end(kDelays), minutes) == std::end(kDelays)) {
            sendErrorReply(QString::fromLatin1(names::kFailedError),
                           QStringLiteral("A confirmation can be postponed by 5, 10, 15, 30, 60, 120, 180 or "
                                          "300 minutes, not %1")
                               .arg(minutes));
            return;
        }
        if (QWidget* window = OpenConfirmationWindow(taskId, dueKey))
            if (auto* item = window->findChild<QAction*>(QStringLiteral("wait%1").arg(minutes)))
                item->trigger();
    });
}

} // namespace orvanta::ui
