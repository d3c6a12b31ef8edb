#pragma once

#include "scheduler/outside_change_gate.h"

#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

namespace orvanta::ui {

class ErrorBox;

// Watches the data folder and its task file for changes made by anything but the program, and rebuilds
// once a burst of them has settled and nothing holds the table (see scheduler::OutsideChangeGate).
class DataFolderWatch : public QObject {
    Q_OBJECT

  public:
    struct Ports {
        QString folder;
        QString taskFile;
        ErrorBox& errors;
        // True while a pass or an editor holds the table.
        std::function<bool()> tableHeld;
        // Rebuilds the run table and reloads the hotkey tasks.
        std::function<void()> rebuild;
        int quietMs = 1000;
    };

    explicit DataFolderWatch(Ports ports, QObject* parent = nullptr);

    // The file as it is now counts as read: the program has just rebuilt from it.
    void NoteRebuilt();
    // A change told of while the table was held: it is taken in once the table is free.
    void TakeInLater();
    // How often a change from outside was taken in, for tests and diagnostics.
    int rebuilds() const { return rebuilds_; }

    static scheduler::FileStamp StampOf(const QString& path);

  private:
    void OnChange();
    void Check();
    void WatchTaskFile();
    void ArmCheck();
    std::int64_t Now() const { return clock_.elapsed(); }

    Ports ports_;
    QFileSystemWatcher watcher_;
    QTimer checkTimer_;
    QElapsedTimer clock_;
    scheduler::OutsideChangeGate gate_;
    int rebuilds_ = 0;
};

} // namespace orvanta::ui
